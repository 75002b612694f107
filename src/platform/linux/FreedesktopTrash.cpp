#include "platform/linux/FreedesktopTrash.h"

#include "platform/linux/TreeRemover.h"

#include <QDateTime>
#include <QDir>
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

// Names for a message: the first few, then how many more of `count` in all.
QString shownNames(const QByteArrayList& first, qsizetype count) {
    QStringList names;
    for (const QByteArray& name : first) {
        const QString shown = QFile::decodeName(name);
        names.append(shown.size() > 40 ? shown.left(39) + QChar(0x2026) : shown);
    }
    QString text = names.join(QStringLiteral(", "));
    const qsizetype more = count - names.size();
    if (more > 0) text += QStringLiteral(" and %1 more").arg(more);
    return text;
}

// Names kept for a message, and how many in all.
struct Named {
    QByteArrayList first;
    qsizetype count = 0;
    void add(const QByteArray& name) {
        if (first.size() < 3) first.append(name);
        ++count;
    }
};

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

// Whether `path` still leads to what `held` tells of; its last name is followed when `follow`.
bool stillAt(const QByteArray& path, const struct stat& held, bool follow) {
    struct stat there {};
    return ::fstatat(AT_FDCWD, path.constData(), &there, follow ? 0 : AT_SYMLINK_NOFOLLOW) == 0 &&
           there.st_dev == held.st_dev && there.st_ino == held.st_ino;
}

