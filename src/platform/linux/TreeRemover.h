#pragma once

#include <QByteArray>
#include <QByteArrayList>
#include <sys/types.h>

namespace vantrel {

// Deletes what lies under a folder we do not own outright (the Trash) through directory
// descriptors only. Every step opens relative to its parent without following a symbolic link, so
// a link is removed itself and never followed, and nothing outside the folder is touched even when
// its entries are swapped while we work. A folder of ours that is read-only or closed is opened up
// through its own descriptor before its entries go; one owned by someone else is left as it is.
// Names are bytes as the file system holds them, whatever their encoding.
class TreeRemover {
public:
    // Every level below the folder holds a descriptor open; a tree nested deeper than this stays.
    static constexpr int kMaxDepth = 256;

    // Deletes every entry of the open folder `folder`; the folder itself stays. True when nothing
    // stays.
    bool removeContents(int folder);
    // Deletes the entry `name` of the open folder `parent`, a folder with everything in it. True
    // when it is gone (or was not there).
    bool removeEntry(int parent, const QByteArray& name);

    // The names, as given to `removeEntry` or found in the folder given to `removeContents`, of
    // the first entries that stayed, and how many stayed in all.
    const QByteArrayList& stayed() const { return stayed_; }
    int stayedCount() const { return stayedCount_; }

    // Opens the folder `name` of `parent` for reading without following a link: -1, errno set,
    // when it is a link, not a folder, or cannot be opened. A folder of ours that we may not read
    // is opened up first, through a descriptor of that very folder, never through its name.
    static int openFolder(int parent, const char* name);

private:
    static constexpr int kNamesKept = 3;

    bool removeAt(int parent, const char* name, dev_t device, int depth);
    bool clear(int folder, int depth, bool report);
    void noteStayed(const QByteArray& name);

    QByteArrayList stayed_;
    int stayedCount_ = 0;
};

} // namespace vantrel
