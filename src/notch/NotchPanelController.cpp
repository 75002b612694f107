#include "notch/NotchPanelController.h"

#include "core/VantrelDiagnostics.h"
#include "core/VantrelHaptics.h"
#include "core/VantrelPreferences.h"
#include "kit/VantrelMotion.h"
#include "kit/VantrelPanel.h"
#include "notch/NotchPanelShape.h"
#include "notch/NotchPresentationTier.h"
#include "notch/NotchSurfaceView.h"
#include "platform/EventMonitors.h"
#include "platform/SetIfChanged.h"

#include <QApplication>
#include <QKeyEvent>
#include <QPropertyAnimation>
#include <QVariantAnimation>
#include <QWindow>
#include <cmath>

namespace vantrel {

namespace {

QEasingCurve cubicCurve(double x1, double y1, double x2, double y2) {
    QEasingCurve curve(QEasingCurve::BezierSpline);
    curve.addCubicBezierSegment(QPointF(x1, y1), QPointF(x2, y2), QPointF(1, 1));
    return curve;
}

// The way rectangles are written into the diagnostics: "(x, y, width, height)".
QString describe(const QRectF& rect) {
    return QStringLiteral("(%1, %2, %3, %4)")
        .arg(QString::number(rect.x()), QString::number(rect.y()), QString::number(rect.width()),
             QString::number(rect.height()));
}

QString describe(bool value) {
    return value ? QStringLiteral("true") : QStringLiteral("false");
}

// Frames count as equal when no edge is half a point or more apart.
bool differs(const QRectF& a, const QRectF& b) {
    return std::abs(a.x() - b.x()) >= 0.5 || std::abs(a.y() - b.y()) >= 0.5 ||
           std::abs(a.width() - b.width()) >= 0.5 || std::abs(a.height() - b.height()) >= 0.5;
}

} // namespace

NotchPanelController::NotchPanelController(Dependencies dependencies, const NotchSurfaceContext& surface,
                                           QObject* parent)
    : QObject(parent), deps_(std::move(dependencies)), surface_(surface),
      notificationIndicator_(new NotificationIndicatorPanelController(deps_.indicator, this)) {
    connect(&deps_.screens, &Screens::screensChanged, this,
            [this] { restorePersistentPanel(QStringLiteral("screen-parameters")); });
    connect(&deps_.screens, &Screens::activeWorkspaceChanged, this,
            [this] { restorePersistentPanel(QStringLiteral("active-space")); });
    // Whether the display has a notch is known whenever the screens are read, panel or not.
    connect(&deps_.displays, &DisplayCoordinator::activeEligibilityChanged, this, [this] {
        if (const auto& active = deps_.displays.activeEligibility())
            updateGeometry(*active);
        else
            setHasPhysicalNotch(false);
    });
    deps_.displays.refreshActiveDisplay();
    if (qApp)
        connect(qApp, &QGuiApplication::focusWindowChanged, this, &NotchPanelController::focusWindowChanged);
    // Watched all along, so that the first click after the panel took the keys is seen: the
    // desktop starts reporting a while after it is asked.
    if (deps_.clicks) {
        const QPointer<NotchPanelController> self(this);
        clickMonitor_ = deps_.clicks->addGlobalMonitor(
            InputEventType::leftMouseDown | InputEventType::rightMouseDown, [self](const InputEvent&) {
                if (self) self->clickedSomewhere();
            });
    }
}

NotchPanelController::~NotchPanelController() {
    if (clickMonitor_ && deps_.clicks) deps_.clicks->removeMonitor(clickMonitor_);
    delete maskAnimation_;
    delete frameAnimation_;
    delete panel_;
}

void NotchPanelController::setNotificationIndicator(NotificationIndicatorPanelController* indicator) {
    indicator->setParent(this);
    delete notificationIndicator_;
    notificationIndicator_ = indicator;
}

QWidget* NotchPanelController::makeSurfaceView() {
    return new NotchSurfaceView(*this, surface_, deps_.motion.appearance());
}

void NotchPanelController::show() {
    if (panel_) {
        reposition(false);
        return;
    }
    auto* panel = new VantrelPanel(deps_.inputFocus);
    panel->setObjectName(QStringLiteral("vantrel.notch"));
    panel->setWindowTitle(QStringLiteral("Vantrel Notch"));
    panel->setContentView(makeSurfaceView());
    panel->setCompositorState(deps_.compositor);
    panel->setStacking(deps_.stacking);
    panel->setBackdropBlur(deps_.backdropBlur);
    // Escape reaches the panel when nothing inside it takes the key.
    panel->installEventFilter(this);
    connect(panel, &VantrelPanel::keyRequested, this, &NotchPanelController::keyRequested);
    panel_ = panel;
    reposition(false);
}

bool NotchPanelController::eventFilter(QObject* watched, QEvent* event) {
    // A panel opened from the keyboard holds the keys, and no pointer may ever leave it to close
    // it: Escape closes it and hands the keys back.
    // The key is looked at first: the panel hears events while it is being destroyed too, when
    // it can no longer be compared as a panel.
    if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape &&
        watched == panel_ && targetExpanded_ && panel_->isKey()) {
        collapse();
        // The pointer resting on the notch would open it again at once. The desktop even reports
        // it leaving and entering as the outline shrinks and the window takes its closed frame,
        // so only a leave that finds it off the notch counts.
        hoverHeldOff_ = pointerOnNotch();
        return true;
    }
    return QObject::eventFilter(watched, event);
}

