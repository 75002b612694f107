#pragma once

#include "platform/Screens.h"
#include "platform/WindowList.h"

#include <QRect>
#include <vector>

namespace vantrel::DockOcclusionDetector {

// The frames of the windows that can cover the Dock: other programs' ordinary windows larger than
// 200 by 200 points. `ownProcessId` is ours: our own windows never cover the Dock.
std::vector<QRect> onScreenWindowRects(const std::vector<WindowListEntry>& windows, qint64 ownProcessId);

// The frames of other programs' windows that are in full screen.
std::vector<QRect> fullScreenWindowRects(const std::vector<WindowListEntry>& windows, qint64 ownProcessId);

// Whether some window intersects the Dock's frame while being at least 94 % as wide and 90 % as
// tall as the screen. All frames in the screens' coordinates.
bool isCovered(const QRect& dockRect, const ScreenInfo& screen, const std::vector<QRect>& windows);

// Whether one of `fullScreenWindows` stands on `screen` (its centre lies on the screen).
bool isInFullScreen(const ScreenInfo& screen, const std::vector<QRect>& fullScreenWindows);

} // namespace vantrel::DockOcclusionDetector
