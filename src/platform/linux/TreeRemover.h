#pragma once

#include <QByteArray>
#include <QByteArrayList>
#include <cstdint>
#include <functional>
#include <optional>
#include <sys/stat.h>
#include <sys/types.h>
#include <vector>

namespace vantrel {

// The mount id /proc tells for the open `descriptor` (the id the mount table lists); none when it
// does not.
std::optional<std::uint64_t> mountIdFromTable(int descriptor);

// Renames without replacing what `target` names, as renameat2's RENAME_NOREPLACE; where the file
// system has no such rename (NFS), it looks first and renames plainly.
int renameNoReplace(int from, const char* name, int to, const char* target);

// The name tried at `attempt` (from 1) for something called `name` where that may be taken:
// "name", then "name (2)", "name (3)" and so on.
QByteArray nameBeside(const QByteArray& name, int attempt);
// The attempts made before giving up on a free name.
inline constexpr int kNamesBeside = 20;

// Renames `name` of `from` into `into` as `wanted`, or beside it where that is taken, never over
// anything; false, with errno set, when no name was free or the rename failed otherwise.
bool renameBeside(int from, const char* name, int into, const QByteArray& wanted);

// Where the mount a descriptor is reached through is learnt: from the kernel's statx (which tells
// it from 5.8 on), else from the descriptor's entry in /proc. A test takes either away.
struct MountIdSources {
    int (*statx)(int folder, const char* path, int flags, unsigned int mask, struct statx* status) = ::statx;
    std::optional<std::uint64_t> (*table)(int descriptor) = mountIdFromTable;
};

// Deletes what lies under a folder we do not own outright (the Trash) through directory descriptors
// only. Every step opens relative to its parent without following a symbolic link, so a link is
// removed itself and never followed, and nothing outside the folder is touched even when its
// entries are swapped while we work. An entry below the folder given is first moved aside into a
// folder of our own on the same file system, then the whole way down to where it lay is checked,
// and only then is it deleted: a folder moved out at any depth, even at that very instant, keeps
// what is left in it, as the entry goes back into it wherever it now is. Nothing mounted inside is
// entered, a bind
// mount of a folder of the same file system included. A folder of ours that is read-only or closed
// is opened up through its own descriptor before its entries go; one owned by someone else is left
// as it is. A tree of any depth goes with a few descriptors open: the walk comes back up through
// "..", and only to the very folder it went down from. Names are bytes as the file system holds
// them, whatever their encoding.
class TreeRemover {
public:
    using MountSources = MountIdSources;

    // `stopRequested`, asked before each entry, ends the work there when it answers true: what
    // is left stays as it is.
    explicit TreeRemover(std::function<bool()> stopRequested = {}, MountSources mounts = {})
        : stopRequested_(std::move(stopRequested)), mounts_(mounts) {}

    // The open folder, ours and on the tree's mount, that entries below the folder given to
    // `removeEntry` are moved into before they are deleted. Without one, only what lies directly
    // in that folder goes. Entries of one folder go into a slot of their own in it, a folder named
    // by a number, and before the first goes, a record beside the slot ("<slot>.origin") names
    // the folder they came from, so that what a killed emptying left there can go back. `note`,
    // given the folder passed to `removeEntry` and the entry's name there, adds its own lines.
    void setAsideFolder(int folder, std::function<QByteArray(int parent, const QByteArray& top)> note = {}) {
        aside_ = folder;
        note_ = std::move(note);
    }
    // Asked, with the folder given to `removeEntry`, before anything below it is deleted: once it
    // answers false (that folder is no longer the one it was taken for), nothing more goes and
    // `lostHold` tells.
    void setGuard(std::function<bool(int parent)> guard) { guard_ = std::move(guard); }
    // Asks the guard about `parent`, for a deletion made without the remover; false once it
    // answered false.
    bool held(int parent);
    bool lostHold() const { return lostHold_; }

    // A slot's record: the identity of the folder its entries came from, the way to that folder
    // from the folder passed to `removeEntry` (its first name being the entry given there), and
    // the lines the note added.
    struct Record {
        dev_t device = 0;
        ino_t inode = 0;
        QByteArrayList way;
        QByteArrayList noted;
    };
    static QByteArray recordName(const QByteArray& slot) { return slot + ".origin"; }
    // The record of `slot` in the open aside folder; none when it is missing, not a regular file
    // of ours, or unreadable.
    static std::optional<Record> readRecord(int aside, const QByteArray& slot);
    // Called after an entry was moved aside and before the way to its folder (or the guard) is
    // checked: for a test that moves the folder at that instant.
    void setAfterSettingAside(std::function<void()> hook) { afterSettingAside_ = std::move(hook); }

