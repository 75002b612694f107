#pragma once

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusVariant>
#include <QDBusVirtualObject>
#include <QStringList>
#include <QThread>
#include <QVariantMap>
#include <optional>

namespace vantrel::test {

// The ToolTip property of a tray item: icon name, icon pixmaps, title and text.
struct TrayToolTipPixmap {
    int width = 0;
    int height = 0;
    QByteArray pixels;
};
struct TrayToolTip {
    QString iconName;
    QList<TrayToolTipPixmap> pixmaps;
    QString title;
    QString text;
};

inline QDBusArgument& operator<<(QDBusArgument& argument, const TrayToolTipPixmap& pixmap) {
    argument.beginStructure();
    argument << pixmap.width << pixmap.height << pixmap.pixels;
    argument.endStructure();
    return argument;
}
inline const QDBusArgument& operator>>(const QDBusArgument& argument, TrayToolTipPixmap& pixmap) {
    argument.beginStructure();
    argument >> pixmap.width >> pixmap.height >> pixmap.pixels;
    argument.endStructure();
    return argument;
}
inline QDBusArgument& operator<<(QDBusArgument& argument, const TrayToolTip& toolTip) {
    argument.beginStructure();
    argument << toolTip.iconName << toolTip.pixmaps << toolTip.title << toolTip.text;
    argument.endStructure();
    return argument;
}
inline const QDBusArgument& operator>>(const QDBusArgument& argument, TrayToolTip& toolTip) {
    argument.beginStructure();
    argument >> toolTip.iconName >> toolTip.pixmaps >> toolTip.title >> toolTip.text;
    argument.endStructure();
    return argument;
}

} // namespace vantrel::test

Q_DECLARE_METATYPE(vantrel::test::TrayToolTipPixmap)
Q_DECLARE_METATYPE(vantrel::test::TrayToolTip)

namespace vantrel::test {

// One object on a bus with a connection, bus name and thread of its own, so the test can call it
// synchronously from the main thread. Answers Get and GetAll of org.freedesktop.DBus.Properties
// from `properties`; a silent object never answers at all.
class FakeBusObject final : public QDBusVirtualObject {
public:
    FakeBusObject(const QString& busAddress, const QString& busName, const QString& path,
                  QVariantMap properties, bool silent = false)
        : connection_(QDBusConnection::connectToBus(busAddress, QStringLiteral("fake-") + busName)),
          properties_(std::move(properties)), silent_(silent) {
        qDBusRegisterMetaType<TrayToolTipPixmap>();
        qDBusRegisterMetaType<QList<TrayToolTipPixmap>>();
        qDBusRegisterMetaType<TrayToolTip>();
        moveToThread(&thread_);
        thread_.start();
        registered_ = connection_.registerVirtualObject(path, this) && connection_.registerService(busName);
    }
    ~FakeBusObject() override {
        QDBusConnection::disconnectFromBus(connection_.name());
        thread_.quit();
        thread_.wait();
    }

    bool isRegistered() const { return registered_; }

    QString introspect(const QString&) const override { return {}; }
    bool handleMessage(const QDBusMessage& message, const QDBusConnection& connection) override {
        if (silent_) return true;
        if (message.member() == QStringLiteral("GetAll"))
            return connection.send(message.createReply(QVariant::fromValue(properties_)));
        if (message.member() == QStringLiteral("Get") && message.arguments().size() == 2) {
            const QString name = message.arguments().at(1).toString();
            if (properties_.contains(name))
                return connection.send(
                    message.createReply(QVariant::fromValue(QDBusVariant(properties_.value(name)))));
        }
        return connection.send(message.createErrorReply(QDBusError::UnknownProperty, QStringLiteral("none")));
    }

private:
    QThread thread_;
    QDBusConnection connection_;
    const QVariantMap properties_;
    const bool silent_;
    bool registered_ = false;
};

// The desktop's StatusNotifierWatcher, listing `entries`.
inline std::unique_ptr<FakeBusObject> fakeStatusNotifierWatcher(const QString& busAddress,
                                                                QStringList entries) {
    return std::make_unique<FakeBusObject>(
        busAddress, QStringLiteral("org.kde.StatusNotifierWatcher"), QStringLiteral("/StatusNotifierWatcher"),
        QVariantMap{{QStringLiteral("RegisteredStatusNotifierItems"), entries},
                    {QStringLiteral("IsStatusNotifierHostRegistered"), true}});
}

// The properties of a tray item: each name only when given.
inline QVariantMap trayItemProperties(std::optional<QString> title, std::optional<QString> toolTipTitle,
                                      std::optional<QString> id) {
    QVariantMap properties{{QStringLiteral("Category"), QStringLiteral("ApplicationStatus")}};
    if (title) properties.insert(QStringLiteral("Title"), *title);
    if (toolTipTitle)
        properties.insert(QStringLiteral("ToolTip"),
                          QVariant::fromValue(TrayToolTip{QStringLiteral("icon"),
                                                          {TrayToolTipPixmap{1, 1, QByteArray(4, '\xff')}},
                                                          *toolTipTitle,
                                                          QStringLiteral("<b>details</b>")}));
    if (id) properties.insert(QStringLiteral("Id"), *id);
    return properties;
}

} // namespace vantrel::test
