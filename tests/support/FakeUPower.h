#pragma once

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusVariant>
#include <QDBusVirtualObject>
#include <QThread>
#include <QVariantMap>
#include <utility>
#include <vector>

namespace vantrel::test {

// UPower on a bus, with a connection and thread of its own, so the test can call it synchronously
// from the main thread: EnumerateDevices lists the devices in the order given, and each device
// answers GetAll with its properties ("Type", "IsPresent", "Percentage").
class FakeUPower final : public QDBusVirtualObject {
public:
    using Device = std::pair<QString, QVariantMap>;

    FakeUPower(const QString& busAddress, std::vector<Device> devices)
        : connection_(QDBusConnection::connectToBus(busAddress, QStringLiteral("fake-upower"))),
          devices_(std::move(devices)) {
        moveToThread(&thread_);
        thread_.start();
        registered_ = connection_.registerVirtualObject(QStringLiteral("/org/freedesktop/UPower"), this,
                                                        QDBusConnection::SubPath) &&
                      connection_.registerService(QStringLiteral("org.freedesktop.UPower"));
    }
    ~FakeUPower() override {
        QDBusConnection::disconnectFromBus(connection_.name());
        thread_.quit();
        thread_.wait();
    }

    bool isRegistered() const { return registered_; }

    QString introspect(const QString&) const override { return {}; }
    bool handleMessage(const QDBusMessage& message, const QDBusConnection& connection) override {
        if (message.member() == QStringLiteral("EnumerateDevices")) {
            QList<QDBusObjectPath> paths;
            for (const auto& [path, properties] : devices_) paths << QDBusObjectPath(path);
            return connection.send(message.createReply(QVariant::fromValue(paths)));
        }
        if (message.member() == QStringLiteral("GetAll")) {
            for (const auto& [path, properties] : devices_)
                if (path == message.path()) return connection.send(message.createReply(QVariant(properties)));
        }
        return connection.send(message.createErrorReply(QDBusError::UnknownObject, message.path()));
    }

private:
    QThread thread_;
    QDBusConnection connection_;
    std::vector<Device> devices_;
    bool registered_ = false;
};

} // namespace vantrel::test
