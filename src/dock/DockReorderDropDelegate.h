#pragma once

#include "dock/DockShortcut.h"

#include <QString>
#include <functional>
#include <optional>

class QMimeData;

namespace vantrel {

class DockContentStore;

// The drop handling behind reordering pinned tiles: entering another pinned tile moves the
// dragged item there at once; a drop ends the drag.
class DockReorderDropDelegate {
public:
    // The Dock's own drag type; its data is the dragged item's UUID.
    static inline const QString kMimeType = QStringLiteral("application/x-vantrel-dock-item");

    DockReorderDropDelegate(DockShortcut item, DockContentStore& content,
                            std::optional<DockShortcut>& dragging, std::function<void()> playControlsHaptic);

    // What a pinned tile's drag carries: the UUID in the Dock's own type and as plain text.
    static QMimeData* mimeData(const DockShortcut& item);
    // Only the Dock's own drag of the item being dragged reorders; anything else is refused.
    static bool accepts(const QMimeData& data, const std::optional<DockShortcut>& dragging);

    // The drag entered this tile: moves the dragged item onto it; a move plays the haptic.
    void dropEntered();
    // The drop: ends the drag, plays the haptic; accepted.
    bool performDrop();

private:
    DockShortcut item_;
    DockContentStore& content_;
    std::optional<DockShortcut>& dragging_;
    std::function<void()> haptic_;
};

} // namespace vantrel