// The value of the "Path=" line of the info `name` in the open `info` folder, as it stands there
// (percent-encoded); empty when there is none or it cannot be read.
QByteArray infoPath(int info, const QByteArray& name) {
    const Descriptor fd(::openat(info, name.constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
    struct stat status {};
    if (fd.fd < 0 || ::fstat(fd.fd, &status) != 0 || !S_ISREG(status.st_mode)) return {};
    QByteArray text(8192, Qt::Uninitialized);
    ssize_t n = 0;
    do n = ::read(fd.fd, text.data(), size_t(text.size()));
    while (n < 0 && errno == EINTR);
    text.resize(n < 0 ? 0 : qsizetype(n));
    for (const QByteArray& line : text.split('\n'))
        if (line.startsWith("Path=")) return line.mid(5).trimmed();
    return {};
}

// A noted line "<key> <value>" of a record.
QByteArray notedValue(const TreeRemover::Record& record, const QByteArray& key) {
    for (const QByteArray& line : record.noted)
        if (line.startsWith(key + ' ')) return line.mid(key.size() + 1);
    return {};
}

bool isRecorded(int descriptor, const TreeRemover::Record& record) {
    struct stat status {};
    return ::fstat(descriptor, &status) == 0 && status.st_dev == record.device &&
           status.st_ino == record.inode;
}

// Whether the recorded way below the open `within` still leads, link by no link, to the folder
// the record names.
bool stillWithin(int within, const TreeRemover::Record& record) {
    int folder = ::fcntl(within, F_DUPFD_CLOEXEC, 0);
    for (const QByteArray& name : record.way) {
        if (folder < 0) return false;
        const int below =
            name == "." || name == ".."
                ? -1
                : ::openat(folder, name.constData(), O_PATH | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
        ::close(folder);
        folder = below;
    }
    const bool found = folder >= 0 && isRecorded(folder, record);
    if (folder >= 0) ::close(folder);
    return found;
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
    // Nothing goes from `files` or `info` once it is no longer the Trash's own: moved away, say, it
    // holds what someone took out of the Trash. Only that folder's way is looked up before each
    // deletion, as the whole way is looked up again each time.
    const QByteArray rootPath = QFile::encodeName(root_);
    struct stat held[3]{}; // files, info, the Trash
    for (int i = 0; i < 2; ++i)
        if (folders[i]) (void)::fstat(folders[i]->fd, &held[i]);
    (void)::fstat(root.fd, &held[2]);
    QString lost;
    remover.setGuard([&](int parent) {
        // An item's file goes before its info: deleting from `files` needs both.
        const bool inFiles = folders[0] && parent == folders[0]->fd;
        for (int i = 0; i < 2; ++i) {
            if (!folders[i] || (parent != folders[i]->fd && !inFiles)) continue;
            if (stillAt(rootPath + '/' + names[i], held[i], false)) continue;
            lost = stillAt(rootPath, held[2], true)
                       ? QStringLiteral("The Trash\u2019s \u201c%1\u201d folder was moved while it was being "
                                        "emptied; nothing more was deleted.")
                             .arg(QLatin1String(names[i]))
                       : QStringLiteral(
                             "The Trash was moved while it was being emptied; nothing more was deleted.");
            return false;
        }
        if (inFiles || (folders[1] && parent == folders[1]->fd) || stillAt(rootPath, held[2], true))
            return true;
        lost = QStringLiteral("The Trash was moved while it was being emptied; nothing more was deleted.");
        return false;
    });
    // Entries below a trashed folder pass through a folder of our own beside `files`; what one
    // left by an emptying that was killed holds is dealt with first. Where none can be used,
    // trashed folders stay, and the message says why.
    const int made = ::mkdirat(root.fd, kAsideFolder, 0700) == 0 ? 0 : errno;
    const Descriptor aside(remover.openFolder(root.fd, kAsideFolder));
    const int openFailure = errno;
    QString asideProblem;
    uid_t asideOwner = 0;
    mode_t asideMode = 0;
    struct stat asideStatus {};
    const std::optional<TreeRemover::Place> asidePlace =
        aside.fd < 0 ? std::nullopt : remover.placeOf(aside.fd, &asideMode, &asideOwner);
    if (aside.fd < 0) {
        const bool there = ::fstatat(root.fd, kAsideFolder, &asideStatus, AT_SYMLINK_NOFOLLOW) == 0;
        if (there && !S_ISDIR(asideStatus.st_mode))
            asideProblem = QStringLiteral("is not a folder");
        else if (there && asideStatus.st_uid != ::geteuid())
            asideProblem = QStringLiteral("belongs to another user");
        else if (there)
            asideProblem = QStringLiteral("cannot be opened (%1)")
                               .arg(QString::fromLocal8Bit(std::strerror(openFailure)));
        else
            asideProblem =
                QStringLiteral("could not be made (%1)").arg(QString::fromLocal8Bit(std::strerror(made)));
    } else if (!asidePlace || !trashPlace) {
        asideProblem = QStringLiteral("cannot be read");
    } else if (asideOwner != ::geteuid()) {
        asideProblem = QStringLiteral("belongs to another user");
    } else if (!asidePlace->sameMount(*trashPlace)) {
        asideProblem = QStringLiteral("is on another mount");
    } else if ((asideMode & 07777) != 0700 && ::fchmod(aside.fd, 0700) != 0) {
        asideProblem =
            QStringLiteral("cannot be opened up (%1)").arg(QString::fromLocal8Bit(std::strerror(errno)));
    }
    const bool asideUsed = asideProblem.isEmpty();
    if (asideUsed) {
        remover.setAsideFolder(aside.fd, [&](int parent, const QByteArray& top) -> QByteArray {
            if (parent == aside.fd) return "in aside\n";
            if (parent == info) return "in info\n";
            if (parent == root.fd) return "in trash\n";
            if (parent != files) return {};
            const QByteArray from =
                info < 0 || top.isEmpty() ? QByteArray() : infoPath(info, top + ".trashinfo");
            return "in files\n" + (from.isEmpty() ? QByteArray() : "from " + from + '\n');
        });
        remover.setAfterSettingAside(afterSettingAside_);
    }
    bool ok = true;
    Named keptInTrash;
    Named leftAside;
    // Moves `name` of `from` into the Trash as an item of its own, with an info naming `original`:
    // it was listed by no emptying, so this one leaves it.
    const QDateTime started =
        QDateTime::fromSecsSinceEpoch(qint64(std::chrono::system_clock::to_time_t(clock_.now())));
    std::optional<Descriptor> madeInfo;
    const auto intoTrash = [&](int from, const QByteArray& name, const QByteArray& original) {
        if (info < 0 && !madeInfo) {
            (void)::mkdirat(root.fd, "info", 0700);
            madeInfo.emplace(::openat(root.fd, "info", O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
        }
        const int infoAt = info >= 0 ? info : madeInfo->fd;
        if (files < 0 || infoAt < 0 || !remover.held(files) || !remover.held(infoAt)) return false;
        const QByteArray text = "[Trash Info]\nPath=" + original.toPercentEncoding("/") + "\nDeletionDate=" +
                                started.toString(QStringLiteral("yyyy-MM-ddThh:mm:ss")).toLatin1() + '\n';
        for (int attempt = 1; attempt <= kNamesBeside; ++attempt) {
            const QByteArray target = nameBeside(name, attempt);
            const QByteArray infoName = target + ".trashinfo";
            const int fd = ::openat(infoAt, infoName.constData(),
                                    O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
            if (fd < 0 && errno == EEXIST) continue;
            if (fd < 0) return false;
            const bool written = ::write(fd, text.constData(), size_t(text.size())) == text.size();
            if (::close(fd) == 0 && written &&
                renameNoReplace(from, name.constData(), files, target.constData()) == 0)
                return true;
            const int failure = written ? errno : EIO;
            (void)::unlinkat(infoAt, infoName.constData(), 0);
            if (failure != EEXIST) return false;
        }
        return false;
    };
    const auto keep = [&](int from, const QByteArray& name, const QByteArray& original) {
        if (intoTrash(from, name, original)) {
            keptInTrash.add(name);
        } else {
            leftAside.add(name);
            ok = false;
        }
    };
    if (asideUsed) {
        const std::optional<std::vector<QByteArray>> left = TreeRemover::contentsOf(aside.fd);
        const QSet<QByteArray> leftNames =
            left ? QSet<QByteArray>(left->begin(), left->end()) : QSet<QByteArray>();
        const QByteArray home = QFile::encodeName(QDir::homePath());
        for (const QByteArray& name : left ? *left : std::vector<QByteArray>()) {
            if (remover.stopping()) break;
            if (name.endsWith(".origin")) {
                // The record of a slot that is gone.
                if (!leftNames.contains(name.chopped(7))) (void)::unlinkat(aside.fd, name.constData(), 0);
                continue;
            }
            const std::optional<TreeRemover::Record> record = TreeRemover::readRecord(aside.fd, name);
            if (!record) {
                // Where it came from is not known: kept, not deleted.
                keep(aside.fd, name, home + '/' + name);
                continue;
            }
            const QByteArray in = notedValue(*record, "in");
            const int within = in == "files"   ? files
                               : in == "info"  ? info
                               : in == "aside" ? aside.fd
                               : in == "trash" ? root.fd
                                               : -1;
            if (within >= 0 && stillWithin(within, *record)) {
                // Its folder is still in the Trash: what was being deleted goes.
                if (remover.removeEntry(aside.fd, name))
                    (void)::unlinkat(aside.fd, TreeRemover::recordName(name).constData(), 0);
                else
                    ok = false;
                continue;
            }
            // Its folder left the Trash: what was set aside goes back into it, wherever it is now
            // where it was restored to, else into the Trash as items of their own.
            QByteArray original = QByteArray::fromPercentEncoding(notedValue(*record, "from"));
            for (qsizetype i = 1; !original.isEmpty() && i < record->way.size(); ++i)
                original += '/' + record->way[i];
            const Descriptor restored(original.startsWith('/')
                                          ? ::open(original.constData(), O_PATH | O_DIRECTORY | O_CLOEXEC)
                                          : -1);
            const bool found = restored.fd >= 0 && isRecorded(restored.fd, *record);
            if (original.isEmpty()) original = home;
            const Descriptor slot(
                ::openat(aside.fd, name.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
            const std::optional<std::vector<QByteArray>> entries =
                slot.fd < 0 ? std::nullopt : TreeRemover::contentsOf(slot.fd);
            if (!entries) {
                leftAside.add(name);
                ok = false;
                continue;
            }
            for (const QByteArray& entry : *entries)
                if (!(found && renameBeside(slot.fd, entry.constData(), restored.fd, entry)))
                    keep(slot.fd, entry, original + '/' + entry);
            if (::unlinkat(aside.fd, name.constData(), AT_REMOVEDIR) == 0)
                (void)::unlinkat(aside.fd, TreeRemover::recordName(name).constData(), 0);
        }
    }
    if (beforeDeleting_) beforeDeleting_();
    const QByteArray suffix = QByteArrayLiteral(".trashinfo");
    QSet<QByteArray> unpaired;
    if (contents[1]) unpaired = QSet<QByteArray>(contents[1]->begin(), contents[1]->end());
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
            // Its info goes with it, a stop asked for meanwhile or not; not once `info` is no
            // longer the Trash's.
            if (paired && remover.held(info) && ::unlinkat(info, infoName.constData(), 0) != 0 &&
                errno != ENOENT)
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
    remover.releaseSlots();
    if (asideUsed) (void)::unlinkat(root.fd, kAsideFolder, AT_REMOVEDIR);
    if (remover.lostHold()) {
        note(error, lost);
        return false;
    }
    if (remover.stopping()) {
        note(error, QStringLiteral("Emptying the Trash stopped; what is left is still in the Trash."));
        return false;
    }
    if (ok && keptInTrash.count == 0) return true;
    QStringList text;
    if (!ok) {
        QByteArrayList first = remover.stayed() + leftAside.first;
        first = first.mid(0, 3);
        const QString what = shownNames(first, remover.stayedCount() + leftAside.count);
        text.append(asideProblem.isEmpty() ? QStringLiteral("Could not delete %1 from the Trash.").arg(what)
                                           : QStringLiteral("Could not delete %1 from the Trash: the "
                                                            "Trash\u2019s working folder \u201c%2\u201d %3.")
                                                 .arg(what, QLatin1String(kAsideFolder), asideProblem));
    }
    if (keptInTrash.count > 0)
        text.append(
            QStringLiteral("Kept in the Trash, as the folder it was deleted from had left the Trash: %1.")
                .arg(shownNames(keptInTrash.first, keptInTrash.count)));
    note(error, text.join(QLatin1Char(' ')));
    return false;
}

} // namespace vantrel