void NotchPanelController::hide() {
    ++presentationGeneration_;
    // Gone from under the pointer: no leave will be reported.
    hoverHeldOff_ = false;
    notificationIndicator_->orderOutPanel();
    collapseWork_.cancel();
    hoverExpandWork_.cancel();
    transitionWork_.cancel();
    resetPresentationLayer();
    stopFrameAnimation();
    if (panel_) {
        VantrelPanel* panel = panel_;
        panel_ = nullptr;
        panel->orderOut();
        // Later: hide() may run inside one of the panel's own event handlers.
        panel->deleteLater();
    }
    visibleDisplayID_.reset();
    targetExpanded_ = false;
    setHoldsKeys(false);
    setExpanded(false);
}

void NotchPanelController::expand(std::optional<NotchTab> tab, bool takeFocus) {
    hoverHeldOff_ = false;
    collapseWork_.cancel();
    hoverExpandWork_.cancel();
    keysBackWork_.cancel();
    if (tab) setSelectedTab(*tab);
    if (!targetExpanded_) {
        targetExpanded_ = true;
        // Every call that sets out to open plays the pulse, before the panel is presented.
        deps_.haptics.play(HapticSurface::notch);
        animatePresentation(true);
    }
    // Opened over whatever window rose over the panel since it was shown.
    if (panel_ && panel_->isVisible()) panel_->orderFront();
    if (takeFocus && panel_ && panel_->isVisible()) {
        panel_->makeKey();
        setHoldsKeys(true);
    }
}

void NotchPanelController::collapse() {
    close(true);
}

void NotchPanelController::close(bool handKeysBack) {
    collapseWork_.cancel();
    hoverExpandWork_.cancel();
    if (!targetExpanded_) return;
    targetExpanded_ = false;
    setHoldsKeys(false);
    // The window the user typed in before the panel took the keyboard gets it back.
    if (panel_ && handKeysBack) panel_->resignKey();
    if (deps_.preferences.interfaceHapticsEnabled())
        deps_.hapticPerformer.perform(HapticFeedbackPattern::alignment);
    animatePresentation(false);
}

void NotchPanelController::setHoldsKeys(bool holds) {
    if (!holds) heldFocus_ = false;
    if (holds && panel_ && panel_->isKey()) heldFocus_ = true;
    holdsKeys_ = holds;
}

void NotchPanelController::keyRequested() {
    // The panel does not activate the program but becomes the key window when clicked, anywhere
    // while it is open; a closed or closing one stays out of the way.
    if (!panel_ || !targetExpanded_ || (holdsKeys_ && panel_->isKey())) return;
    expand(std::nullopt, true);
}

bool NotchPanelController::opensOverPanel(const QWindow* window) const {
    const QWindow* own = panel_ ? panel_->windowHandle() : nullptr;
    if (!own) return false;
    if (window) {
        for (const QWindow* above = window->transientParent(); above; above = above->transientParent())
            if (above == own) return true;
        return false;
    }
    for (const QWidget* widget = QApplication::activeModalWidget(); widget; widget = widget->parentWidget())
        if (widget == panel_) return true;
    return false;
}

