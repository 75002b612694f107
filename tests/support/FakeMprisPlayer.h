#pragma once

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusVirtualObject>
#include <QMutex>
#include <QStringList>
#include <QThread>
#include <QVariantMap>

namespace vantrel::test {

// An MPRIS player on a bus, with a connection, bus name and thread of its own, so the test can
// call it synchronously from the main thread.
// Answers every property question with its state and records every other method called, as
// "MediaPlayer2.Raise" or "MediaPlayer2.Player.Next".
class FakeMprisPlayer final : public QDBusVirtualObject {
public:
    struct State {
        QString playbackStatus;
        QVariantMap metadata;
        qlonglong position = 0;
    };

    FakeMprisPlayer(const QString& busAddress, const QString& busName, State state)
        : connection_(QDBusConnection::connectToBus(busAddress, QStringLiteral("fake-") + busName)),
          state_(std::move(state)) {
        moveToThread(&thread_);
        thread_.start();
        registered_ = connection_.registerVirtualObject(QStringLiteral("/org/mpris/MediaPlayer2"), this) &&
                      connection_.registerService(busName);
    }
    ~FakeMprisPlayer() override {
        QDBusConnection::disconnectFromBus(connection_.name());
        thread_.quit();
        thread_.wait();
    }

    bool isRegistered() const { return registered_; }
    QStringList calls() const {
        QMutexLocker lock(&mutex_);
        return calls_;
    }

    QString introspect(const QString&) const override { return {}; }
    bool handleMessage(const QDBusMessage& message, const QDBusConnection& connection) override {
        QMutexLocker lock(&mutex_);
        if (message.member() != QStringLiteral("GetAll")) {
            calls_.append(message.interface().section(QLatin1Char('.'), 2) + QLatin1Char('.') +
                          message.member());
            return connection.send(message.createReply());
        }
        const QVariantMap properties{{QStringLiteral("PlaybackStatus"), state_.playbackStatus},
                                     {QStringLiteral("Metadata"), state_.metadata},
                                     {QStringLiteral("Position"), state_.position}};
        return connection.send(message.createReply(QVariant::fromValue(properties)));
    }

private:
    QThread thread_;
    QDBusConnection connection_;
    bool registered_ = false;
    mutable QMutex mutex_;
    const State state_;
    QStringList calls_;
};

} // namespace vantrel::test
