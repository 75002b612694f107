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
// call it synchronously from the main thread. Answers every property question with the player
// properties it was given and records every other method called, as "MediaPlayer2.Raise" or
// "MediaPlayer2.Player.Next".
class FakeMprisPlayer final : public QDBusVirtualObject {
public:
    FakeMprisPlayer(const QString& busAddress, const QString& busName, QVariantMap properties)
        : connection_(QDBusConnection::connectToBus(busAddress, QStringLiteral("fake-") + busName)),
          properties_(std::move(properties)) {
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
        if (message.member() == QStringLiteral("GetAll"))
            return connection.send(message.createReply(QVariant::fromValue(properties_)));
        QMutexLocker lock(&mutex_);
        calls_.append(message.interface().section(QLatin1Char('.'), 2) + QLatin1Char('.') + message.member());
        return connection.send(message.createReply());
    }

private:
    QThread thread_;
    QDBusConnection connection_;
    const QVariantMap properties_;
    bool registered_ = false;
    mutable QMutex mutex_;
    QStringList calls_;
};

} // namespace vantrel::test
