#include "platform/linux/FreedesktopTrash.h"

#include "platform/linux/TreeRemover.h"

#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

namespace vantrel {

namespace {

void note(QString* error, const QString& text) {
    if (error) *error = text;
}

// A descriptor closed when it goes out of scope.
struct Descriptor {
    int fd = -1;
    explicit Descriptor(int value) : fd(value) {}
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    ~Descriptor() {
        if (fd >= 0) ::close(fd);
    }
};

// The names of what stayed, for a message: the first few, then how many more.
QString stayedNames(const TreeRemover& remover) {
    QStringList names;
    for (const QByteArray& name : remover.stayed()) {
        const QString shown = QFile::decodeName(name);
        names.append(shown.size() > 40 ? shown.left(39) + QChar(0x2026) : shown);
    }
    QString text = names.join(QStringLiteral(", "));
    const qsizetype more = remover.stayedCount() - names.size();
    if (more > 0) text += QStringLiteral(" and %1 more").arg(more);
    return text;
}

// Whether `name` is in the open folder `folder`; what cannot be told counts as there.
bool present(int folder, const QByteArray& name) {
    struct stat status {};
    return ::fstatat(folder, name.constData(), &status, AT_SYMLINK_NOFOLLOW) == 0 || errno != ENOENT;
}

// How long before an emptying an info must have been written to count as left without its file.
constexpr Seconds kInfoWait{60};

const SystemClock kSystemClock;

// Whether the entry `name` of the open folder `folder` was last changed before `cutoff` (seconds
// of the wall clock); what cannot be told counts as young.
bool olderThan(int folder, const QByteArray& name, time_t cutoff) {
    struct stat status {};
    return ::fstatat(folder, name.constData(), &status, AT_SYMLINK_NOFOLLOW) == 0 && status.st_mtime < cutoff;
}

} // namespace

FreedesktopTrash::FreedesktopTrash(const QString& dataHome, TreeRemover::MountSources mounts,
                                   const Clock* clock)
    : root_(dataHome + QStringLiteral("/Trash")), mounts_(mounts), clock_(clock ? *clock : kSystemClock) {}

QString FreedesktopTrash::filesFolder() const {
    return root_ + QStringLiteral("/files");
}

QString FreedesktopTrash::infoFolder() const {
    return root_ + QStringLiteral("/info");
}

bool FreedesktopTrash::hasItems(QString* failure) const {
    const Descriptor root(::open(QFile::encodeName(root_).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (root.fd < 0) {
        if (errno != ENOENT) note(failure, QStringLiteral("The Trash could not be read."));
        return false;
    }
    const QString unreadable = QStringLiteral("The Trash\u2019s \u201cfiles\u201d folder could not be read.");
    // Read only the Trash's own folder, never one a link in its place leads to.
    const int files = ::openat(root.fd, "files", O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (files < 0) {
        struct stat status {};
        const bool missing = errno == ENOENT;
        if (!missing && ::fstatat(root.fd, "files", &status, AT_SYMLINK_NOFOLLOW) == 0 &&
            S_ISLNK(status.st_mode))
            note(failure, QStringLiteral("The Trash\u2019s \u201cfiles\u201d folder is a symbolic link."));
        else if (!missing)
            note(failure, unreadable);
        return false;
    }
    DIR* dir = ::fdopendir(files);
    if (!dir) {
        ::close(files);
        note(failure, unreadable);
        return false;
    }
    bool found = false;
    errno = 0;
    while (const dirent* entry = ::readdir(dir)) {
        if (std::strcmp(entry->d_name, ".") != 0 && std::strcmp(entry->d_name, "..") != 0) {
            found = true;
            break;
        }
    }
    if (!found && errno != 0) note(failure, unreadable);
    ::closedir(dir);
    return found;
}

bool FreedesktopTrash::moveToTrash(const QString& path, QString* error) {
    if (!QFileInfo::exists(path) && !QFileInfo(path).isSymLink()) {
        note(error, QStringLiteral("Nothing is at %1.").arg(path));
        return false;
    }
    QFile file(path);
    if (!file.moveToTrash()) {
        note(error, file.errorString());
        return false;
    }
    return true;
}

bool FreedesktopTrash::empty(QString* error, const std::function<bool()>& stopRequested) {
    const time_t infoCutoff = std::chrono::system_clock::to_time_t(addSeconds(clock_.now(), -kInfoWait));
    const Descriptor root(::open(QFile::encodeName(root_).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (root.fd < 0) {
        if (errno == ENOENT) return true;
        note(error, QStringLiteral("The Trash could not be read; nothing was deleted."));
        return false;
    }
    // Both folders are opened before anything goes, so that a Trash that is refused loses nothing.
    // A link in place of one would have its target emptied: refused; so would a folder mounted
    // there, whatever it shows.
    TreeRemover remover(stopRequested, mounts_);
    const std::optional<TreeRemover::Place> trashPlace = remover.placeOf(root.fd);
    std::optional<Descriptor> folders[2];
    const char* const names[2] = {"files", "info"};
    for (int i = 0; i < 2; ++i) {
        struct stat status {};
        if (::fstatat(root.fd, names[i], &status, AT_SYMLINK_NOFOLLOW) != 0 && errno == ENOENT) continue;
        if (S_ISLNK(status.st_mode)) {
            note(error, QStringLiteral(
                            "The Trash\u2019s \u201c%1\u201d folder is a symbolic link; nothing was deleted.")
                            .arg(QLatin1String(names[i])));
            return false;
        }
        folders[i].emplace(remover.openFolder(root.fd, names[i]));
        const std::optional<TreeRemover::Place> place =
            folders[i]->fd < 0 ? std::nullopt : remover.placeOf(folders[i]->fd);
        // Without its mount, no folder can be told apart from a mount on it.
        if ((!trashPlace || !place) && folders[i]->fd >= 0 && ::fstat(folders[i]->fd, &status) == 0 &&
            ::fstat(root.fd, &status) == 0) {
            note(error, QStringLiteral("The mount of the Trash\u2019s \u201c%1\u201d folder cannot be told; "
                                       "nothing was deleted.")
                            .arg(QLatin1String(names[i])));
            return false;
        }
        if (!trashPlace || !place) {
            note(error, QStringLiteral(
                            "The Trash\u2019s \u201c%1\u201d folder could not be read; nothing was deleted.")
                            .arg(QLatin1String(names[i])));
            return false;
        }
        if (!place->sameMount(*trashPlace)) {
            note(error,
                 QStringLiteral(
                     "The Trash\u2019s \u201c%1\u201d folder is on another mount; nothing was deleted.")
                     .arg(QLatin1String(names[i])));
            return false;
        }
    }
    // An item is trashed by writing its info, then moving it into `files`; it is deleted the other
    // way round, so that an item left by a stop is whole and can still be restored. Hence `info`
    // is listed first: a file whose info was not listed was trashed meanwhile and stays, unless
    // its info is missing altogether.
    const int info = folders[1] ? folders[1]->fd : -1;
    const int files = folders[0] ? folders[0]->fd : -1;
    std::optional<std::vector<QByteArray>> contents[2];
    for (int i : {1, 0}) {
        if (i == 0 && remover.stopping()) break;
        if (!folders[i]) continue;
        contents[i] = TreeRemover::contentsOf(folders[i]->fd);
        if (!contents[i]) {
            note(error, QStringLiteral(
                            "The Trash\u2019s \u201c%1\u201d folder could not be read; nothing was deleted.")
                            .arg(QLatin1String(names[i])));
            return false;
        }
    }
    // Entries below a trashed folder pass through a folder of our own beside `files`; one left by
    // an emptying that was killed is emptied first. Where none can be made, trashed folders stay.
    (void)::mkdirat(root.fd, kAsideFolder, 0700);
    const Descriptor aside(::openat(root.fd, kAsideFolder, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    uid_t asideOwner = 0;
    const std::optional<TreeRemover::Place> asidePlace =
        aside.fd < 0 ? std::nullopt : remover.placeOf(aside.fd, nullptr, &asideOwner);
    const bool asideUsed =
        asidePlace && trashPlace && asidePlace->sameMount(*trashPlace) && asideOwner == ::geteuid();
    if (asideUsed) {
        remover.setAsideFolder(aside.fd);
        remover.setAfterSettingAside(afterSettingAside_);
        if (const std::optional<std::vector<QByteArray>> left = TreeRemover::contentsOf(aside.fd))
            for (const QByteArray& name : *left) (void)remover.removeEntry(aside.fd, name);
    }
    if (beforeDeleting_) beforeDeleting_();
    const QByteArray suffix = QByteArrayLiteral(".trashinfo");
    QSet<QByteArray> unpaired;
    if (contents[1]) unpaired = QSet<QByteArray>(contents[1]->begin(), contents[1]->end());
    bool ok = true;
    if (contents[0]) {
        for (const QByteArray& name : *contents[0]) {
            if (remover.stopping()) break;
            const QByteArray infoName = name + suffix;
            const bool paired = unpaired.remove(infoName);
            if (!paired && info >= 0 && present(info, infoName)) continue;
            if (!remover.removeEntry(files, name)) {
                // Part of it stays: so does its info, which still restores what is left.
                ok = false;
                continue;
            }
            // Its info goes with it, a stop asked for meanwhile or not.
            if (paired && ::unlinkat(info, infoName.constData(), 0) != 0 && errno != ENOENT)
                ok = remover.removeEntry(info, infoName) && ok;
        }
    }
    if (contents[1]) {
        for (const QByteArray& infoName : *contents[1]) {
            if (remover.stopping()) break;
            if (!unpaired.contains(infoName)) continue;
            // Its file came after `files` was listed: the item is being trashed.
            if (infoName.endsWith(suffix) && files >= 0 && present(files, infoName.chopped(suffix.size())))
                continue;
            // A trasher writes the info, then moves the file in: a young info may still be waiting
            // for its file, and only one that has waited long before this emptying is a leftover.
            if (!olderThan(info, infoName, infoCutoff)) continue;
            ok = remover.removeEntry(info, infoName) && ok;
        }
    }
    // An absent cache of folder sizes counts as removed.
    if (!remover.stopping()) ok = remover.removeEntry(root.fd, QByteArrayLiteral("directorysizes")) && ok;
    // Empty unless something could not be put back where it came from.
    if (asideUsed) (void)::unlinkat(root.fd, kAsideFolder, AT_REMOVEDIR);
    if (remover.stopping()) {
        note(error, QStringLiteral("Emptying the Trash stopped; what is left is still in the Trash."));
        return false;
    }
    if (ok) return true;
    note(error, QStringLiteral("Could not delete %1 from the Trash.").arg(stayedNames(remover)));
    return false;
}

} // namespace vantrel
