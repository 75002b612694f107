#include "platform/WriteRefusal.h"

#include "platform/AtomicFile.h"

#include <cerrno>

namespace vantrel {

namespace {

// The system error whose words `reason` is; words of our own (a link to nothing stands in the
// file's place) are none.
std::optional<int> systemErrorNamed(const QString& reason) {
    for (int code = 1; code < 256; ++code)
        if (reason == qt_error_string(code)) return code;
    return std::nullopt;
}

} // namespace

QString WriteRefusal::words() const {
    if (folder.isEmpty()) return reason;
    return QStringLiteral("the folder %1 refused the write (%2)").arg(folder, reason);
}

WriteRefusal WriteRefusal::of(std::optional<int> code, bool makingFolder, const QString& folder,
                              const QString& reason) {
    if (code == ENOSPC || code == EDQUOT)
        return {{}, QStringLiteral("the disk holding %1 is full").arg(folder)};
    if (code == EROFS) return {{}, QStringLiteral("the disk holding %1 is read-only").arg(folder)};
    if (!code || *code == EACCES || *code == EPERM) return {folder, reason};
    if (makingFolder) return {{}, QStringLiteral("the folder %1 could not be made (%2)").arg(folder, reason)};
    return {{}, QStringLiteral("writing in the folder %1 failed (%2)").arg(folder, reason)};
}

WriteRefusal WriteRefusal::of(const FileWriteError& error) {
    if (error.refusedByFile()) return {{}, error.reason()};
    const std::optional<int> code = systemErrorNamed(error.reason());
    // Our own words: what stands in the file's place refused it, not the folder.
    if (!code) return {{}, error.reason()};
    return of(code, false, error.folder(), error.reason());
}

} // namespace vantrel
