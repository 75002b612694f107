#pragma once

#include <QRect>
#include <QString>
#include <QtGlobal>
#include <vector>

namespace vantrel {

// One window that is on screen, as the desktop's window list describes it.
struct WindowListEntry {
    // Ordinary application windows; the desktop's own bars and docks sit above them.
    static constexpr int kNormalLayer = 0;
    static constexpr int kUtilityLayer = 3;
    static constexpr int kDockLayer = 20;

    quint32 id = 0;
    qint64 processId = 0; // 0 when the window does not say
    QString ownerName;    // the program's class name
    QRect frame;          // in the screens' coordinates, y growing downwards
    int layer = kNormalLayer;
    bool isFullScreen = false;
    bool operator==(const WindowListEntry&) const = default;
};

// The windows on screen, bottom to top. Reading it costs a round trip per window, so callers
// read it off the main thread: an instance is used by one thread at a time (the one that reads
// it), never by two at once.
class WindowList {
public:
    virtual ~WindowList() = default;
    // The mapped, not minimised windows; the desktop's background windows are left out. Empty when
    // the list cannot be read.
    virtual std::vector<WindowListEntry> onScreenWindows() = 0;
};

} // namespace vantrel
