#include "platform/linux/LinuxWorkspace.h"

#include "platform/SystemLog.h"
#include "platform/WorkQueue.h"
#include "platform/linux/DesktopEntry.h"
#include "platform/linux/DesktopEntryIndex.h"
#include "platform/linux/IconThemes.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDesktopServices>
#include <QFileInfo>
#include <QMimeDatabase>

#include <sys/stat.h>

namespace vantrel {

namespace {
void log(SystemLog& log, LogLevel level, const QString& message) {
    log.log(level, QString::fromLatin1(kLogSubsystem), QStringLiteral("Workspace"), message);
}

// A file named by the Dock keeps its look-ups within bounds whatever the Dock holds.
constexpr qsizetype kKeptEntryIcons = 1024;

} // namespace

LinuxWorkspace::LinuxWorkspace(SystemLog& log, QStringList applicationFolders, IconThemes* themes,
                               QByteArray display)
    : log_(log), applicationFolders_(std::move(applicationFolders)), display_(std::move(display)),
      ownThemes_(themes ? nullptr : std::make_unique<IconThemes>()), themes_(themes ? *themes : *ownThemes_) {
    connect(&themes_, &IconThemes::changed, this, &Workspace::iconsChanged);
}

LinuxWorkspace::~LinuxWorkspace() = default;

bool LinuxWorkspace::open(const QUrl& url) {
    // Privacy panes of System Settings have no counterpart on this desktop; handing the address
    // to the desktop would at best open an unrelated program. Keep a record and say it failed,
    // so the caller tells the user to go there by hand.
    if (url.scheme() == u"x-apple.systempreferences") {
        log(log_, LogLevel::info,
            QStringLiteral("not opened (no such settings pane here): %1").arg(url.toString()));
        return false;
    }
    // Qt's desktop services start xdg-open in our own environment, on DISPLAY.
    if (display_.isEmpty()) return QDesktopServices::openUrl(url);
    const auto error = openOnDisplay(url, display_);
    if (error)
        log(log_, LogLevel::error, QStringLiteral("could not open %1: %2").arg(url.toString(), *error));
    return !error;
}

void LinuxWorkspace::reveal(const QString& path) {
    const QString folder = QFileInfo(path).absolutePath();
    QDBusMessage call = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.FileManager1"), QStringLiteral("/org/freedesktop/FileManager1"),
        QStringLiteral("org.freedesktop.FileManager1"), QStringLiteral("ShowItems"));
    call << QStringList{QUrl::fromLocalFile(path).toString()} << QString();
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        open(QUrl::fromLocalFile(folder));
        return;
    }
    // Asynchronous, so a slow or absent file manager never stalls the interface; without one,
    // the containing folder opens instead, which is the closest the desktop offers.
    auto* watcher = new QDBusPendingCallWatcher(bus.asyncCall(call, 5000), pendingCalls_.get());
    QObject::connect(watcher, &QDBusPendingCallWatcher::finished, watcher,
                     [this, folder](QDBusPendingCallWatcher* finished) {
                         if (finished->isError()) {
                             log(log_, LogLevel::info,
                                 QStringLiteral("file manager did not answer (%1); opening the folder")
                                     .arg(finished->error().name()));
                             open(QUrl::fromLocalFile(folder));
                         }
                         finished->deleteLater();
                     });
}

std::optional<ApplicationInfo> LinuxWorkspace::applicationInfo(const QString& path) const {
    const auto entry = readDesktopEntry(path);
    if (!entry) return std::nullopt;
    return ApplicationInfo{entry->name, entry->icon, entry->shown};
}

bool LinuxWorkspace::launchApplication(const QString& path) {
    const auto error = launchDesktopEntry(path, display_);
    if (error) log(log_, LogLevel::error, QStringLiteral("could not start %1: %2").arg(path, *error));
    return !error;
}

std::optional<FileStamp> LinuxWorkspace::regularFileStamp(const QString& path) {
    struct stat info {};
    if (::stat(QFile::encodeName(path).constData(), &info) != 0 || !S_ISREG(info.st_mode))
        return std::nullopt;
    return FileStamp::of(info);
}

