#include "app/ControlCenterWindowKeeper.h"

#include "control-center/ControlCenterLayoutPolicy.h"

#include <QEvent>
#include <QMargins>
#include <QWidget>
#include <algorithm>
#include <cmath>

namespace vantrel {

ControlCenterWindowKeeper::ControlCenterWindowKeeper(Screens& screens, Scheduler& scheduler, double margin,
                                                     FrameReader frameOf, QObject* parent)
    : QObject(parent), screens_(screens), scheduler_(scheduler), margin_(margin),
      frameOf_(std::move(frameOf)) {
    if (!frameOf_) frameOf_ = [](const QWidget& window) { return window.frameGeometry(); };
    connect(&screens_, &Screens::screensChanged, this, [this] {
        if (!window_ || !window_->isVisible() || awaitingPlacement_) return;
        // The desktop moves the windows off a screen that went only after announcing it: a turn
        // later the window's screen is the one it is on.
        screensCheck_ = ScheduledTask(scheduler_, scheduler_.schedule(Seconds(0), [this] {
            if (window_ && window_->isVisible() && !awaitingPlacement_) keepOnScreen(Placement::onItsScreen);
        }));
    });
}

void ControlCenterWindowKeeper::watch(QWidget& window) {
    // Already watched, the window is followed through its own events: placing it again here
    // would undo what the window manager or the user has just done to it.
    if (window_ == &window) return;
    if (window_) window_->removeEventFilter(this);
    window_ = &window;
    window.installEventFilter(this);
    firstPlacement_ = true;
    awaitingPlacement_ = false;
    placementWait_.cancel();
    // Not shown, the window is ours alone to place.
    if (!window.isVisible()) {
        keepOnScreen(Placement::onItsScreen);
        return;
    }
    if (isFramed(window))
        placed();
    else
        awaitPlacement();
}

void ControlCenterWindowKeeper::placeFirst(QWidget& window) {
    if (window_ && window_ != &window) window_->removeEventFilter(this);
    if (window_ != &window) window.installEventFilter(this);
    window_ = &window;
    awaitingPlacement_ = false;
    placementWait_.cancel();
    // A window the program moves after it was mapped is kept partly on the screen it was mapped
    // on by some window managers: once it is mapped, it is kept on the screen it is on.
    firstPlacement_ = false;
    keepOnScreen(Placement::centredOnScreenInUse);
}

QRect ControlCenterWindowKeeper::usableFrame(const ScreenInfo& screen) {
    QRect area = screen.visibleFrame;
    if (screen.topSafeAreaInset > 0 && screen.auxiliaryTopLeftArea && screen.auxiliaryTopRightArea)
        area.setTop(
            std::max(area.top(), screen.frame.top() + static_cast<int>(std::ceil(screen.topSafeAreaInset))));
    return area;
}

bool ControlCenterWindowKeeper::eventFilter(QObject* watched, QEvent* event) {
    if (watched != window_ || !window_) return false;
    switch (event->type()) {
    case QEvent::Show:
        // Placed anew by the window manager, which frames it again: checked once that is done.
        awaitPlacement();
        break;
    case QEvent::Move:
    case QEvent::Resize:
        if (awaitingPlacement_ && isFramed(*window_)) placed();
        break;
    default:
        break;
    }
    return false;
}

bool ControlCenterWindowKeeper::isFramed(const QWidget& window) const {
    return frameOf_(window) != window.geometry();
}

void ControlCenterWindowKeeper::awaitPlacement() {
    awaitingPlacement_ = true;
    placementWait_ =
        ScheduledTask(scheduler_, scheduler_.schedule(Seconds(kPlacementWait), [this] { placed(); }));
}

void ControlCenterWindowKeeper::placed() {
    awaitingPlacement_ = false;
    placementWait_.cancel();
    const bool first = firstPlacement_;
    firstPlacement_ = false;
    keepOnScreen(first ? Placement::onScreenInUse : Placement::onItsScreen);
}

void ControlCenterWindowKeeper::keepOnScreen(Placement placement) {
    QWidget* window = window_;
    if (!window) return;
    // Sized by the window manager, which also gives back the size the user had on restoring it.
    if (window->windowState() & (Qt::WindowMaximized | Qt::WindowFullScreen)) return;
    std::optional<ScreenInfo> screen =
        placement == Placement::onItsScreen ? screens_.screenOf(*window) : screens_.screenAtPointer();
    if (!screen) screen = screens_.mainScreen();
    if (!screen) return;
    // Sized to the whole screen or to its visible frame, the window is maximized or full screen,
    // whether or not the window manager has said so yet: it sizes a window before it says why.
    const QSize size = frameOf_(*window).size();
    const auto fills = [&size](QSize whole) {
        return std::abs(size.width() - whole.width()) <= 1 && std::abs(size.height() - whole.height()) <= 1;
    };
    if (fills(screen->frame.size()) || fills(screen->visibleFrame.size())) return;
    const QRectF area(usableFrame(*screen));
    const QRectF room = ControlCenterLayoutPolicy::constrainedWindowFrame(area, area, margin_);
    // The least size may change the window's size, so the frame is read only afterwards.
    if (roomListener_) roomListener_(room.size().toSize());
    const QRect frame = frameOf_(*window);
    QRectF start(frame);
    // Put on another screen than the one in use, the window goes to the middle of that one.
    if (placement == Placement::centredOnScreenInUse ||
        (placement == Placement::onScreenInUse && !screen->frame.contains(frame.center())))
        start.moveCenter(area.center());
    QRect target = ControlCenterLayoutPolicy::constrainedWindowFrame(start, area, margin_).toAlignedRect();
    // The window's own geometry is its frame less the decorations around it.
    const QRect geometry = window->geometry();
    const QMargins decorations(geometry.left() - frame.left(), geometry.top() - frame.top(),
                               frame.right() - geometry.right(), frame.bottom() - geometry.bottom());
    // A window that cannot shrink to the room left keeps its title bar at the top of the usable
    // frame, clear of the housing, and hangs off the far side only.
    const QSize least = window->minimumSize().grownBy(decorations);
    const QRect usable = area.toAlignedRect();
    if (least.width() > target.width()) {
        target.setWidth(least.width());
        target.moveLeft(std::max(usable.left(), std::min(target.left(), usable.right() + 1 - least.width())));
    }
    if (least.height() > target.height()) {
        target.setHeight(least.height());
        target.moveTop(std::max(usable.top(), std::min(target.top(), usable.bottom() + 1 - least.height())));
    }
    if (target == frame) return;
    window->setGeometry(target.marginsRemoved(decorations));
}

} // namespace vantrel
