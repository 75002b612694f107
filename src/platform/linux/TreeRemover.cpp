#include "platform/linux/TreeRemover.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <linux/openat2.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/sysmacros.h>
#include <unistd.h>

namespace vantrel {

namespace {

// Whether the entry `name` of the open folder `parent` is still the folder at `place`.
bool stillIn(int parent, const QByteArray& name, const TreeRemover::Place& place) {
    struct stat status {};
    return ::fstatat(parent, name.constData(), &status, AT_SYMLINK_NOFOLLOW) == 0 &&
           status.st_dev == place.device && status.st_ino == place.inode;
}

// Whether the open `descriptor` is the folder at `place`.
bool isAt(int descriptor, const TreeRemover::Place& place) {
    struct stat status {};
    return ::fstat(descriptor, &status) == 0 && status.st_dev == place.device && status.st_ino == place.inode;
}

// The longest path the kernel looks up at once, its closing null left out.
constexpr qsizetype kLongestLookup = PATH_MAX - 1;

} // namespace

QByteArray nameBeside(const QByteArray& name, int attempt) {
    return attempt == 1 ? name : name + " (" + QByteArray::number(attempt) + ')';
}

bool renameBeside(int from, const char* name, int into, const QByteArray& wanted) {
    for (int attempt = 1; attempt <= kNamesBeside; ++attempt) {
        if (renameNoReplace(from, name, into, nameBeside(wanted, attempt).constData()) == 0) return true;
        if (errno != EEXIST) return false;
    }
    return false;
}

int renameNoReplace(int from, const char* name, int to, const char* target) {
    if (::renameat2(from, name, to, target, RENAME_NOREPLACE) == 0) return 0;
    if (errno != EINVAL) return -1;
    struct stat status {};
    if (::fstatat(to, target, &status, AT_SYMLINK_NOFOLLOW) == 0) {
        errno = EEXIST;
        return -1;
    }
    return ::renameat(from, name, to, target);
}

std::optional<std::uint64_t> mountIdFromTable(int descriptor) {
    const QByteArray path = "/proc/self/fdinfo/" + QByteArray::number(descriptor);
    const int fd = ::open(path.constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return std::nullopt;
    char buffer[1024];
    ssize_t n = 0;
    do n = ::read(fd, buffer, sizeof buffer - 1);
    while (n < 0 && errno == EINTR);
    ::close(fd);
    if (n <= 0) return std::nullopt;
    // "pos:\t0\nflags:\t02100000\nmnt_id:\t31\n..."
    for (const QByteArray& line : QByteArray(buffer, n).split('\n')) {
        if (!line.startsWith("mnt_id:")) continue;
        bool ok = false;
        const std::uint64_t id = line.mid(7).trimmed().toULongLong(&ok);
        if (ok) return id;
    }
    return std::nullopt;
}

std::optional<TreeRemover::Place> TreeRemover::placeOf(int descriptor, mode_t* mode, uid_t* owner) const {
    struct statx status {};
    if (mounts_.statx(descriptor, "", AT_EMPTY_PATH, STATX_BASIC_STATS | STATX_MNT_ID, &status) != 0)
        return std::nullopt;
    // The kernel tells the mount from 5.8 on; before, /proc does. Without it no folder can be told
    // apart from a mount of another one, and none is entered.
    std::optional<std::uint64_t> mount;
    if (status.stx_mask & STATX_MNT_ID)
        mount = status.stx_mnt_id;
    else
        mount = mounts_.table(descriptor);
    if (!mount) return std::nullopt;
    if (mode) *mode = status.stx_mode;
    if (owner) *owner = status.stx_uid;
    return Place{makedev(status.stx_dev_major, status.stx_dev_minor), status.stx_ino, *mount};
}

std::optional<std::vector<QByteArray>> TreeRemover::contentsOf(int folder) {
    struct stat status {};
    if (::fstat(folder, &status) != 0) return std::nullopt;
    // Entries go only from a folder we may write to; one of ours we may make so. When that fails,
    // the deletions fail and say so.
    if (status.st_uid == ::geteuid() && (status.st_mode & S_IRWXU) != S_IRWXU)
        (void)::fchmod(folder, (status.st_mode & 07777) | S_IRWXU);
    const int copy = ::fcntl(folder, F_DUPFD_CLOEXEC, 0);
    if (copy < 0) return std::nullopt;
    DIR* dir = ::fdopendir(copy);
    if (!dir) {
        ::close(copy);
        return std::nullopt;
    }
    // The copy shares the folder's reading position.
    ::rewinddir(dir);
    std::vector<QByteArray> names;
    errno = 0;
    while (const dirent* entry = ::readdir(dir)) {
        if (std::strcmp(entry->d_name, ".") != 0 && std::strcmp(entry->d_name, "..") != 0)
            names.emplace_back(entry->d_name);
        errno = 0;
    }
    const bool complete = errno == 0;
    ::closedir(dir);
    if (!complete) return std::nullopt;
    return names;
}

int TreeRemover::openFolder(int parent, const char* name) const {
    return openFolderWithin(parent, name, nullptr);
}

int TreeRemover::openFolderWithin(int parent, const char* name, const Place* within) const {
    const int folder = ::openat(parent, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (folder >= 0 || errno != EACCES) return folder;
    // Closed to us: only a folder of ours may be opened up, and only through a descriptor of it;
    // within a tree, only one on the tree's own mount.
    const int handle = ::openat(parent, name, O_PATH | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (handle < 0) return -1;
    int opened = -1;
    int failure = EACCES;
    mode_t mode = 0;
    uid_t owner = 0;
    const std::optional<Place> place = placeOf(handle, &mode, &owner);
    if (place && owner == ::geteuid() && (!within || place->sameMount(*within))) {
        // fchmod takes no O_PATH descriptor. The descriptor's entry in /proc is the very folder it
        // was opened on, whatever the folder's name leads to by now.
        const QByteArray self = "/proc/self/fd/" + QByteArray::number(handle);
        if (::chmod(self.constData(), (mode & 07777) | S_IRWXU) == 0)
            opened = ::open(self.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (opened < 0) failure = errno;
    }
    ::close(handle);
    if (opened < 0) errno = failure;
    return opened;
}

bool TreeRemover::removeEntry(int parent, const QByteArray& name) {
    if (stopping()) return false;
    const std::optional<Place> top = placeOf(parent);
    if (top && removeAt(parent, *top, name)) return true;
    // Stopped on the way: what is left was not refused.
    if (!stopped_) noteStayed(name);
    return false;
}

bool TreeRemover::removeAt(int parent, const Place& top, const QByteArray& name) {
    struct stat status {};
    if (::fstatat(parent, name.constData(), &status, AT_SYMLINK_NOFOLLOW) != 0) return errno == ENOENT;
    // A link, a file, a socket: the entry itself goes, never what it leads to.
    if (!S_ISDIR(status.st_mode)) {
        if (aside_ < 0 || !guard_)
            return held(parent) && (::unlinkat(parent, name.constData(), 0) == 0 || errno == ENOENT);
        // Asking the guard and then deleting through `parent` would delete in its new place were
        // it moved between the two: set aside first, the entry is out of reach of such a move.
        if (topParent_ != parent) {
            releaseSlot(topSlot_);
            const std::optional<Place> place = placeOf(parent);
            if (place) topSlot_ = openSlot(parent, *place, {});
            if (topSlot_.isEmpty()) return false;
            topParent_ = parent;
        }
        const QByteArray aside = topSlot_ + '/' + name;
        if (renameNoReplace(parent, name.constData(), aside_, aside.constData()) != 0) return errno == ENOENT;
        if (afterSettingAside_) afterSettingAside_();
        if (held(parent) && ::unlinkat(aside_, aside.constData(), 0) == 0) return true;
        putBack(parent, parent, name, aside);
        return false;
    }
    // Another file system is not even opened, so that nothing is mounted on demand.
    return status.st_dev == top.device && removeFolder(parent, top, name);
}

int TreeRemover::enter(int parent, const Place& top, const QByteArray& name,
                       std::vector<Level>& levels) const {
    const int folder = openFolderWithin(parent, name.constData(), &top);
    if (folder < 0) return -1;
    // Another file system, or another mount of this one, is not part of the tree.
    const std::optional<Place> place = placeOf(folder);
    std::optional<std::vector<QByteArray>> names;
    if (place && place->sameMount(top)) names = contentsOf(folder);
    if (!names) {
        ::close(folder);
        return -1;
    }
    levels.push_back({name, *place, std::move(*names), true, {}});
    return folder;
}

bool TreeRemover::removeFolder(int parent, const Place& top, const QByteArray& name) {
    // Besides `parent`, only the folder being emptied is held open.
    std::vector<Level> levels;
    // Slots that still hold something stay, with their records, for the next emptying.
    const auto release = [&](bool result) {
        for (Level& level : levels) releaseSlot(level.slot);
        return result;
    };
    int current = enter(parent, top, name, levels);
    if (current < 0) return false;
    for (;;) {
        if (!levels.back().left.empty() && !stopping()) {
            const QByteArray entry = std::move(levels.back().left.back());
            levels.back().left.pop_back();
            struct stat status {};
            Discarded outcome = Discarded::stayed;
            if (::fstatat(current, entry.constData(), &status, AT_SYMLINK_NOFOLLOW) != 0) {
                if (errno == ENOENT) outcome = Discarded::gone;
            } else if (!S_ISDIR(status.st_mode)) {
                outcome = discard(parent, levels, current, entry, 0);
            } else if (status.st_dev == top.device) {
                // Entering deletes nothing, but opens up a closed folder: only one still ours.
                if (!stillUnder(parent, levels, current)) {
                    outcome = Discarded::movedOut;
                } else if (const int below = enter(current, top, entry, levels); below >= 0) {
                    ::close(current);
                    current = below;
                    continue;
                }
            }
            // With any folder on the way down moved out of `parent` meanwhile, what is below it is
            // no longer ours: what is left stays wherever it now is.
            if (outcome == Discarded::movedOut) {
                ::close(current);
                return release(false);
            }
            if (outcome != Discarded::gone) levels.back().complete = false;
            continue;
        }
        // Everything in this folder was tried: back up, and delete it from the folder above.
        Level done = std::move(levels.back());
        levels.pop_back();
        releaseSlot(done.slot);
        int above = parent;
        if (!levels.empty()) {
            above = ::openat(current, "..", O_PATH | O_DIRECTORY | O_CLOEXEC);
            // Moved elsewhere meanwhile: the folder above is no longer ours to delete from, and
            // what is left of this entry stays.
            if (above >= 0 && placeOf(above) != levels.back().place) {
                ::close(above);
                above = -1;
            }
        }
        ::close(current);
        if (above < 0) return release(false);
        Discarded outcome = Discarded::stayed;
        if (done.complete && done.left.empty())
            outcome = discard(parent, levels, above, done.name, AT_REMOVEDIR);
        if (outcome == Discarded::movedOut) {
            ::close(above);
            return release(false);
        }
        if (levels.empty()) return outcome == Discarded::gone;
        current = above;
        if (outcome != Discarded::gone) levels.back().complete = false;
    }
}

TreeRemover::Discarded TreeRemover::discard(int parent, std::vector<Level>& levels, int folder,
                                            const QByteArray& name, int flags) {
    // Straight in the folder given, nothing can move the entry's folder away.
    if (levels.empty()) {
        if (!held(parent)) return Discarded::stayed;
        return ::unlinkat(folder, name.constData(), flags) == 0 || errno == ENOENT ? Discarded::gone
                                                                                   : Discarded::stayed;
    }
    if (aside_ < 0) return Discarded::stayed;
    // Checking the way and then deleting through `folder` would delete in the new place of a folder
    // moved out between the two; moved aside, the entry is out of reach of any such move, and what
    // is decided after the last check holds.
    if (levels.back().slot.isEmpty()) {
        QByteArrayList way;
        for (const Level& level : levels) way.append(level.name);
        levels.back().slot = openSlot(parent, levels.back().place, way);
        if (levels.back().slot.isEmpty()) return Discarded::stayed;
    }
    const QByteArray aside = levels.back().slot + '/' + name;
    if (renameNoReplace(folder, name.constData(), aside_, aside.constData()) != 0)
        return errno == ENOENT ? Discarded::gone : Discarded::stayed;
    if (afterSettingAside_) afterSettingAside_();
    if (!stillUnder(parent, levels, folder) || !held(parent)) {
        putBack(parent, folder, name, aside);
        return Discarded::movedOut;
    }
    if (::unlinkat(aside_, aside.constData(), flags) == 0) return Discarded::gone;
    // Not what it was when looked at (a folder in place of a file, a folder filled meanwhile).
    putBack(parent, folder, name, aside);
    return Discarded::stayed;
}

void TreeRemover::putBack(int parent, int folder, const QByteArray& name, const QByteArray& aside) {
    // Under its own name, else beside it, never over what took the name meanwhile; where its folder
    // is gone, into the folder given, so that it is still seen in the Trash.
    for (const int into : {folder, parent})
        if (renameBeside(aside_, aside.constData(), into, name)) return;
    // Left in its slot, with the record that tells the next emptying where it came from.
}

QByteArray TreeRemover::openSlot(int parent, const Place& place, const QByteArrayList& way) {
    QByteArray record = "device " + QByteArray::number(quint64(place.device)) + "\ninode " +
                        QByteArray::number(quint64(place.inode)) + "\nway";
    for (const QByteArray& name : way) record += ' ' + name.toPercentEncoding();
    record += '\n';
    if (note_) record += note_(parent, way.value(0));
    // A slot whose record was lost with a crash is not taken for one whose folder is known: its
    // entries are kept, not deleted. Hence the record need not reach the disk before the entries.
    for (;;) {
        const QByteArray slot = QByteArray::number(asideCount_++);
        const QByteArray name = recordName(slot);
        const int fd =
            ::openat(aside_, name.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
        if (fd < 0 && errno == EEXIST) continue;
        if (fd < 0) return {};
        const bool written = ::write(fd, record.constData(), size_t(record.size())) == record.size();
        if (::close(fd) != 0 || !written) {
            (void)::unlinkat(aside_, name.constData(), 0);
            return {};
        }
        if (::mkdirat(aside_, slot.constData(), 0700) == 0) return slot;
        const int failure = errno;
        (void)::unlinkat(aside_, name.constData(), 0);
        if (failure != EEXIST) return {};
    }
}

void TreeRemover::releaseSlot(QByteArray& slot) {
    if (slot.isEmpty()) return;
    if (::unlinkat(aside_, slot.constData(), AT_REMOVEDIR) == 0)
        (void)::unlinkat(aside_, recordName(slot).constData(), 0);
    slot.clear();
}

std::optional<TreeRemover::Record> TreeRemover::readRecord(int aside, const QByteArray& slot) {
    const int fd =
        ::openat(aside, recordName(slot).constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return std::nullopt;
    struct stat status {};
    QByteArray text;
    constexpr qsizetype kLongest = 64 * 1024;
    if (::fstat(fd, &status) == 0 && S_ISREG(status.st_mode) && status.st_uid == ::geteuid() &&
        status.st_size <= kLongest) {
        text.resize(qsizetype(status.st_size) + 1);
        ssize_t n = 0;
        do n = ::read(fd, text.data(), size_t(text.size()));
        while (n < 0 && errno == EINTR);
        text.resize(n < 0 ? 0 : qsizetype(n));
    }
    ::close(fd);
    Record record;
    bool device = false;
    bool inode = false;
    for (const QByteArray& line : text.split('\n')) {
        if (line.startsWith("device ")) {
            record.device = dev_t(line.mid(7).toULongLong(&device));
        } else if (line.startsWith("inode ")) {
            record.inode = ino_t(line.mid(6).toULongLong(&inode));
        } else if (line.startsWith("way ")) {
            // Empty for entries straight in the folder given.
            for (const QByteArray& name : line.mid(4).split(' '))
                record.way.append(QByteArray::fromPercentEncoding(name));
        } else if (!line.isEmpty()) {
            record.noted.append(line);
        }
    }
    if (!device || !inode) return std::nullopt;
    return record;
}

bool TreeRemover::held(int parent) {
    if (lostHold_) return false;
    if (!guard_ || guard_(parent)) return true;
    lostHold_ = true;
    stopped_ = true;
    return false;
}

bool TreeRemover::stillUnder(int parent, const std::vector<Level>& levels, int folder) const {
    if (levels.size() == 1) return stillIn(parent, levels.front().name, levels.front().place);
    qsizetype length = -1;
    for (const Level& level : levels) length += level.name.size() + 1;
    // Climbing through ".." and checking each folder against the one it was entered from costs
    // a few calls a level, once per entry: first, one look-up of the whole way from `parent`,
    // following no link and crossing no mount, confirms it when the way is short enough.
    bool lookedUp = false;
    std::size_t at = levels.size() - 1;
    int climbed = -1;
    bool under = false;
    for (;;) {
        if (at == 0) {
            under = stillIn(parent, levels.front().name, levels.front().place);
            break;
        }
        if (!lookedUp && length <= kLongestLookup) {
            // Where the names do not lead to the folder (it was moved or renamed, the kernel has
            // no such look-up, a folder on the way is closed), the climb tells.
            lookedUp = true;
            QByteArray path;
            path.reserve(length);
            for (std::size_t i = 0; i <= at; ++i) {
                if (i > 0) path += '/';
                path += levels[i].name;
            }
            open_how how{};
            how.flags = O_PATH | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC;
            how.resolve = RESOLVE_NO_SYMLINKS | RESOLVE_NO_MAGICLINKS | RESOLVE_NO_XDEV;
            const int found = int(::syscall(SYS_openat2, parent, path.constData(), &how, sizeof how));
            if (found >= 0) {
                under = isAt(found, levels[at].place);
                ::close(found);
                if (under) break;
            }
        }
        length -= levels[at].name.size() + 1;
        const int up = ::openat(climbed >= 0 ? climbed : folder, "..", O_PATH | O_DIRECTORY | O_CLOEXEC);
        if (climbed >= 0) ::close(climbed);
        climbed = up;
        --at;
        if (up < 0 || !isAt(up, levels[at].place)) {
            under = false;
            break;
        }
    }
    if (climbed >= 0) ::close(climbed);
    return under;
}

bool TreeRemover::stopping() {
    if (!stopped_ && stopRequested_ && stopRequested_()) stopped_ = true;
    return stopped_;
}

void TreeRemover::noteStayed(const QByteArray& name) {
    if (stayed_.size() < kNamesKept) stayed_.append(name);
    ++stayedCount_;
}

} // namespace vantrel
