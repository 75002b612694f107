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
            if (window_ && window_->isVisible() && !awaitingPlacement_) keepOnScreen(false);
        }));
    });
}

void ControlCenterWindowKeeper::watch(QWidget& window) {
    if (window_ != &window) {
        if (window_) window_->removeEventFilter(this);
        window_ = &window;
        window.installEventFilter(this);
        firstPlacement_ = true;
        awaitingPlacement_ = false;
        placementWait_.cancel();
    }
    // Not shown, the window is ours alone to place.
    if (!window.isVisible()) {
        keepOnScreen(false);
        return;
    }
    if (isFramed(window))
        placed();
    else
        awaitPlacement();
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
    keepOnScreen(first);
}

void ControlCenterWindowKeeper::keepOnScreen(bool onScreenInUse) {
    QWidget* window = window_;
    if (!window) return;
    std::optional<ScreenInfo> screen =
        onScreenInUse ? screens_.screenAtPointer() : screens_.screenOf(*window);
    if (!screen) screen = screens_.mainScreen();
    if (!screen) return;
    const QRectF area(usableFrame(*screen));
    const QRect frame = frameOf_(*window);
    QRectF start(frame);
    // Put on another screen than the one in use, the window goes to the middle of that one.
    if (onScreenInUse && !screen->frame.contains(frame.center())) start.moveCenter(area.center());
    const QRect target =
        ControlCenterLayoutPolicy::constrainedWindowFrame(start, area, margin_).toAlignedRect();
    if (target == frame) return;
    // The window's own geometry is its frame less the decorations around it.
    const QRect geometry = window->geometry();
    const QMargins decorations(geometry.left() - frame.left(), geometry.top() - frame.top(),
                               frame.right() - geometry.right(), frame.bottom() - geometry.bottom());
    window->setGeometry(target.marginsRemoved(decorations));
}

} // namespace vantrel
