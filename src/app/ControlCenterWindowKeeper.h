#pragma once

#include "platform/Scheduler.h"
#include "platform/Screens.h"

#include <QObject>
#include <QPointer>
#include <QRect>
#include <QSize>
#include <functional>

class QWidget;

namespace vantrel {

// Keeps the control-center window inside the visible frame of its screen, less a margin and less
// the band of a camera housing at the top: each time the window is shown, once the window manager
// has placed and framed it, and whenever the screens change while it shows. The first time it
// shows, the screen is the one in use (the pointer's), and a placement the window manager already
// made inside it is kept. A maximized or full-screen window is the window manager's alone: it is
// never moved, so that the window manager gives back the size it had when it is restored. A window
// that cannot fit its screen keeps its title bar at the top of the screen's usable frame.
class ControlCenterWindowKeeper final : public QObject {
    Q_OBJECT
public:
    // The window's frame with the decorations the window manager draws around it; its own
    // geometry while the window manager has framed it not yet, or not at all.
    using FrameReader = std::function<QRect(const QWidget& window)>;
    // How long a shown window waits to be framed before it is kept on screen as it stands: where
    // no window manager runs, nothing ever frames it.
    static constexpr double kPlacementWait = 1.0;

    // Told, each time before the window is fitted, the frame size its screen has room for (the
    // usable frame less the margins), so that its least size can give way on a smaller screen.
    using RoomListener = std::function<void(QSize room)>;

    ControlCenterWindowKeeper(Screens& screens, Scheduler& scheduler, double margin, FrameReader frameOf = {},
                              QObject* parent = nullptr);
    void setRoomListener(RoomListener listener) { roomListener_ = std::move(listener); }

    // Keeps `window` on screen from now on, in place of any earlier one. One not shown yet is
    // fitted at once; a shown one once it has been placed.
    // Watching the same window again changes nothing.
    void watch(QWidget& window);
    // Puts `window`, about to be shown for the first time, in the middle of the screen in use,
    // and watches it: placed before the window manager maps it, it is mapped on that screen.
    void placeFirst(QWidget& window);
    QWidget* window() const { return window_; }
    bool isAwaitingPlacement() const { return awaitingPlacement_; }

    // Where on `screen` the window may stand: its visible frame, below a camera housing's band,
    // whose clicks reach the notch rather than a title bar.
    static QRect usableFrame(const ScreenInfo& screen);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool isFramed(const QWidget& window) const;
    void awaitPlacement();
    void placed();
    enum class Placement { onItsScreen, onScreenInUse, centredOnScreenInUse };
    void keepOnScreen(Placement placement);

    Screens& screens_;
    Scheduler& scheduler_;
    double margin_;
    FrameReader frameOf_;
    RoomListener roomListener_;
    QPointer<QWidget> window_;
    bool awaitingPlacement_ = false;
    bool firstPlacement_ = true;
    ScheduledTask placementWait_;
    ScheduledTask screensCheck_;
};

} // namespace vantrel
