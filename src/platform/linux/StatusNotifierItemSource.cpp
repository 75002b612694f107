#include "platform/linux/StatusNotifierItemSource.h"

#include "platform/RunningApplications.h"
#include "platform/linux/SimulatedMenuBar.h"

#include "platform/Scheduler.h"

#include <QDBusArgument>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusVariant>
#include <QFile>
#include <QPointer>

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

std::optional<QStringList> entryList(const QDBusMessage& reply) {
    const auto answer = firstArgument(reply);
    if (!answer) return std::nullopt;
    const QVariant value = unwrapped(*answer);
    if (value.userType() == QMetaType::QStringList) return value.toStringList();
    if (value.userType() == qMetaTypeId<QDBusArgument>()) {
        const QDBusArgument argument = value.value<QDBusArgument>();
        if (argument.currentSignature() != QStringLiteral("as")) return std::nullopt;
        QStringList entries;
        argument >> entries;
        return entries;
    }
    return std::nullopt;
}

QVariantMap propertyMap(const QDBusMessage& reply) {
    QVariantMap properties;
    const auto answer = firstArgument(reply);
    if (!answer) return properties;
    const QVariant value = unwrapped(*answer);
    if (value.userType() == qMetaTypeId<QDBusArgument>()) {
        const QDBusArgument argument = value.value<QDBusArgument>();
        if (argument.currentSignature() == QStringLiteral("a{sv}")) argument >> properties;
    } else {
        properties = value.toMap();
    }
    return properties;
}

} // namespace

// One request: its questions, the answers so far and the budget's end.
class StatusNotifierItemSource::Pass final : public QObject {
public:
    Pass(StatusNotifierItemSource& source, Delivery deliver)
        : QObject(&source), source_(source), deliver_(std::move(deliver)) {}

    void start() {
        const QPointer<Pass> self(this);
        deadline_ = ScheduledTask(source_.sources_.scheduler,
                                  source_.sources_.scheduler.schedule(kScanBudget, [self] {
                                      if (self) self->finish();
                                  }));
        QDBusMessage call = QDBusMessage::createMethodCall(kBusService, kBusPath, kBusService,
                                                           QStringLiteral("NameHasOwner"));
        call << QString::fromLatin1(kWatcherService);
        ask(call, [this](const QDBusMessage& reply) {
            const auto answer = firstArgument(reply);
            if (answer && answer->toBool())
                askWatcher();
            else
                withoutWatcher_ = true;
        });
    }

private:
    struct Entry {
        Address address;
        std::optional<qint64> process;
        QVariantMap properties;
    };

    // Sends `call`; `handle` gets its answer (or the bus's error) unless the pass has ended.
    void ask(const QDBusMessage& call, std::function<void(const QDBusMessage&)> handle) {
        auto* watcher = new QDBusPendingCallWatcher(
            source_.sources_.connection.asyncCall(call, source_.sources_.callTimeoutMs), this);
        ++outstanding_;
        connect(watcher, &QDBusPendingCallWatcher::finished, this,
                [this, handle = std::move(handle)](QDBusPendingCallWatcher* answered) {
                    answered->deleteLater();
                    if (finished_) return;
                    handle(answered->reply());
                    // Counted down after the handler, which may have asked the next question.
                    if (--outstanding_ == 0) finish();
                });
    }

    void askWatcher() {
        QDBusMessage call = QDBusMessage::createMethodCall(QString::fromLatin1(kWatcherService),
                                                           QStringLiteral("/StatusNotifierWatcher"),
                                                           kProperties, QStringLiteral("Get"));
        call << QString::fromLatin1(kWatcherService) << QStringLiteral("RegisteredStatusNotifierItems");
        ask(call, [this](const QDBusMessage& reply) {
            for (const QString& entry : entryList(reply).value_or(QStringList{})) {
                if (static_cast<int>(entries_.size()) >= kMaxItems) break;
                const Address address = addressOf(entry);
                if (address.service.isEmpty() || source_.isOwnItem(address.service, std::nullopt)) continue;
                entries_.push_back({address, std::nullopt, {}});
                askItem(entries_.size() - 1);
            }
        });
    }

    // The item's process first: an item of this program is never asked about itself.
    void askItem(std::size_t index) {
        QDBusMessage call = QDBusMessage::createMethodCall(kBusService, kBusPath, kBusService,
                                                           QStringLiteral("GetConnectionUnixProcessID"));
        call << entries_[index].address.service;
        ask(call, [this, index](const QDBusMessage& reply) {
            Entry& entry = entries_[index];
            // Anything but a process number reads as none.
            const auto answer = firstArgument(reply);
            const qint64 process = answer ? answer->toLongLong() : 0;
            if (process > 0) entry.process = process;
            if (source_.isOwnItem(entry.address.service, entry.process)) return;
            QDBusMessage names = QDBusMessage::createMethodCall(entry.address.service, entry.address.path,
                                                                kProperties, QStringLiteral("GetAll"));
            names << kItemInterface;
            // One call for all three names.
            ask(names, [this, index](const QDBusMessage& answer) {
                entries_[index].properties = propertyMap(answer);
            });
        });
    }

    void finish() {
        if (finished_) return;
        finished_ = true;
        deadline_.cancel();
        std::vector<MenuBarItemRecord> records;
        if (withoutWatcher_) {
            records = source_.sources_.model.menuBarItems();
        } else {
            // Read at most once a pass: each read lists every window of the desktop.
            std::optional<std::vector<RunningApplication>> running;
            const auto runningApplications = [this, &running]() -> const std::vector<RunningApplication>& {
                if (!running)
                    running = source_.sources_.runningApplications
                                  ? source_.sources_.runningApplications->runningApplications()
                                  : std::vector<RunningApplication>{};
                return *running;
            };
            for (const Entry& entry : entries_) {
                if (source_.isOwnItem(entry.address.service, entry.process)) continue;
                MenuBarItemRecord record;
                record.title = textProperty(entry.properties, QStringLiteral("Title"));
                if (entry.properties.contains(QStringLiteral("ToolTip")))
                    record.description = toolTipTitle(entry.properties.value(QStringLiteral("ToolTip")));
                record.help = textProperty(entry.properties, QStringLiteral("Id"));
                if (entry.process)
                    record.ownerName = source_.programName(*entry.process, runningApplications());
                record.position =
                    source_.sources_.model.otherItemFrame(static_cast<int>(records.size())).topLeft();
                records.push_back(std::move(record));
            }
        }
        // The questions still open die with the pass.
        Delivery deliver = std::move(deliver_);
        deleteLater();
        deliver(std::move(records));
    }

    StatusNotifierItemSource& source_;
    Delivery deliver_;
    ScheduledTask deadline_;
    std::vector<Entry> entries_;
    int outstanding_ = 0;
    bool withoutWatcher_ = false;
    bool finished_ = false;
};

StatusNotifierItemSource::StatusNotifierItemSource(Sources sources, QObject* parent)
    : QObject(parent), sources_(std::move(sources)) {}

StatusNotifierItemSource::~StatusNotifierItemSource() = default;

void StatusNotifierItemSource::requestMenuBarItems(Delivery deliver) {
    if (!sources_.connection.isConnected()) {
        deliver(sources_.model.menuBarItems());
        return;
    }
    (new Pass(*this, std::move(deliver)))->start();
}

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

std::optional<QString>
StatusNotifierItemSource::programName(qint64 processId,
                                      const std::vector<RunningApplication>& running) const {
    for (const RunningApplication& application : running)
        if (application.processIdentifier == processId && !application.localizedName.isEmpty())
            return application.localizedName;
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

} // namespace vantrel
