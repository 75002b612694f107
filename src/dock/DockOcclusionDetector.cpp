#include "dock/DockOcclusionDetector.h"

namespace vantrel::DockOcclusionDetector {

std::vector<QRect> onScreenWindowRects(const std::vector<WindowListEntry>& windows, qint64 ownProcessId) {
    std::vector<QRect> rects;
    for (const WindowListEntry& window : windows) {
        if (window.layer != WindowListEntry::kNormalLayer) continue;
        if (ownProcessId != 0 && window.processId == ownProcessId) continue;
        if (window.frame.width() > 200 && window.frame.height() > 200) rects.push_back(window.frame);
    }
    return rects;
}

std::vector<QRect> fullScreenWindowRects(const std::vector<WindowListEntry>& windows, qint64 ownProcessId) {
    std::vector<QRect> rects;
    for (const WindowListEntry& window : windows) {
        if (ownProcessId != 0 && window.processId == ownProcessId) continue;
        if (window.isFullScreen) rects.push_back(window.frame);
    }
    return rects;
}

bool isCovered(const QRect& dockRect, const ScreenInfo& screen, const std::vector<QRect>& windows) {
    const double minimumWidth = screen.frame.width() * 0.94;
    const double minimumHeight = screen.frame.height() * 0.9;
    for (const QRect& window : windows) {
        if (window.intersects(dockRect) && window.width() >= minimumWidth && window.height() >= minimumHeight)
            return true;
    }
    return false;
}

bool isInFullScreen(const ScreenInfo& screen, const std::vector<QRect>& fullScreenWindows) {
    for (const QRect& window : fullScreenWindows)
        if (screen.frame.contains(window.center())) return true;
    return false;
}

} // namespace vantrel::DockOcclusionDetector