void NotchPanelController::focusWindowChanged(QWindow* window) {
    if (!holdsKeys_ || !panel_ || !targetExpanded_) return;
    if (window && window == panel_->windowHandle()) {
        heldFocus_ = true;
        return;
    }
    // A menu opened from the panel takes the keys only while it is open, and so does a chooser
    // opened over it, after which the panel takes them back from wherever the desktop put them.
    if (!heldFocus_ || QApplication::activePopupWidget() ||
        (window && (window->type() == Qt::Popup || window->type() == Qt::ToolTip)) ||
        opensOverPanel(window) || panel_->isReclaimingKey())
        return;
    // Another window was activated, by the user's click or the desktop: the keys stay there.
    collapse();
}

void NotchPanelController::clickedSomewhere() {
    if (!holdsKeys_ || !panel_ || !targetExpanded_) return;
    // A menu open over the panel takes its own clicks, and closes on one outside it.
    if (QApplication::activePopupWidget()) return;
    // A click on one of the program's own windows is that window's: the panel's, or another that
    // takes the focus from the panel, which closes it with the keys left there. Anywhere else,
    // the desktop or a window that takes no focus, the panel closes as on Escape.
    if (QApplication::topLevelAt(deps_.screens.pointerLocation())) return;
    // A window clicked into takes the keys as the window manager activates it: handed back at
    // once, they would be taken from it. The desktop and windows that take no focus leave them
    // with the panel, which hands them back as on Escape once the manager has had its say.
    close(false);
    const QPointer<VantrelPanel> panel(panel_);
    keysBackWork_ = ScheduledTask(deps_.scheduler, deps_.scheduler.schedule(Seconds(kKeysBackDelay), [panel] {
        if (panel) panel->resignKey();
    }));
}

void NotchPanelController::scheduleHoverExpand() {
    if (targetExpanded_ || hoverHeldOff_) return;
    hoverExpandWork_.cancel();
    const NotchResponsiveness responsiveness = deps_.preferences.notchResponsiveness();
    if (responsiveness == NotchResponsiveness::instant) {
        expand(std::nullopt, false);
        return;
    }
    const double delay =
        responsiveness == NotchResponsiveness::balanced ? kBalancedHoverDelay : kCarefulHoverDelay;
    QPointer<NotchPanelController> self(this);
    hoverExpandWork_ = ScheduledTask(deps_.scheduler, deps_.scheduler.schedule(Seconds(delay), [self] {
        if (self) self->expand(std::nullopt, false);
    }));
}

void NotchPanelController::scheduleCollapse() {
    collapseWork_.cancel();
    switch (deps_.preferences.notchCollapseBehavior()) {
    case NotchCollapseBehavior::immediate:
        collapse();
        return;
    case NotchCollapseBehavior::shortDelay: {
        QPointer<NotchPanelController> self(this);
        collapseWork_ =
            ScheduledTask(deps_.scheduler, deps_.scheduler.schedule(Seconds(kCollapseDelay), [self] {
                if (self) self->collapse();
            }));
        return;
    }
    case NotchCollapseBehavior::manual:
        return;
    }
}

void NotchPanelController::cancelPendingCollapse() {
    collapseWork_.cancel();
}

void NotchPanelController::cancelPendingHoverExpand() {
    hoverExpandWork_.cancel();
}

void NotchPanelController::pointerLeft() {
    if (hoverHeldOff_ && !pointerOnNotch()) hoverHeldOff_ = false;
}

bool NotchPanelController::pointerOnNotch() const {
    return lastLayout_ && lastLayout_->compactFrame.contains(QPointF(deps_.screens.pointerLocation()));
}

void NotchPanelController::setSelectedTab(NotchTab tab) {
    const NotchTab old = selectedTab_;
    if (tab != old) {
        selectedTab_ = tab;
        Q_EMIT selectedTabChanged(tab);
    }
    if (!targetExpanded_ || tab == old) return;
    deps_.haptics.play(HapticSurface::controls);
    if (presentationTier(tab) != presentationTier(old)) reposition(true);
}

