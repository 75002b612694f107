#pragma once

#include <QString>
#include <optional>

namespace vantrel {

class FileWriteError;

// What refused a write, in words for the user. With a folder, that folder refused it for
// `reason`; without one, `reason` says by itself what refused: the disk, the file made read-only
// by its owner, or what stands in the file's place. A full disk is not the folder's doing, nor is a
// link to nothing in the file's place.
struct WriteRefusal {
    QString folder;
    QString reason;

    // "the folder /media/usb refused the write (Permission denied)", "the disk holding /media/usb is
    // full", "a symbolic link to nothing stands in its place; it is left untouched".
    QString words() const;

    // For the system error `code` (none when unknown) met writing into `folder`, or making it.
    static WriteRefusal of(std::optional<int> code, bool makingFolder, const QString& folder,
                           const QString& reason);
    // For a failed atomic write, which carries the system's words rather than its number.
    static WriteRefusal of(const FileWriteError& error);
};

} // namespace vantrel
