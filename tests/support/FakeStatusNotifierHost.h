#pragma once

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusVariant>
#include <QDBusVirtualObject>
#include <QMutex>
#include <QMutexLocker>
#include <QStringList>
#include <QThread>
#include <QVariantMap>
#include <atomic>
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
// for `interface` from `properties`; a silent object never answers at all. As a real service, it
// takes a call by its interface and member: a member on another interface, or on none, is unknown,
// and so is another interface's property.
class FakeBusObject : public QDBusVirtualObject {
public:
    // `takeOver`: the bus name passes from an object that holds it to this one in one step, and
    // may pass on to the next likewise.
    FakeBusObject(const QString& busAddress, const QString& busName, const QString& path,
                  const QString& interface, QVariantMap properties, bool silent = false,
                  bool takeOver = false)
        : FakeBusObject(JoinLater{}, busAddress, busName, path, interface, std::move(properties), silent,
                        takeOver) {
        joinBus();
    }
    ~FakeBusObject() override { leaveBus(); }

    bool isRegistered() const { return registered_; }
    // One more bus name for the same object, as a program with many items has.
    bool addName(const QString& busName) { return connection_.registerService(busName); }
    // How many calls reached the object, answered or not.
    int askedCount() const { return asked_; }
    // Returns once the bus has everything this object sent before the call.
    void roundTrip() {
        connection_.call(QDBusMessage::createMethodCall(
            QStringLiteral("org.freedesktop.DBus"), QStringLiteral("/org/freedesktop/DBus"),
            QStringLiteral("org.freedesktop.DBus"), QStringLiteral("GetId")));
    }

    QString introspect(const QString&) const override { return {}; }
    bool handleMessage(const QDBusMessage& message, const QDBusConnection& connection) override {
        const bool handled = silent_ || answer(message, connection);
        // Counted once the answer is on its way, so a test that sees the count can wait for it.
        ++asked_;
        return handled;
    }

protected:
    // For a subclass, which calls joinBus() last in its own constructor: a call that came while
    // only this part was built would be answered by this class's answer() and not the subclass's.
    struct JoinLater {};
    FakeBusObject(JoinLater, const QString& busAddress, const QString& busName, const QString& path,
                  const QString& interface, QVariantMap properties, bool silent = false,
                  bool takeOver = false)
        : connection_(QDBusConnection::connectToBus(
              busAddress, QStringLiteral("fake-%1-%2").arg(busName).arg(++count()))),
          busName_(busName), path_(path), interface_(interface), properties_(std::move(properties)),
          silent_(silent), takeOver_(takeOver) {
        registerTypesOnce();
        moveToThread(&thread_);
        thread_.start();
    }
    void joinBus() {
        registered_ =
            connection_.registerVirtualObject(path_, this) &&
            (takeOver_ ? connection_.interface()
                                 ->registerService(busName_, QDBusConnectionInterface::ReplaceExistingService,
                                                   QDBusConnectionInterface::AllowReplacement)
                                 .value() == QDBusConnectionInterface::ServiceRegistered
                       : connection_.registerService(busName_));
    }

    // Gives up the bus name and stops answering; a subclass calls it first in its destructor, so
    // no call reaches it half destroyed.
    void leaveBus() {
        if (!thread_.isRunning()) return;
        QDBusConnection::disconnectFromBus(connection_.name());
        thread_.quit();
        thread_.wait();
    }
    bool calls(const QDBusMessage& message, const QString& interface, const QString& member) const {
        return message.interface() == interface && message.member() == member;
    }
    const QString& interface() const { return interface_; }
    void setBusProperty(const QString& name, const QVariant& value) {
        QMutexLocker lock(&propertiesMutex_);
        properties_.insert(name, value);
    }
    // Sends the signal `member` of the object's interface.
    bool emitSignal(const QString& member) {
        return connection_.send(QDBusMessage::createSignal(path_, interface_, member));
    }
    virtual bool answer(const QDBusMessage& message, const QDBusConnection& connection) {
        const QString properties = QStringLiteral("org.freedesktop.DBus.Properties");
        const QVariantList arguments = message.arguments();
        const bool getAll = calls(message, properties, QStringLiteral("GetAll")) && arguments.size() == 1;
        const bool get = calls(message, properties, QStringLiteral("Get")) && arguments.size() == 2;
        if (!get && !getAll) return refuse(message, connection);
        if (arguments.at(0).toString() != interface_)
            return connection.send(message.createErrorReply(
                QDBusError::UnknownInterface,
                QStringLiteral("No interface %1 at %2").arg(arguments.at(0).toString(), path_)));
        QMutexLocker lock(&propertiesMutex_);
        if (getAll) return connection.send(message.createReply(QVariant::fromValue(properties_)));
        const QString name = arguments.at(1).toString();
        if (properties_.contains(name))
            return connection.send(
                message.createReply(QVariant::fromValue(QDBusVariant(properties_.value(name)))));
        return connection.send(message.createErrorReply(QDBusError::UnknownProperty, QStringLiteral("none")));
    }
    bool refuse(const QDBusMessage& message, const QDBusConnection& connection) const {
        return connection.send(message.createErrorReply(
            QDBusError::UnknownMethod, QStringLiteral("No method %1 in interface '%2' at %3")
                                           .arg(message.member(), message.interface(), path_)));
    }

private:
    // Registered, and their signatures worked out, once on the test's thread before any object
    // answers: the objects marshal on threads of their own, and registering again, or working
    // out a signature for the first time, while another thread marshals the type lets libdbus see
    // an empty signature and abort.
    static void registerTypesOnce() {
        static const bool registered = [] {
            qDBusRegisterMetaType<TrayToolTipPixmap>();
            qDBusRegisterMetaType<QList<TrayToolTipPixmap>>();
            qDBusRegisterMetaType<TrayToolTip>();
            for (const QMetaType type :
                 {QMetaType::fromType<TrayToolTipPixmap>(), QMetaType::fromType<QList<TrayToolTipPixmap>>(),
                  QMetaType::fromType<TrayToolTip>()})
                QDBusMetaType::typeToSignature(type);
            return true;
        }();
        (void)registered;
    }