std::optional<NotchPanelController::ResolvedLayout> NotchPanelController::resolveLayout() {
    const std::optional<DisplayCoordinator::ActiveDisplay> active = deps_.displays.refreshActiveDisplay();
    if (!active) return std::nullopt;
    updateGeometry(active->eligibility);
    if (!active->eligibility.hasPhysicalNotch) return std::nullopt;

    const double w = hardwareNotchWidth_;
    const double h = topBridgeHeight_;
    const QSizeF compact =
        w > VantrelDisplayEligibility::kMinimumNotchWidth && h > 0 ? QSizeF(w, h) : QSizeF(0, 0);
    const NotchSize size = deps_.preferences.notchSize();
    const QSize wanted = expanded(size, presentationTier(selectedTab_));
    const QRect visible = active->screen.visibleFrame;
    const double width = std::min<double>(wanted.width(), visible.width() - 32);
    const double height = std::min<double>(wanted.height(), std::max(visible.height() - 40.0, 1.0));

    const double x0 = notchAnchorX(active->screen, hasPhysicalNotch_);
    const double top = active->screen.frame.top();
    ResolvedLayout layout{active->screen,
                          active->eligibility,
                          compact,
                          QRectF(x0 - compact.width() / 2, top, compact.width(), compact.height()),
                          QRectF(x0 - width / 2, top, width, height),
                          x0};
    lastLayout_ = layout;
    return layout;
}

void NotchPanelController::updateGeometry(const VantrelDisplayEligibility& display) {
    setHasPhysicalNotch(display.hasPhysicalNotch);
    if (hardwareNotchWidth_ != display.notchWidth) {
        hardwareNotchWidth_ = display.notchWidth;
        Q_EMIT hardwareNotchWidthChanged(hardwareNotchWidth_);
    }
    if (topBridgeHeight_ != display.topSafeArea) {
        topBridgeHeight_ = display.topSafeArea;
        Q_EMIT topBridgeHeightChanged(topBridgeHeight_);
    }
}

double NotchPanelController::notchAnchorX(const ScreenInfo& screen, bool hasPhysicalNotch) {
    if (hasPhysicalNotch && screen.auxiliaryTopLeftArea && screen.auxiliaryTopRightArea)
        return (screen.auxiliaryTopLeftArea->right() + screen.auxiliaryTopRightArea->left()) / 2;
    return QRectF(screen.frame).center().x();
}

void NotchPanelController::reposition(bool animated) {
    std::optional<ResolvedLayout> layout;
    if (panel_) layout = resolveLayout();
    if (!layout) {
        hideForIneligibleDisplay();
        return;
    }
    const bool presenting = transitionWork_.isActive() ||
                            (maskAnimation_ && maskAnimation_->state() == QAbstractAnimation::Running);
    if (presenting) {
        animatePresentation(targetExpanded_);
        return;
    }
    resetPresentationLayer();
    setExpanded(targetExpanded_);
    const QRectF frame = targetExpanded_ ? layout->expandedFrame : layout->compactFrame;
    const quint32 display = layout->eligibility.id;
    if (visibleDisplayID_ != display) {
        // Arriving on a display is never animated.
        setFrame(frame);
        visibleDisplayID_ = display;
    } else if (animated) {
        stopFrameAnimation();
        auto* animation = new QPropertyAnimation(panel_, "frame", this);
        VantrelAnimation{cubicCurve(0.24, 0.76, 0.22, 1.0),
                         deps_.motion.prefersReducedMotion() ? kReducedFrameDuration : kFrameDuration}
            .applyTo(*animation);
        animation->setStartValue(panel_->geometry());
        animation->setEndValue(frame.toRect());
        connect(animation, &QVariantAnimation::valueChanged, this, &NotchPanelController::applyOutline);
        frameAnimation_ = animation;
        animation->start(QAbstractAnimation::DeleteWhenStopped);
    } else {
        setFrame(frame);
    }
    if (!panel_->isVisible()) panel_->orderFront();
    placeIndicator(*layout);
    applyOutline();
    deps_.diagnostics.record(DiagnosticsCategory::notchFrame,
                             QStringLiteral("panel=%1 display=%2 expanded=%3 frame=%4")
                                 .arg(windowNumber())
                                 .arg(display)
                                 .arg(describe(targetExpanded_), describe(frame)));
}

