#include "platform/linux/QtScreens.h"

#include <QCursor>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

namespace vantrel {

namespace {
std::optional<ScreenInfo> describe(const QScreen* screen) {
    if (!screen) return std::nullopt;
    return ScreenInfo{screen->name(), screen->geometry(), screen->availableGeometry()};
}
} // namespace

std::optional<ScreenInfo> QtScreens::mainScreen() const {
    return describe(QGuiApplication::primaryScreen());
}

std::optional<ScreenInfo> QtScreens::screenOf(const QWidget& window) const {
    // A window that was never shown has no native window yet and so no screen of its own.
    if (!window.window()->windowHandle()) return std::nullopt;
    return describe(window.screen());
}

std::optional<ScreenInfo> QtScreens::screenAtPointer() const {
    return describe(QGuiApplication::screenAt(QCursor::pos()));
}

} // namespace vantrel