    // Each object has a connection of its own, also where two hold the same name one after the other.
    static int& count() {
        static int made = 0;
        return made;
    }

    QThread thread_;
    QDBusConnection connection_;
    const QString busName_;
    const QString path_;
    const QString interface_;
    QMutex propertiesMutex_;
    QVariantMap properties_;
    const bool silent_;
    const bool takeOver_;
    bool registered_ = false;
    std::atomic<int> asked_ = 0;
};

// A StatusNotifierWatcher that a tray icon of Qt's can register with: it describes itself when
// introspected, lists `items`, says whether a host is there (and announces one that comes), and
// keeps the bus names of the items that register. A new one takes the name over from the last, as
// a restarted panel does.
class FakeStatusNotifierWatcher final : public FakeBusObject {
public:
    explicit FakeStatusNotifierWatcher(const QString& busAddress, bool silent = false, QStringList items = {},
                                       bool hostRegistered = true)
        : FakeBusObject(JoinLater{}, busAddress, QStringLiteral("org.kde.StatusNotifierWatcher"),
                        QStringLiteral("/StatusNotifierWatcher"),
                        QStringLiteral("org.kde.StatusNotifierWatcher"),
                        QVariantMap{{QStringLiteral("RegisteredStatusNotifierItems"), items},
                                    {QStringLiteral("IsStatusNotifierHostRegistered"), hostRegistered},
                                    {QStringLiteral("ProtocolVersion"), 0}},
                        silent, true) {
        joinBus();
    }
    ~FakeStatusNotifierWatcher() override { leaveBus(); }

    // The items that registered, by the bus name they gave.
    QStringList registeredItems() const {
        QMutexLocker lock(&mutex_);
        return registered_;
    }
    // A panel's host has come.
    void registerHost() {
        setBusProperty(QStringLiteral("IsStatusNotifierHostRegistered"), true);
        emitSignal(QStringLiteral("StatusNotifierHostRegistered"));
    }

    QString introspect(const QString&) const override {
        return QStringLiteral(
            "<interface name=\"org.kde.StatusNotifierWatcher\">"
            "<method name=\"RegisterStatusNotifierItem\"><arg name=\"service\" type=\"s\" direction=\"in\"/>"
            "</method>"
            "<method name=\"RegisterStatusNotifierHost\"><arg name=\"service\" type=\"s\" direction=\"in\"/>"
            "</method>"
            "<property name=\"RegisteredStatusNotifierItems\" type=\"as\" access=\"read\"/>"
            "<property name=\"IsStatusNotifierHostRegistered\" type=\"b\" access=\"read\"/>"
            "<property name=\"ProtocolVersion\" type=\"i\" access=\"read\"/>"
            "<signal name=\"StatusNotifierItemRegistered\"><arg type=\"s\"/></signal>"
            "<signal name=\"StatusNotifierItemUnregistered\"><arg type=\"s\"/></signal>"
            "<signal name=\"StatusNotifierHostRegistered\"/>"
            "</interface>");
    }

protected:
    bool answer(const QDBusMessage& message, const QDBusConnection& connection) override {
        if (calls(message, QStringLiteral("org.freedesktop.DBus.Introspectable"),
                  QStringLiteral("Introspect")))
            return connection.send(
                message.createReply(QStringLiteral("<node>") + introspect({}) + QStringLiteral("</node>")));
        if (calls(message, interface(), QStringLiteral("RegisterStatusNotifierItem")) &&
            message.arguments().size() == 1) {
            {
                QMutexLocker lock(&mutex_);
                registered_.append(message.arguments().at(0).toString());
            }
            return connection.send(message.createReply());
        }
        return FakeBusObject::answer(message, connection);
    }

private:
    mutable QMutex mutex_;
    QStringList registered_;
};

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
