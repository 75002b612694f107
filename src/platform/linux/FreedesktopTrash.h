#pragma once

#include "platform/Trash.h"

namespace vantrel {

// The freedesktop home trash: `files` holds the trashed items, `info` one `.trashinfo` per item
// naming where it came from, and `directorysizes` caches the sizes of trashed folders. Files
// that the desktop moves to the trash of another volume are not in it.
class FreedesktopTrash final : public Trash {
public:
    // `dataHome`: $XDG_DATA_HOME, where the home trash is the folder "Trash".
    explicit FreedesktopTrash(const QString& dataHome);

    QString filesFolder() const override;
    bool hasItems(QString* failure = nullptr) const override;
    bool moveToTrash(const QString& path, QString* error = nullptr) override;
    bool empty(QString* error = nullptr, const std::function<bool()>& stopRequested = {}) override;

    QString infoFolder() const;

private:
    QString root_;
};

} // namespace vantrel