    // The names in the open folder `folder`, read to the end before any of them is deleted, so
    // that deleting cannot make the listing skip an entry; none when it cannot be read. A folder
    // of ours that we may not write to is opened up first, through this descriptor.
    static std::optional<std::vector<QByteArray>> contentsOf(int folder);
    // Deletes the entry `name` of the open folder `parent`, a folder with everything in it. True
    // when it is gone (or was not there).
    bool removeEntry(int parent, const QByteArray& name);

    // The names, as given to `removeEntry`, of the first entries that stayed,
    // and how many stayed in all.
    const QByteArrayList& stayed() const { return stayed_; }
    int stayedCount() const { return stayedCount_; }
    // Whether a stop was asked for; once it was, nothing more goes.
    bool stopping();
    // Removes the slot that entries straight in a folder given to `removeEntry` pass through, once
    // it is empty; called when the work is done.
    void releaseSlots() { releaseSlot(topSlot_); }

    // Opens the folder `name` of `parent` for reading without following a link: -1, errno set,
    // when it is a link, not a folder, or cannot be opened. A folder of ours that we may not read
    // is opened up first, through a descriptor of that very folder, never through its name.
    int openFolder(int parent, const char* name) const;

    // Where a folder lies: its file system and inode, and the mount it is reached through.
    struct Place {
        dev_t device = 0;
        ino_t inode = 0;
        std::uint64_t mount = 0;
        bool operator==(const Place&) const = default;
        bool sameMount(const Place& other) const { return device == other.device && mount == other.mount; }
    };
    // Where the open `descriptor` lies; none where it cannot be read or its mount cannot be told.
    std::optional<Place> placeOf(int descriptor, mode_t* mode = nullptr, uid_t* owner = nullptr) const;

private:
    static constexpr int kNamesKept = 3;

    // A folder on the way down, with what is left in it to delete.
    struct Level {
        QByteArray name;
        Place place;
        std::vector<QByteArray> left;
        bool complete = true;
        QByteArray slot; // in the aside folder, once an entry of this folder went there
    };

    int openFolderWithin(int parent, const char* name, const Place* within) const;
    bool removeAt(int parent, const Place& top, const QByteArray& name);
    bool removeFolder(int parent, const Place& top, const QByteArray& name);
    int enter(int parent, const Place& top, const QByteArray& name, std::vector<Level>& levels) const;
    // Whether the open `folder`, the last of `levels`, is still inside `parent`, each folder of
    // `levels` in the one before it and the first in `parent`.
    bool stillUnder(int parent, const std::vector<Level>& levels, int folder) const;
    enum class Discarded { gone, stayed, movedOut };
    // Deletes the entry `name` of the open `folder`, the last of `levels` (`parent` itself when
    // there are none), with `unlinkat`'s `flags`: moved aside first, deleted once the way down is
    // checked again, else put back into `folder` wherever it now is.
    Discarded discard(int parent, std::vector<Level>& levels, int folder, const QByteArray& name, int flags);
    void putBack(int parent, int folder, const QByteArray& name, const QByteArray& aside);
    // Makes a slot for entries of the folder at `place`, reached by `way` from `parent`, its record
    // first; empty when either cannot be made.
    QByteArray openSlot(int parent, const Place& place, const QByteArrayList& way);
    // Removes `slot` and its record once nothing is left in the slot, and forgets it.
    void releaseSlot(QByteArray& slot);
    void noteStayed(const QByteArray& name);

    std::function<bool()> stopRequested_;
    MountSources mounts_;
    int aside_ = -1;
    quint64 asideCount_ = 0;
    std::function<void()> afterSettingAside_;
    std::function<QByteArray(int, const QByteArray&)> note_;
    std::function<bool(int)> guard_;
    QByteArray topSlot_; // for entries straight in `topParent_`
    int topParent_ = -1;
    bool lostHold_ = false;
    bool stopped_ = false;
    QByteArrayList stayed_;
    int stayedCount_ = 0;
};

} // namespace vantrel
