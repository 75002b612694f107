#pragma once

#include <QtGlobal>
#include <sys/stat.h>

namespace vantrel {

// A file as the system last described it: one rewritten, replaced or renamed over since differs
// in its device, inode, size or times.
struct FileStamp {
    qint64 device = 0, inode = 0, size = 0, modified = 0, changed = 0; // times in nanoseconds

    static FileStamp of(const struct stat& info) {
        const auto nanoseconds = [](const timespec& t) {
            return qint64(t.tv_sec) * 1'000'000'000 + t.tv_nsec;
        };
        return {qint64(info.st_dev), qint64(info.st_ino), qint64(info.st_size), nanoseconds(info.st_mtim),
                nanoseconds(info.st_ctim)};
    }
    bool operator==(const FileStamp&) const = default;
};

} // namespace vantrel
