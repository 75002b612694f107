#pragma once

#include "platform/Screens.h"

#include <functional>

namespace vantrel::test {

// A screen with a camera housing `notchWidth` wide centred at the top, its bands `band` tall.
inline ScreenInfo notchedScreen(quint32 id, QRect frame, double notchWidth, double band = 32,
                                std::optional<QRect> visible = std::nullopt) {
    ScreenInfo screen{QStringLiteral("screen-%1").arg(id), frame, visible.value_or(frame), id};
    const double side = (frame.width() - notchWidth) / 2;
    screen.auxiliaryTopLeftArea = QRectF(frame.left(), frame.top(), side, band);
    screen.auxiliaryTopRightArea = QRectF(frame.left() + side + notchWidth, frame.top(), side, band);
    screen.topSafeAreaInset = band;
    return screen;
}

inline ScreenInfo plainScreen(quint32 id, QRect frame) {
    return ScreenInfo{QStringLiteral("screen-%1").arg(id), frame, frame, id};
}

class FakeScreens final : public Screens {
    Q_OBJECT
public:
    FakeScreens() = default;
    FakeScreens(std::vector<ScreenInfo> screens, std::optional<ScreenInfo> mainScreen)
        : all(std::move(screens)), main(std::move(mainScreen)) {}

    std::vector<ScreenInfo> all; // every screen, in the system's order
    std::optional<ScreenInfo> main;
    std::optional<ScreenInfo> window;    // the screen any window is on
    QPoint pointer;                      // where the pointer is
    std::optional<ScreenInfo> atPointer; // the screen under the pointer
    Qt::MouseButtons buttons;            // the buttons held down
    // How often the pointer was read afresh, its latest reading taken, and the list of screens read.
    mutable int pointerReads = 0;
    mutable int recentReads = 0;
    mutable int screenListReads = 0;
    // Run at each read of the list, as a test's way to let time pass during a check.
    std::function<void()> onScreenListRead;

    std::vector<ScreenInfo> screens() const override {
        ++screenListReads;
        if (onScreenListRead) onScreenListRead();
        return all;
    }
    std::optional<ScreenInfo> mainScreen() const override { return main; }
    std::optional<ScreenInfo> screenOf(const QWidget&) const override { return window; }
    std::optional<ScreenInfo> screenAtPointer() const override { return atPointer; }
    QPoint pointerLocation() const override {
        ++pointerReads;
        return pointer;
    }
    std::optional<QPoint> recentPointerLocation() const override {
        ++recentReads;
        return pointer;
    }
    Qt::MouseButtons pressedMouseButtons() const override { return buttons; }

    // Replaces the screens and announces it, as the desktop does.
    void set(std::vector<ScreenInfo> screens, std::optional<ScreenInfo> mainScreen) {
        all = std::move(screens);
        main = std::move(mainScreen);
        Q_EMIT screensChanged();
    }
    void switchWorkspace() { Q_EMIT activeWorkspaceChanged(); }
};

} // namespace vantrel::test
