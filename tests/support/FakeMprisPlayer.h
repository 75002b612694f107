#pragma once

#include <QDBusAbstractAdaptor>
#include <QDBusConnection>
#include <QMutex>
#include <QStringList>
#include <QThread>
#include <QVariantMap>

namespace vantrel::test {

// An MPRIS player on a bus: its own connection and bus name, served from a thread of its own so
// the test can call it synchronously from the main thread. Records the methods called on it.
class FakeMprisPlayer : public QObject {
    Q_OBJECT

public:
    struct State {
        QString playbackStatus;
        QVariantMap metadata;
        qlonglong position = 0;
    };

    FakeMprisPlayer(const QString& busAddress, const QString& busName, QThread& thread, State state);
    ~FakeMprisPlayer() override {
        connection_.unregisterObject(QStringLiteral("/org/mpris/MediaPlayer2"));
        QDBusConnection::disconnectFromBus(connection_.name());
    }

    bool isRegistered() const { return registered_; }
    void setState(State state) {
        QMutexLocker lock(&mutex_);
        state_ = std::move(state);
    }
    State state() const {
        QMutexLocker lock(&mutex_);
        return state_;
    }
    QStringList calls() const {
        QMutexLocker lock(&mutex_);
        return calls_;
    }
    void recordCall(const QString& method) {
        QMutexLocker lock(&mutex_);
        calls_.append(method);
    }

private:
    QDBusConnection connection_;
    bool registered_ = false;
    mutable QMutex mutex_;
    State state_;
    QStringList calls_;
};

class FakeMprisRootAdaptor : public QDBusAbstractAdaptor {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.mpris.MediaPlayer2")

public:
    explicit FakeMprisRootAdaptor(FakeMprisPlayer* player) : QDBusAbstractAdaptor(player) {}

public Q_SLOTS:
    void Raise() { static_cast<FakeMprisPlayer*>(parent())->recordCall(QStringLiteral("Raise")); }
};

class FakeMprisPlayerAdaptor : public QDBusAbstractAdaptor {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.mpris.MediaPlayer2.Player")
    Q_PROPERTY(QString PlaybackStatus READ playbackStatus)
    Q_PROPERTY(QVariantMap Metadata READ metadata)
    Q_PROPERTY(qlonglong Position READ position)

public:
    explicit FakeMprisPlayerAdaptor(FakeMprisPlayer* player) : QDBusAbstractAdaptor(player) {}
    QString playbackStatus() const { return player()->state().playbackStatus; }
    QVariantMap metadata() const { return player()->state().metadata; }
    qlonglong position() const { return player()->state().position; }

public Q_SLOTS:
    void Next() { player()->recordCall(QStringLiteral("Next")); }
    void Previous() { player()->recordCall(QStringLiteral("Previous")); }
    void PlayPause() { player()->recordCall(QStringLiteral("PlayPause")); }

private:
    FakeMprisPlayer* player() const { return static_cast<FakeMprisPlayer*>(parent()); }
};

inline FakeMprisPlayer::FakeMprisPlayer(const QString& busAddress, const QString& busName, QThread& thread,
                                        State state)
    : connection_(QDBusConnection::connectToBus(busAddress, QStringLiteral("fake-") + busName)),
      state_(std::move(state)) {
    new FakeMprisRootAdaptor(this);
    new FakeMprisPlayerAdaptor(this);
    moveToThread(&thread);
    registered_ = connection_.isConnected() && connection_.registerService(busName) &&
                  connection_.registerObject(QStringLiteral("/org/mpris/MediaPlayer2"), this,
                                             QDBusConnection::ExportAdaptors);
}

} // namespace vantrel::test
