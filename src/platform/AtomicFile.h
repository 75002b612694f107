#pragma once

#include "platform/Clock.h"

#include <QByteArray>
#include <QString>
#include <functional>
#include <stdexcept>

namespace vantrel {

class FileWriteError : public std::runtime_error {
public:
    // `folder` is where the write was refused: the folder of the file a link leads to, when the
    // file is written through one; the folder of `path` when none is given.
    FileWriteError(const QString& path, const QString& reason, const QString& folder = {});
    const QString& path() const { return path_; }
    const QString& reason() const { return reason_; }
    const QString& folder() const { return folder_; }
    // Whether the file itself refused (made read-only by its owner) rather than its folder.
    bool refusedByFile() const { return refusedByFile_; }
    static FileWriteError readOnlyFile(const QString& path);

private:
    QString path_;
    QString reason_;
    QString folder_;
    bool refusedByFile_ = false;
};

// A stored file that is there but must not be read: not a regular file, a symbolic link, or
// larger than the reader's limit. It counts as unreadable; the reason says which.
class UnreadableFileError : public std::runtime_error {
public:
    UnreadableFileError(const QString& path, const QString& reason)
        : std::runtime_error((path + QStringLiteral(": ") + reason).toStdString()), reason_(reason) {}
    const QString& reason() const { return reason_; }

private:
    QString reason_;
};

// Whether a symbolic link in the file's place is followed. `toOwnFile`, for our own stored files: a
// link (as dotfile managers make) is followed only to a regular file of the user's, never to a
// special file or to another user's file, which a write through it would hand our data to. A file
// another program left for us to read (an autostart entry, a calendar, cover art) may well be a
// link to anything, and reading through it is harmless.
enum class LinkPolicy { refuse, toOwnFile, follow };

// Reads a stored file whole, without ever waiting: opened without blocking (a FIFO never holds up
// the caller), it must be a regular file of at most `maximumBytes`, and a symbolic link is refused
// unless `links` says otherwise. A missing file throws std::system_error with ENOENT; what else
// stops the read throws std::system_error or UnreadableFileError.
QByteArray readStoredFile(const QString& path, qint64 maximumBytes, LinkPolicy links = LinkPolicy::refuse);
// The rest of an opened file `fd` (of `size` bytes when it was checked), at most `maximumBytes`:
// the file may grow while it is read, and the limit holds for what is read. Throws
// std::system_error or UnreadableFileError, naming `path`; does not close `fd`.
QByteArray readToEnd(int fd, const QString& path, qint64 maximumBytes, qint64 size);

// Every temporary file written beside a stored file is named ".<file name>.vantrel-tmp-XXXXXX"
// (hidden, six random letters or digits), so that a later start can tell its own leftovers from
// anything else in the folder.
bool isTemporaryFileName(const QString& name);

// Called with the temporary file's path once it is complete on disk and before it takes the
// target's name: the one instant at which a process killed leaves a temporary file behind. For a
// test that kills there; production passes none.
using BeforeCommit = std::function<void(const QString& temporaryPath)>;

// Writes `bytes` to a temporary file beside `path`, flushes it to disk and renames it over
// `path`, so a crash leaves either the old file or the new one, never a torn one. The new file
// keeps the old one's permissions, and its group where the user may give it that group. Only a
// regular file the user may write is replaced: one made read-only (no write bit for its owner) is
// left as it is. A symbolic link in its place
// is kept: with `toOwnFile` the file it leads to is replaced the same way (the temporary file
// beside that one), if reading may follow it; else nothing is written. A new file is readable and
// writable by the user alone. The permissions are narrowed to `modeLimit` (a file that stands for
// another is never more readable than it; a private one is 0600 whatever it was).
// Throws FileWriteError; the caller's store catches it.
void writeFileAtomically(const QString& path, const QByteArray& bytes, const BeforeCommit& beforeCommit = {},
                         LinkPolicy links = LinkPolicy::refuse, unsigned modeLimit = 07777);

// Creates the file `path`, which must not exist yet, holding `bytes`: written under a temporary
// name and linked into place only when complete, so no half file ever passes for a whole one. A
// name already taken is refused before anything is written. It gets the permissions `mode`.
// Throws std::system_error.
void createFileAtomically(const QString& path, const QByteArray& bytes, const BeforeCommit& beforeCommit = {},
                          unsigned mode = 0600);

// Creates the folder `path` with every missing parent, each one made here readable by the user
// alone (0700, whatever the umask); a folder that exists keeps the mode it has. Throws
// std::system_error naming the component that could not be made.
void createPrivateFolders(const QString& path);

// Appends `bytes` to the file `path`, created when missing; the file is left readable and writable
// by its owner alone. Only a regular file of the user's is appended to, never through a link. A
// write that stops short (a full disk) is cut back to where the file ended, so no torn piece is
// left for the next one to follow. Throws std::system_error.
void appendToPrivateFile(const QString& path, const QByteArray& bytes);

// Removes from `folder` the temporary files (of the name above, and of the names earlier
// versions used for copies) last changed before `cutoff`: leftovers of a process that was killed
// while writing. Younger ones may belong to a write in progress and are kept. Only regular files
// are removed; links are never followed. Answers how many were removed; never throws.
int removeStaleTemporaryFiles(const QString& folder, WallTime cutoff);

// "2026-12-06T21-15-47Z": an ISO 8601 UTC time usable in a file name.
QString fileNameTimestamp(WallTime time);

} // namespace vantrel