bool NotchPanelController::animatePresentation(bool expanding) {
    std::optional<ResolvedLayout> layout;
    if (panel_) layout = resolveLayout();
    if (!layout) {
        targetExpanded_ = false;
        setHoldsKeys(false);
        setExpanded(false);
        if (panel_) hideForIneligibleDisplay();
        return false;
    }
    collapseWork_.cancel();
    hoverExpandWork_.cancel();
    transitionWork_.cancel();
    const qint64 generation = ++presentationGeneration_;

    // What is on screen now, part-way through a running animation included.
    const std::optional<MaskShape> current = presentationMask();
    const QRectF frame(panel_->geometry());
    const bool atCompactSize = std::abs(frame.width() - layout->compactFrame.width()) < 0.5 &&
                               std::abs(frame.height() - layout->compactFrame.height()) < 0.5;
    delete maskAnimation_;
    stopFrameAnimation();
    const bool onThisDisplay = visibleDisplayID_ == layout->eligibility.id;
    if (differs(frame, layout->expandedFrame)) setFrame(layout->expandedFrame);
    if (expanding) setExpanded(true);
    if (!onThisDisplay) visibleDisplayID_ = layout->eligibility.id;
    if (!panel_->isVisible()) panel_->orderFront();

    const double compactRadius = NotchPanelShape::compactRadius(layout->compactSize.height());
    const double expandedRadius =
        NotchPanelShape::expandedRadius(layout->expandedFrame.height(), layout->compactSize.height());
    const MaskShape compact{layout->compactSize, compactRadius};
    const MaskShape open{layout->expandedFrame.size(), expandedRadius};
    const MaskShape start = current ? *current : (expanding && atCompactSize ? compact : open);
    const MaskShape target = expanding ? open : compact;
    maskStart_ = start;
    maskModel_ = target;

    const double duration = presentationDuration();
    auto* animation = new QVariantAnimation(this);
    animation->setStartValue(0.0);
    animation->setEndValue(1.0);
    VantrelAnimation::easeInOut(duration).applyTo(*animation);
    connect(animation, &QVariantAnimation::valueChanged, this, &NotchPanelController::applyOutline);
    maskAnimation_ = animation;
    animation->start(QAbstractAnimation::DeleteWhenStopped);
    applyOutline();

    deps_.diagnostics.record(
        DiagnosticsCategory::notchAnimation,
        QStringLiteral("panel=%1 start generation=%2 target=%3 edge-mask source=%4 destination=%5")
            .arg(windowNumber())
            .arg(generation)
            .arg(expanding ? u"expanded" : u"compact")
            .arg(describe(QRectF(QPointF(0, 0), start.size)), describe(QRectF(QPointF(0, 0), target.size))));
    placeIndicator(*layout);

    QPointer<NotchPanelController> self(this);
    const ResolvedLayout finished = *layout;
    transitionWork_ = ScheduledTask(deps_.scheduler,
                                    deps_.scheduler.schedule(Seconds(duration), [self, generation, finished] {
                                        if (self) self->finishPresentation(generation, finished);
                                    }));
    return true;
}

void NotchPanelController::finishPresentation(qint64 generation, const ResolvedLayout& layout) {
    if (generation != presentationGeneration_ || !panel_) return;
    delete maskAnimation_;
    maskModel_.reset();
    if (targetExpanded_) {
        setExpanded(true);
    } else {
        setFrame(layout.compactFrame);
        setExpanded(false);
    }
    transitionWork_.cancel();
    applyOutline();
    deps_.diagnostics.record(DiagnosticsCategory::notchAnimation,
                             QStringLiteral("panel=%1 finish generation=%2 expanded=%3 frame=%4")
                                 .arg(windowNumber())
                                 .arg(generation)
                                 .arg(describe(targetExpanded_), describe(QRectF(panel_->geometry()))));
}

void NotchPanelController::resetPresentationLayer() {
    delete maskAnimation_;
    maskModel_.reset();
    applyOutline();
}

std::optional<NotchPanelController::MaskShape> NotchPanelController::presentationMask() const {
    if (!maskModel_) return std::nullopt;
    if (!maskAnimation_ || maskAnimation_->state() != QAbstractAnimation::Running) return maskModel_;
    const double t = maskAnimation_->currentValue().toDouble();
    const auto mix = [t](double from, double to) { return from + (to - from) * t; };
    return MaskShape{QSizeF(mix(maskStart_.size.width(), maskModel_->size.width()),
                            mix(maskStart_.size.height(), maskModel_->size.height())),
                     mix(maskStart_.radius, maskModel_->radius)};
}

