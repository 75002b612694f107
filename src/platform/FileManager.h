#pragma once

#include "platform/Clock.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <optional>

namespace vantrel {

// The file operations behind the data files, injected so every one of them can be made to fail.
// Operations throw on failure: std::system_error carrying the operating system's error code, or
// FileWriteError from the atomic writer.
class FileManager {
public:
    virtual ~FileManager() = default;

    // True when anything (file or folder) exists at `path`.
    virtual bool fileExists(const QString& path) const = 0;
    // The size in bytes of what is at `path`; none when nothing is there.
    virtual std::optional<qint64> fileSize(const QString& path) const = 0;
    // When what is at `path` was last written; none when nothing is there.
    virtual std::optional<WallTime> modificationDate(const QString& path) const = 0;
    // Creates the folder with every missing parent; a folder that exists already is no error.
    virtual void createDirectory(const QString& path) = 0;
    // The whole file in one piece, if it is a regular file of at most `maximumBytes` (through a
    // symbolic link only to a regular file of the user's); opening it never waits.
    virtual QByteArray readData(const QString& path, qint64 maximumBytes) = 0;
    // A file another run left for this one to take in.
    struct OwnFile {
        QByteArray bytes;
        WallTime modified; // when it was last written
    };
    // The whole file, only if it is a regular file of the user's own of at most `maximumBytes`,
    // never through a link (one in its place is refused, not followed); opening it never waits.
    // What stands there instead is named in the UnreadableFileError thrown.
    virtual OwnFile readOwnFile(const QString& path, qint64 maximumBytes) = 0;
    // Replaces the file atomically: a reader sees either the old bytes or the new ones. A link in
    // its place is kept, and the user's file it leads to is replaced.
    virtual void writeData(const QByteArray& bytes, const QString& path) = 0;
    // Writes as writeData a file that stands in for `original` (its recovery file): never more
    // readable than `original` is, when that is there.
    virtual void writeStandIn(const QByteArray& bytes, const QString& path, const QString& original) = 0;
    // Copies `from` to `to`, leaving `from` in place; never replaces an existing `to`, and finds
    // a taken name before it reads or writes anything. The copy is never more readable than `from`.
    virtual void copyItem(const QString& from, const QString& to) = 0;
    // For a file kept for the user alone (the clipboard history and the files beside it): as
    // writeData and copyItem, but what they leave is readable and writable by its owner only,
    // whatever the mode of the file replaced or copied.
    virtual void writePrivateData(const QByteArray& bytes, const QString& path) = 0;
    virtual void copyPrivateItem(const QString& from, const QString& to) = 0;
    // Appends to such a file, made when missing; a write that stops short leaves the file as it
    // was. Never through a link.
    virtual void appendPrivateData(const QByteArray& bytes, const QString& path) = 0;
    // The names (not paths) of the entries of a folder.
    virtual QStringList contentsOfDirectory(const QString& path) const = 0;
    // Removes a file.
    virtual void removeItem(const QString& path) = 0;
    // Removes the leftovers of writes that a killed process never finished: the temporary files
    // in `folder` last changed before `cutoff`. Never throws; answers how many were removed.
    virtual int removeStaleTemporaryFiles(const QString& folder, WallTime cutoff) = 0;
};

} // namespace vantrel
