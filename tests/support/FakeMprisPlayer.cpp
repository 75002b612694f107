#include "support/FakeMprisPlayer.h"

#include <QMutexLocker>

namespace vantrel::test {

FakeMprisPlayer::FakeMprisPlayer(const QString& busAddress, const QString& busName, QThread& thread)
    : connection_(QDBusConnection::connectToBus(busAddress, QStringLiteral("fake-") + busName)) {
    new FakeMprisRootAdaptor(this);
    new FakeMprisPlayerAdaptor(this);
    moveToThread(&thread);
    registered_ = connection_.isConnected() && connection_.registerService(busName) &&
                  connection_.registerObject(QStringLiteral("/org/mpris/MediaPlayer2"), this,
                                             QDBusConnection::ExportAdaptors);
}

FakeMprisPlayer::~FakeMprisPlayer() {
    connection_.unregisterObject(QStringLiteral("/org/mpris/MediaPlayer2"));
    QDBusConnection::disconnectFromBus(connection_.name());
}

void FakeMprisPlayer::setState(State state) {
    QMutexLocker lock(&mutex_);
    state_ = std::move(state);
}

FakeMprisPlayer::State FakeMprisPlayer::state() const {
    QMutexLocker lock(&mutex_);
    return state_;
}

QStringList FakeMprisPlayer::calls() const {
    QMutexLocker lock(&mutex_);
    return calls_;
}

void FakeMprisPlayer::recordCall(const QString& method) {
    QMutexLocker lock(&mutex_);
    calls_.append(method);
}

} // namespace vantrel::test