void NotchPanelController::applyOutline() {
    if (!panel_) return;
    if (const std::optional<MaskShape> mask = presentationMask()) {
        // The mask hangs from the top centre of the panel.
        const double x = (panel_->width() - mask->size.width()) / 2;
        QPainterPath outline =
            NotchPanelShape::roundedOutline(QRectF(QPointF(x, 0), mask->size), mask->radius);
        // The open look is drawn within its own outline. Were the band beside the neck to take
        // the pointer while the mask passes over it, a pointer resting there would enter as the
        // panel closes, open it again, leave when it has opened, and so on without end.
        if (isExpanded_) outline = outline.intersected(expandedOutline());
        panel_->setOutline(outline);
        return;
    }
    // At rest the window shows, and takes the pointer, only where the surface draws: the open
    // outline with its neck under the notch, or the cap with its square top corners. Clicks and
    // hovers beside them reach whatever lies below.
    if (isExpanded_) {
        panel_->setOutline(expandedOutline());
        return;
    }
    const double compactHeight = lastLayout_ ? lastLayout_->compactSize.height() : 0;
    panel_->setOutline(
        NotchPanelShape::compactOutline(panel_->size(), NotchPanelShape::compactRadius(compactHeight)));
}

QPainterPath NotchPanelController::expandedOutline() const {
    return NotchPanelShape::expandedOutline(
        panel_->size(), NotchExpandedShape{hasPhysicalNotch_, hardwareNotchWidth_, topBridgeHeight_});
}

void NotchPanelController::hideForIneligibleDisplay() {
    hoverHeldOff_ = false;
    collapseWork_.cancel();
    hoverExpandWork_.cancel();
    resetPresentationLayer();
    ++presentationGeneration_;
    transitionWork_.cancel();
    stopFrameAnimation();
    targetExpanded_ = false;
    setHoldsKeys(false);
    setExpanded(false);
    setHasPhysicalNotch(false);
    if (panel_) panel_->orderOut();
    notificationIndicator_->orderOutPanel();
    visibleDisplayID_.reset();
    deps_.diagnostics.record(DiagnosticsCategory::notchIntent,
                             QStringLiteral("hidden: active display has no physical notch"));
}

void NotchPanelController::restorePersistentPanel(const QString& reason) {
    if (!panel_) {
        deps_.displays.refreshActiveDisplay();
        return;
    }
    const quint64 number = windowNumber();
    reposition(false);
    if (!panel_) return;
    if (!panel_->isVisible() && hasPhysicalNotch_) panel_->orderFront();
    deps_.diagnostics.record(
        DiagnosticsCategory::notchFrame,
        QStringLiteral("panel=%1 retained reason=%2 visible=%3 frame=%4")
            .arg(number)
            .arg(reason, describe(panel_->isVisible()), describe(QRectF(panel_->geometry()))));
}

void NotchPanelController::placeIndicator(const ResolvedLayout& layout) {
    if (notificationIndicator_->shouldShow())
        notificationIndicator_->placePanel(NotificationIndicatorPanelController::dotFrame(
            layout.notchCenter, layout.compactSize.width(), layout.screen.frame.top()));
    else if (notificationIndicator_->panel())
        notificationIndicator_->orderOutPanel();
}

void NotchPanelController::setFrame(const QRectF& frame) {
    stopFrameAnimation();
    panel_->setFrame(frame.toRect());
    applyOutline();
}

void NotchPanelController::stopFrameAnimation() {
    delete frameAnimation_;
}

void NotchPanelController::setExpanded(bool expanded) {
    setIfChanged(this, isExpanded_, expanded, &NotchPanelController::isExpandedChanged);
}

void NotchPanelController::setHasPhysicalNotch(bool value) {
    setIfChanged(this, hasPhysicalNotch_, value, &NotchPanelController::hasPhysicalNotchChanged);
}

double NotchPanelController::presentationDuration() const {
    return deps_.motion.prefersReducedMotion() ? kReducedPresentationDuration : kPresentationDuration;
}

quint64 NotchPanelController::windowNumber() const {
    return panel_ ? static_cast<quint64>(panel_->winId()) : 0;
}

} // namespace vantrel
