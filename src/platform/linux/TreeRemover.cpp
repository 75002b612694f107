#include "platform/linux/TreeRemover.h"

#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace vantrel {

namespace {

// The names in `folder`, read to the end before any of them is deleted, so that deleting cannot
// make the listing skip an entry.
std::optional<std::vector<QByteArray>> namesIn(int folder) {
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

} // namespace

int TreeRemover::openFolder(int parent, const char* name) {
    const int folder = ::openat(parent, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (folder >= 0 || errno != EACCES) return folder;
    // Closed to us: only a folder of ours may be opened up, and only through a descriptor of it.
    const int handle = ::openat(parent, name, O_PATH | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (handle < 0) return -1;
    int opened = -1;
    int failure = EACCES;
    struct stat status {};
    if (::fstat(handle, &status) == 0 && status.st_uid == ::geteuid()) {
        // fchmod takes no O_PATH descriptor. The descriptor's entry in /proc is the very folder it
        // was opened on, whatever the folder's name leads to by now.
        const QByteArray self = "/proc/self/fd/" + QByteArray::number(handle);
        if (::chmod(self.constData(), (status.st_mode & 07777) | S_IRWXU) == 0)
            opened = ::open(self.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (opened < 0) failure = errno;
    }
    ::close(handle);
    if (opened < 0) errno = failure;
    return opened;
}

bool TreeRemover::removeContents(int folder) {
    return clear(folder, 0, true);
}

bool TreeRemover::removeEntry(int parent, const QByteArray& name) {
    struct stat status {};
    if (::fstat(parent, &status) == 0 && removeAt(parent, name.constData(), status.st_dev, 1)) return true;
    noteStayed(name);
    return false;
}

bool TreeRemover::clear(int folder, int depth, bool report) {
    struct stat status {};
    if (::fstat(folder, &status) != 0) return false;
    // Entries go only from a folder we may write to; one of ours we may make so. When that fails,
    // the deletions below fail and say so.
    if (status.st_uid == ::geteuid() && (status.st_mode & S_IRWXU) != S_IRWXU)
        (void)::fchmod(folder, (status.st_mode & 07777) | S_IRWXU);
    const std::optional<std::vector<QByteArray>> names = namesIn(folder);
    if (!names) return false;
    bool complete = true;
    for (const QByteArray& name : *names) {
        if (removeAt(folder, name.constData(), status.st_dev, depth + 1)) continue;
        complete = false;
        if (report) noteStayed(name);
    }
    return complete;
}

bool TreeRemover::removeAt(int parent, const char* name, dev_t device, int depth) {
    struct stat status {};
    if (::fstatat(parent, name, &status, AT_SYMLINK_NOFOLLOW) != 0) return errno == ENOENT;
    // A link, a file, a socket: the entry itself goes, never what it leads to.
    if (!S_ISDIR(status.st_mode)) return ::unlinkat(parent, name, 0) == 0 || errno == ENOENT;
    // A file system mounted inside is not part of the tree.
    if (status.st_dev != device || depth > kMaxDepth) return false;
    const int folder = openFolder(parent, name);
    if (folder < 0) return false;
    struct stat opened {};
    const bool emptied =
        ::fstat(folder, &opened) == 0 && opened.st_dev == device && clear(folder, depth, false);
    ::close(folder);
    return emptied && (::unlinkat(parent, name, AT_REMOVEDIR) == 0 || errno == ENOENT);
}

void TreeRemover::noteStayed(const QByteArray& name) {
    if (stayed_.size() < kNamesKept) stayed_.append(name);
    ++stayedCount_;
}

} // namespace vantrel