// Only a regular file is looked at as an entry; one rewritten, replaced or renamed over since
// differs in its inode, size or times and is read again. Every icon file is named by another
// program (an entry, a theme): read only when it is a regular file within bounds, so a FIFO in
// its place never stalls the program.
LinuxWorkspace::FileIcon LinuxWorkspace::lookAt(const QString& path, const FileIcon* known) {
    if (const auto file = regularFileStamp(path)) {
        if (known && known->entry == *file) return *known;
        if (const auto entry = readDesktopEntry(path); entry && !entry->icon.isEmpty())
            return {*file, entry->icon, {}, false};
    }
    // The type may be told by the file's content, which is read for it.
    const QMimeType type = QMimeDatabase().mimeTypeForFile(path);
    return {std::nullopt, type.iconName(), type.genericIconName(),
            type.inherits(QStringLiteral("inode/directory"))};
}

QIcon LinuxWorkspace::iconOf(const FileIcon& file) const {
    if (file.entry) return themes_.icon(file.name);
    // A folder is drawn as one whatever the desktop's theme holds.
    if (file.folder) return themes_.folderIcon();
    const QIcon icon = themes_.icon(file.name);
    return icon.isNull() ? themes_.icon(file.generic) : icon;
}

QIcon LinuxWorkspace::iconForFile(const QString& path) const {
    const auto known = fileIcons_.constFind(path);
    if (!themes_.queue()) {
        // Everything at once, on the asking thread; only entries are kept, as their parse is
        // most of a look-up.
        const FileIcon file = lookAt(path, known != fileIcons_.cend() ? &known->icon : nullptr);
        if (!file.entry) {
            fileIcons_.remove(path);
        } else {
            if (known == fileIcons_.cend() && fileIcons_.size() >= kKeptEntryIcons) fileIcons_.clear();
            fileIcons_.insert(path, {file, 0});
        }
        return iconOf(file);
    }
    // On a hung mount or a slow network home, a stat or a read may take seconds: the file is
    // looked at on the queue, once a round, and what it named answers meanwhile.
    if ((known == fileIcons_.cend() || known->checked != themes_.round()) && !looking_.contains(path))
        lookAtOnQueue(path, known != fileIcons_.cend() ? std::optional(known->icon) : std::nullopt);
    return known != fileIcons_.cend() ? iconOf(known->icon) : QIcon();
}

void LinuxWorkspace::lookAtOnQueue(const QString& path, std::optional<FileIcon> known) const {
    looking_.insert(path);
    themes_.queue()->async([this, path, known = std::move(known), port = results_.handle()] {
        FileIcon file = lookAt(path, known ? &*known : nullptr);
        port.post([this, path, file = std::move(file)] {
            looking_.remove(path);
            const auto before = fileIcons_.constFind(path);
            const bool differs = before == fileIcons_.cend() || before->icon != file;
            if (before == fileIcons_.cend() && fileIcons_.size() >= kKeptEntryIcons) fileIcons_.clear();
            fileIcons_.insert(path, {file, themes_.round()});
            // Told once for every file in this turn: each asker looks all its icons up again.
            if (!differs || std::exchange(telling_, true)) return;
            auto* self = const_cast<LinuxWorkspace*>(this);
            QMetaObject::invokeMethod(
                self,
                [self] {
                    self->telling_ = false;
                    Q_EMIT self->iconsChanged();
                },
                Qt::QueuedConnection);
        });
    });
}

std::vector<InstalledApplication> LinuxWorkspace::installedApplications() const {
    DesktopEntryIndex index(applicationFolders_);
    index.reload();
    std::vector<InstalledApplication> applications;
    for (const DesktopEntryIndex::Entry& e : index.entries())
        if (e.entry.shown) applications.push_back({e.path, e.entry.name, themes_.icon(e.entry.icon)});
    return applications;
}

} // namespace vantrel
