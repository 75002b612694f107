#pragma once

#include "platform/Clock.h"
#include "platform/Trash.h"
#include "platform/linux/TreeRemover.h"

namespace vantrel {

// The freedesktop home trash: `files` holds the trashed items, `info` one `.trashinfo` per item
// naming where it came from, and `directorysizes` caches the sizes of trashed folders. Files
// that the desktop moves to the trash of another volume are not in it.
class FreedesktopTrash final : public Trash {
public:
    // `dataHome`: $XDG_DATA_HOME, where the home trash is the folder "Trash".
    // `mounts`: where the mount of a folder is learnt (a test takes a source away). `clock`: when an
    // emptying starts, against which a lone info's age is told (none: the system's); it is read on
    // whatever thread empties.
    explicit FreedesktopTrash(const QString& dataHome, TreeRemover::MountSources mounts = {},
                              const Clock* clock = nullptr);

    QString filesFolder() const override;
    bool hasItems(QString* failure = nullptr) const override;
    bool moveToTrash(const QString& path, QString* error = nullptr) override;
    // Stops, saying so, once `files` or `info` (or the Trash itself) is no longer the one at the
    // Trash's path: what was moved away keeps all that was left in it.
    bool empty(QString* error = nullptr, const std::function<bool()>& stopRequested = {}) override;

    QString infoFolder() const;
    // Called by an emptying once both folders are listed, before anything is deleted: for a test
    // that trashes or restores an item at that instant.
    void setBeforeDeleting(std::function<void()> hook) { beforeDeleting_ = std::move(hook); }
    // Called each time an entry was moved aside, before the way to its folder and the Trash's own
    // folders are checked again: for a test that moves a folder out at that instant.
    void setAfterSettingAside(std::function<void()> hook) { afterSettingAside_ = std::move(hook); }
    // The folder of the Trash, beside `files` and `info`, that what an emptying deletes below a
    // trashed folder passes through, with a record of the folder each entry came from. What an
    // emptying that was killed left there goes with the next one while its folder is still in the
    // Trash; else it goes back into that folder where it was restored to, or, where that cannot be
    // found, into the Trash as an item of its own, which that emptying leaves.
    static constexpr const char* kAsideFolder = ".vantrel-deleting";

private:
    QString root_;
    TreeRemover::MountSources mounts_;
    const Clock& clock_;
    std::function<void()> beforeDeleting_;
    std::function<void()> afterSettingAside_;
};

} // namespace vantrel
