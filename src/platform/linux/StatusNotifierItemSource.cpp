#include "platform/linux/StatusNotifierItemSource.h"

#include "platform/RunningApplications.h"
#include "platform/linux/SimulatedMenuBar.h"

#include <QDBusArgument>
#include <QDBusMessage>
#include <QDBusVariant>
#include <QFile>

namespace vantrel {

namespace {

const QString kBusService = QStringLiteral("org.freedesktop.DBus");
const QString kBusPath = QStringLiteral("/org/freedesktop/DBus");
const QString kProperties = QStringLiteral("org.freedesktop.DBus.Properties");
const QString kItemInterface = QStringLiteral("org.kde.StatusNotifierItem");
// How tray items of a process name themselves on the bus: the prefix, the process and a number.
const QString kItemNamePrefix = QStringLiteral("org.kde.StatusNotifierItem-");

std::optional<QVariant> firstArgument(const QDBusMessage& reply) {
    // An error carries its message as an argument too: only a reply answers.
    if (reply.type() != QDBusMessage::ReplyMessage) return std::nullopt;
    const QVariantList arguments = reply.arguments();
    if (arguments.isEmpty()) return std::nullopt;
    return arguments.constFirst();
}

QVariant unwrapped(QVariant value) {
    if (value.canConvert<QDBusVariant>() && value.userType() == qMetaTypeId<QDBusVariant>())
        return value.value<QDBusVariant>().variant();
    return value;
}

std::optional<QString> textProperty(const QVariantMap& properties, const QString& name) {
    const auto found = properties.constFind(name);
    if (found == properties.constEnd()) return std::nullopt;
    const QVariant value = unwrapped(*found);
    if (value.userType() != QMetaType::QString) return std::nullopt;
    return value.toString();
}

} // namespace

StatusNotifierItemSource::Address StatusNotifierItemSource::addressOf(const QString& entry) {
    const qsizetype slash = entry.indexOf(QLatin1Char('/'));
    if (slash < 0) return {entry, QString::fromLatin1(kDefaultItemPath)};
    return {entry.left(slash), entry.mid(slash)};
}

std::optional<QString> StatusNotifierItemSource::toolTipTitle(const QVariant& value) {
    const QVariant inner = unwrapped(value);
    if (inner.userType() != qMetaTypeId<QDBusArgument>()) return std::nullopt;
    const QDBusArgument argument = inner.value<QDBusArgument>();
    // (icon name, icon pixmaps, title, text); anything else is no tooltip.
    if (argument.currentSignature() != QStringLiteral("(sa(iiay)ss)")) return std::nullopt;
    QString iconName;
    QString title;
    QString text;
    argument.beginStructure();
    argument >> iconName;
    argument.beginArray();
    while (!argument.atEnd()) {
        int width = 0;
        int height = 0;
        QByteArray pixels;
        argument.beginStructure();
        argument >> width >> height >> pixels;
        argument.endStructure();
    }
    argument.endArray();
    argument >> title >> text;
    argument.endStructure();
    return title;
}

bool StatusNotifierItemSource::isWatcherRunning() const {
    QDBusMessage call =
        QDBusMessage::createMethodCall(kBusService, kBusPath, kBusService, QStringLiteral("NameHasOwner"));
    call << QString::fromLatin1(kWatcherService);
    const auto answer = firstArgument(sources_.connection.call(call, QDBus::Block, kCallTimeoutMs));
    return answer && answer->toBool();
}

std::optional<QStringList> StatusNotifierItemSource::registeredItems() const {
    QDBusMessage call = QDBusMessage::createMethodCall(QString::fromLatin1(kWatcherService),
                                                       QStringLiteral("/StatusNotifierWatcher"), kProperties,
                                                       QStringLiteral("Get"));
    call << QString::fromLatin1(kWatcherService) << QStringLiteral("RegisteredStatusNotifierItems");
    const auto answer = firstArgument(sources_.connection.call(call, QDBus::Block, kCallTimeoutMs));
    if (!answer) return std::nullopt;
    const QVariant value = unwrapped(*answer);
    if (value.userType() == QMetaType::QStringList) return value.toStringList();
    if (value.userType() == qMetaTypeId<QDBusArgument>()) {
        QStringList entries;
        value.value<QDBusArgument>() >> entries;
        return entries;
    }
    return std::nullopt;
}

std::optional<qint64> StatusNotifierItemSource::processOf(const QString& service) const {
    QDBusMessage call = QDBusMessage::createMethodCall(kBusService, kBusPath, kBusService,
                                                       QStringLiteral("GetConnectionUnixProcessID"));
    call << service;
    const auto answer = firstArgument(sources_.connection.call(call, QDBus::Block, kCallTimeoutMs));
    // Anything but a process number reads as 0.
    const qint64 process = answer ? answer->toLongLong() : 0;
    if (process <= 0) return std::nullopt;
    return process;
}

std::optional<QString> StatusNotifierItemSource::programName(qint64 processId) const {
    if (sources_.runningApplications) {
        for (const RunningApplication& application : sources_.runningApplications->runningApplications())
            if (application.processIdentifier == processId && !application.localizedName.isEmpty())
                return application.localizedName;
    }
    QFile comm(sources_.procRoot + QLatin1Char('/') + QString::number(processId) + QStringLiteral("/comm"));
    if (!comm.open(QIODevice::ReadOnly)) return std::nullopt;
    const QString name = QString::fromUtf8(comm.read(256)).trimmed();
    if (name.isEmpty()) return std::nullopt;
    return name;
}

bool StatusNotifierItemSource::isOwnItem(const QString& service, std::optional<qint64> processId) const {
    if (processId && *processId == sources_.ownProcessId) return true;
    // Qt names this program's tray items after its process, whichever connection holds them.
    return service.startsWith(kItemNamePrefix + QString::number(sources_.ownProcessId) + QLatin1Char('-'));
}

std::vector<MenuBarItemRecord> StatusNotifierItemSource::menuBarItems() {
    if (!sources_.connection.isConnected() || !isWatcherRunning()) return sources_.model.menuBarItems();
    std::vector<MenuBarItemRecord> records;
    for (const QString& entry : registeredItems().value_or(QStringList{})) {
        const Address address = addressOf(entry);
        if (address.service.isEmpty()) continue;
        const std::optional<qint64> process = processOf(address.service);
        if (isOwnItem(address.service, process)) continue;

        MenuBarItemRecord record;
        QDBusMessage call = QDBusMessage::createMethodCall(address.service, address.path, kProperties,
                                                           QStringLiteral("GetAll"));
        call << kItemInterface;
        // One call for all three names: an item that does not answer costs one time-out.
        if (const auto answer = firstArgument(sources_.connection.call(call, QDBus::Block, kCallTimeoutMs))) {
            QVariantMap properties;
            const QVariant value = unwrapped(*answer);
            if (value.userType() == qMetaTypeId<QDBusArgument>())
                value.value<QDBusArgument>() >> properties;
            else
                properties = value.toMap();
            record.title = textProperty(properties, QStringLiteral("Title"));
            if (properties.contains(QStringLiteral("ToolTip")))
                record.description = toolTipTitle(properties.value(QStringLiteral("ToolTip")));
            record.help = textProperty(properties, QStringLiteral("Id"));
        }
        if (process) record.ownerName = programName(*process);
        record.position = sources_.model.otherItemFrame(static_cast<int>(records.size())).topLeft();
        records.push_back(record);
    }
    return records;
}

} // namespace vantrel
