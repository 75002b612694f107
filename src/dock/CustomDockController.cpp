#include "dock/CustomDockController.h"

#include "core/VantrelPreferences.h"
#include "dock/DockContentStore.h"
#include "dock/DockOcclusionDetector.h"
#include "dock/FloatingDockPanel.h"
#include "dock/ProcessDockDefaultsClient.h"
#include "dock/SystemDockSuppressor.h"
#include "kit/VantrelMotion.h"
#include "platform/SetIfChanged.h"
#include "platform/UserDefaults.h"
#include "platform/WorkQueue.h"

#include <QCoreApplication>
#include <QEasingCurve>
#include <QVariantAnimation>
#include <algorithm>
#include <cmath>

namespace vantrel {

namespace {

const QString kSystemDockDomain = QStringLiteral("com.apple.dock");
constexpr double kSystemDockCommandTimeout = 4.0;

QString text(const char* utf8) {
    return QString::fromUtf8(utf8);
}

// How far above a screen's bottom edge the pointer still touches it.
constexpr int kEdgeBand = 5;

bool sameScreen(const std::optional<ScreenInfo>& a, const ScreenInfo& b) {
    return a && a->name == b.name;
}

} // namespace

CustomDockController::CustomDockController(Dependencies dependencies, QObject* parent)
    : QObject(parent), deps_(std::move(dependencies)) {
    // A restore left pending by an earlier run (switched off while it failed, or a crash) is the
    // truth about the system Dock until it has run.
    const bool pending = SystemDockProcess::hasPendingRestore(deps_.defaults.standard());
    isSystemDockSuppressed_ = pending;
    shouldVerifyInitialPendingSuppression_ = pending;
    connect(&deps_.screens, &Screens::screensChanged, this, [this] {
        stateChanged();
        followScreens();
    });
}

void CustomDockController::followScreens() {
    if (!panel_) return;
    // Gone with its screen, the Dock goes to the main screen rather than to wherever the desktop
    // left the window.
    if (dockScreenName_ && !knownDockScreen()) {
        if (const std::optional<ScreenInfo> main = deps_.screens.mainScreen())
            dockScreenName_ = main->name;
        else
            dockScreenName_.reset();
    }
    // During a slide this does nothing: the slide ends with a repositioning that finds the screens
    // as they are then.
    reposition();
}

CustomDockController::~CustomDockController() {
    // The slide and the timers call into the panel; they go first.
    delete slide_;
    behaviorTimer_.cancel();
    missionControlMonitor_.cancel();
}

void CustomDockController::show(VantrelPreferences& preferences, DockContentStore& content) {
    if (preferences_ != &preferences) {
        disconnect(preferencesConnection_);
        preferencesConnection_ =
            connect(&preferences, &VantrelPreferences::changed, this, [this] { stateChanged(); });
    }
    preferences_ = &preferences;
    contentStore_ = &content;
    wantsSystemDockSuppressed_ = true;
    if (shouldVerifyInitialPendingSuppression_) {
        // A suppression left over from an earlier run is applied again; its snapshot is kept.
        shouldVerifyInitialPendingSuppression_ = false;
        isSystemDockSuppressed_ = false;
    }
    if (panel_) {
        panel_->orderFront();
        setVantrelDockVisible(true);
        applyBehavior();
        synchronizeSystemDock();
        return;
    }
    panel_ = std::make_unique<FloatingDockPanel>();
    panel_->setStacking(deps_.stacking);
    panel_->setCompositorState(deps_.compositor);
    if (deps_.makeDockView) panel_->setContentView(deps_.makeDockView());
    if (auto screen = screenUnderMouse(deps_.screens.pointerLocation()))
        dockScreenName_ = screen->name;
    else if (auto main = deps_.screens.mainScreen())
        dockScreenName_ = main->name;
    installMissionControlMonitor();
    setDockRevealedValue(true);
    applyBehavior();
    panel_->orderFront();
    setVantrelDockVisible(true);
    synchronizeSystemDock();
}

void CustomDockController::hide(bool restoreSynchronously) {
    wantsSystemDockSuppressed_ = false;
    shouldVerifyInitialPendingSuppression_ = false;
    setIsEditingItems(false);
    if (!restoreSynchronously) {
        setRevealed(true, true);
        synchronizeSystemDock();
        return;
    }
    // Quitting: whatever is still in flight no longer matters; the restore runs after it, before
    // the application ends.
    ++transitionGeneration_;
    dismissPanel();
    bool restored = false;
    QString problem;
    UserDefaultsProvider& defaults = deps_.defaults;
    const auto makeClient = clientFactory();
    deps_.systemDockQueue.sync([&] {
        const std::unique_ptr<DockDefaultsClient> client = makeClient();
        restored = SystemDockSuppressor{*client, defaults.standard()}.restorePreservedState(&problem);
    });
    isSystemDockSuppressed_ = SystemDockProcess::hasPendingRestore(deps_.defaults.standard());
    transitionInFlight_ = false;
    setChangingSystemDock(false);
    setStatusMessage(QString::fromLatin1(restored ? kNativeDockRestored : kRestoreFailedAtQuit));
    if (!problem.isEmpty()) Q_EMIT systemDockLeftAsItIs(problem);
}

void CustomDockController::synchronizeSystemDock() {
    if (transitionInFlight_) return; // the running transition checks again when it ends
    if (wantsSystemDockSuppressed_ == isSystemDockSuppressed_) {
        setChangingSystemDock(false);
        setStatusMessage(
            isSystemDockSuppressed_
                ? text("Vantrel Dock active \u00b7 native Dock reduced to its 1 pt safety footprint")
                : text("Native macOS Dock active \u00b7 Vantrel Dock off"));
        if (!wantsSystemDockSuppressed_) {
            dismissPanel();
            // The macOS Dock is wanted as it is: what was said of leaving it so no longer holds.
            Q_EMIT systemDockProblemGone();
        }
        return;
    }
    const Transition transition = wantsSystemDockSuppressed_ ? Transition::suppress : Transition::restore;
    const quint64 generation = transitionGeneration_;
    transitionInFlight_ = true;
    setChangingSystemDock(true);
    setStatusMessage(transition == Transition::suppress ? text("Switching to Vantrel Dock\u2026")
                                                        : text("Restoring the macOS Dock\u2026"));
    const QPointer<CustomDockController> self(this);
    UserDefaultsProvider* defaults = &deps_.defaults;
    deps_.systemDockQueue.async([self, transition, generation, defaults, makeClient = clientFactory()] {
        // Built fresh for each transition: the suppressor keeps no state, the defaults are the truth.
        const std::unique_ptr<DockDefaultsClient> client = makeClient();
        SystemDockSuppressor suppressor{*client, defaults->standard()};
        QString problem;
        const bool result = transition == Transition::suppress ? suppressor.suppressPreservingState(&problem)
                                                               : suppressor.restorePreservedState(&problem);
        const bool pending = SystemDockProcess::hasPendingRestore(defaults->standard());
        QMetaObject::invokeMethod(
            QCoreApplication::instance(),
            [self, transition, result, pending, generation, problem] {
                if (!self) return;
                self->finishTransition(transition, result, pending, generation);
                if (!problem.isEmpty())
                    Q_EMIT self->systemDockLeftAsItIs(problem);
                else
                    Q_EMIT self->systemDockProblemGone();
            },
            Qt::QueuedConnection);
    });
}

std::function<std::unique_ptr<DockDefaultsClient>()> CustomDockController::clientFactory() const {
    if (deps_.makeDefaultsClient) return deps_.makeDefaultsClient;
    UserDefaultsProvider* defaults = &deps_.defaults;
    SystemLog* log = &deps_.log;
    return [defaults, log]() -> std::unique_ptr<DockDefaultsClient> {
        return std::make_unique<ProcessDockDefaultsClient>(kSystemDockDomain, kSystemDockCommandTimeout,
                                                           *defaults, *log);
    };
}

void CustomDockController::finishTransition(Transition transition, bool result, bool pending,
                                            quint64 generation) {
    if (generation != transitionGeneration_) return;
    isSystemDockSuppressed_ = pending;
    transitionInFlight_ = false;
    setChangingSystemDock(false);
    if (transition == Transition::suppress)
        setStatusMessage(
            result
                ? text("Vantrel Dock active \u00b7 native Dock reduced to its 1 pt Mission Control footprint")
                : text("Vantrel Dock remains available, but the macOS Dock could not be fully hidden"));
    else
        setStatusMessage(result
                             ? text("Native macOS Dock restored")
                             : text("Could not restore the macOS Dock \u00b7 Vantrel Dock remains available "
                                    "for safety"));
    // After a failed restore the replacement stays on screen: the user keeps a Dock.
    if (transition == Transition::restore && result && !wantsSystemDockSuppressed_)
        dismissPanel();
    else
        reposition();
    if (pending == wantsSystemDockSuppressed_) return;
    // A success reruns the synchronisation toward what is wanted now. Of the failures only a
    // half-done suppression that is no longer wanted is rolled back; the others wait for the next
    // call, so a failing command is not retried in a loop.
    if (result || (transition == Transition::suppress && pending && !wantsSystemDockSuppressed_))
        synchronizeSystemDock();
}

void CustomDockController::dismissPanel() {
    ++dockSlideGeneration_;
    dockSlideInFlight_ = false;
    delete slide_;
    behaviorTimer_.cancel();
    missionControlMonitor_.cancel();
    cachedMissionControlState_ = false;
    pointerLeftAt_.reset();
    edgeEnteredAt_.reset();
    lastPointer_.reset();
    settledPointer_.reset();
    quietArea_.reset();
    if (panel_) {
        panel_->orderOut();
        panel_.reset();
    }
    dockScreenName_.reset();
    setVantrelDockVisible(false);
}

QRect CustomDockController::targetFrame(const ScreenInfo& screen, const VantrelPreferences& preferences,
                                        bool revealed) const {
    const QRectF visible(screen.visibleFrame);
    const QRectF frame(screen.frame);
    const double maxWidth = visible.width() - 24;
    double width = 0;
    double height = 0;
    if (measuredContentSize_) {
        width = std::min(measuredContentSize_->width(), maxWidth);
        height = measuredContentSize_->height();
    } else {
        const double iconSize = preferences.customDockIconSize();
        const double spacing = preferences.customDockSpacing();
        const int pinned = contentStore_ ? deps_.pinnedItemCount(*contentStore_) : 0;
        const int running = preferences.customDockShowRunning() ? deps_.runningApplicationCount() : 0;
        const int count = std::max(1, pinned + running + 1 + (preferences.customDockShowTrash() ? 1 : 0));
        const double estimate = (iconSize + 5) * count + spacing * (count - 1) + 2 * (spacing + 1) + 46;
        width = std::min(estimate, maxWidth);
        height = iconSize + 37;
    }
    double x = 0;
    switch (preferences.customDockAlignment()) {
    case DockAlignment::left:
        x = visible.left() + 12;
        break;
    case DockAlignment::center:
        x = visible.center().x() - width / 2;
        break;
    case DockAlignment::right:
        x = visible.right() - width - 12;
        break;
    }
    // Slid in, the Dock floats 8 points above the bottom of the work area; slid out, a strip of 3
    // points stays on the screen for the pointer to find.
    const double y = revealed ? visible.bottom() - 8 - height : frame.bottom() - 3;
    return QRectF(x, y, width, height).toRect();
}

void CustomDockController::reposition() {
    if (!panel_ || !preferences_ || dockSlideInFlight_) return;
    const std::optional<ScreenInfo> screen = currentDockScreen();
    if (!screen) return;
    panel_->setVisibleArea(visibleAreaOn(*screen));
    setPanelFrame(targetFrame(*screen, *preferences_, isDockRevealed_));
}

std::optional<QRect> CustomDockController::visibleAreaOn(const ScreenInfo& screen) const {
    if (!preferences_) return std::nullopt;
    const QRect path =
        targetFrame(screen, *preferences_, true).united(targetFrame(screen, *preferences_, false));
    const int bottom = screen.frame.top() + screen.frame.height();
    for (const ScreenInfo& other : deps_.screens.screens()) {
        if (other.name == screen.name) continue;
        // Below at any distance: where the desktop is scaled, screens stand where their pixels do,
        // so the monitor right under this one may begin well below its bottom edge in points.
        const bool below = other.frame.top() >= bottom && other.frame.left() <= path.right() &&
                           other.frame.right() >= path.left();
        if (below || other.frame.intersects(path)) return screen.frame;
    }
    return std::nullopt;
}

void CustomDockController::setPanelFrame(const QRect& frame) {
    // The same frame again is no change: nothing to move, nothing to redraw.
    if (!panel_ || panel_->frame() == frame) return;
    panel_->setFrame(frame);
    stateChanged();
}

void CustomDockController::contentSizeChanged(QSizeF size) {
    if (!std::isfinite(size.width()) || !std::isfinite(size.height()) || size.width() <= 0 ||
        size.height() <= 0)
        return;
    pendingMeasuredContentSize_ = size;
    if (measuredContentSize_ && std::abs(size.width() - measuredContentSize_->width()) < 0.5 &&
        std::abs(size.height() - measuredContentSize_->height()) < 0.5) {
        pendingMeasuredContentSize_.reset();
        return;
    }
    if (isApplyingMeasuredSize_) return;
    isApplyingMeasuredSize_ = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            isApplyingMeasuredSize_ = false;
            if (!pendingMeasuredContentSize_) return;
            measuredContentSize_ = pendingMeasuredContentSize_;
            pendingMeasuredContentSize_.reset();
            reposition();
        },
        Qt::QueuedConnection);
}

void CustomDockController::applyBehavior() {
    if (!panel_ || !preferences_) return;
    pointerLeftAt_.reset();
    edgeEnteredAt_.reset();
    stateChanged();
    installBehaviorTimer();
    const std::optional<ScreenInfo> screen = currentDockScreen();
    if (!screen) {
        reposition();
        return;
    }
    switch (preferences_->customDockHideMode()) {
    case DockHideMode::never:
        setRevealed(true, true);
        break;
    case DockHideMode::whenFullscreen:
        if (!isDockScreenInFullScreen(*screen) && !evaluateOcclusion(cachedOcclusionRects_))
            setRevealed(true, true);
        break;
    case DockHideMode::always:
        break;
    }
    reposition();
}

void CustomDockController::setRevealed(bool revealed, bool animated) {
    if (revealed == isDockRevealed_) return;
    if (!panel_ || !preferences_) return;
    const std::optional<ScreenInfo> screen = currentDockScreen();
    if (!screen) return;
    setDockRevealedValue(revealed);
    panel_->setVisibleArea(visibleAreaOn(*screen));
    const QRect target = targetFrame(*screen, *preferences_, revealed);
    const quint64 generation = ++dockSlideGeneration_;
    // A newer slide takes over from wherever the older one has got to.
    if (slide_) {
        slide_->disconnect(this);
        delete slide_;
    }
    if (!animated) {
        dockSlideInFlight_ = false;
        setPanelFrame(target);
        return;
    }
    dockSlideInFlight_ = true;
    auto* slide = new QVariantAnimation(this);
    slide->setStartValue(panel_->frame());
    slide->setEndValue(target);
    VantrelAnimation::easeInOut(deps_.prefersReducedMotion() ? 0.12 : 0.2).applyTo(*slide);
    connect(slide, &QVariantAnimation::valueChanged, this,
            [this](const QVariant& value) { setPanelFrame(value.toRect()); });
    connect(slide, &QVariantAnimation::finished, this, [this, generation] {
        if (generation != dockSlideGeneration_) return;
        dockSlideInFlight_ = false;
        reposition();
    });
    slide_ = slide;
    slide->start(QAbstractAnimation::DeleteWhenStopped);
}

void CustomDockController::installBehaviorTimer() {
    if (behaviorTimer_.isActive()) return;
    const QPointer<CustomDockController> self(this);
    behaviorTimer_ = ScheduledTask(deps_.scheduler,
                                   deps_.scheduler.scheduleRepeating(Seconds(0.1), Seconds(0.025), [self] {
                                       if (self) self->updatePointerBehavior();
                                   }));
}

void CustomDockController::installMissionControlMonitor() {
    if (missionControlMonitor_.isActive()) return;
    lastWindowListReading_ = std::make_shared<std::optional<WindowListReading>>();
    const QPointer<CustomDockController> self(this);
    missionControlMonitor_ =
        ScheduledTask(deps_.scheduler, deps_.scheduler.scheduleRepeating(Seconds(0.35), Seconds(0.1), [self] {
            if (self) self->readWindowList();
        }));
    readWindowList();
}

void CustomDockController::readWindowList() {
    // A read that takes longer than the interval is not piled upon.
    if (!deps_.windowListQueue || windowListReadInFlight_->load()) return;
    windowListReadInFlight_->store(true);
    const QPointer<CustomDockController> self(this);
    WindowList* windows = &deps_.windows;
    const std::function<bool()> missionControlActive = deps_.missionControlActive;
    const qint64 ownProcessId = deps_.ownProcessId;
    deps_.windowListQueue->async([self, windows, missionControlActive, ownProcessId,
                                  lastSent = lastWindowListReading_, inFlight = windowListReadInFlight_] {
        const std::vector<WindowListEntry> entries = windows->onScreenWindows();
        WindowListReading reading{missionControlActive && missionControlActive(),
                                  DockOcclusionDetector::onScreenWindowRects(entries, ownProcessId),
                                  DockOcclusionDetector::fullScreenWindowRects(entries, ownProcessId)};
        // Mostly nothing changed since the last read; then the main thread keeps sleeping.
        if (*lastSent != reading) {
            *lastSent = reading;
            QMetaObject::invokeMethod(
                QCoreApplication::instance(),
                [self, reading = std::move(reading)] {
                    if (!self) return;
                    self->cachedMissionControlState_ = reading.missionControl;
                    self->cachedOcclusionRects_ = reading.rects;
                    self->cachedFullScreenWindows_ = reading.fullScreen;
                    self->stateChanged();
                },
                Qt::QueuedConnection);
        }
        inFlight->store(false);
    });
}

bool CustomDockController::evaluateOcclusion(const std::vector<QRect>& windows) const {
    if (!preferences_ || preferences_->customDockHideMode() != DockHideMode::whenFullscreen) return false;
    const std::optional<ScreenInfo> screen = currentDockScreen();
    if (!screen) return false;
    return DockOcclusionDetector::isCovered(targetFrame(*screen, *preferences_, true), *screen, windows);
}

bool CustomDockController::isDockScreenInFullScreen(const ScreenInfo& screen) const {
    return DockOcclusionDetector::isInFullScreen(screen, cachedFullScreenWindows_);
}

void CustomDockController::updatePointerBehavior() {
    if (!panel_ || !preferences_) return;
    // At rest a tick only compares: the reading asked for at the previous tick is in, the pointer
    // has not moved, and nothing the check depends on has changed since it last found nothing to
    // do. No waiting on the display server, no screen list, no drawing.
    const std::optional<QPoint> recent = deps_.screens.recentPointerLocation();
    // So is a pointer on the move far from anywhere the check could act, as across the middle of
    // the screen under a hidden Dock.
    if (recent && settledGeneration_ == stateGeneration_ &&
        ((settledPointer_ && *recent == *settledPointer_) || (quietArea_ && quietArea_->contains(*recent))))
        return;
    // A pointer on the move is read afresh, so the check never lags a tick behind it.
    const QPoint pointer =
        recent && lastPointer_ && *recent == *lastPointer_ ? *recent : deps_.screens.pointerLocation();
    lastPointer_ = pointer;
    settledPointer_.reset();
    quietArea_.reset();
    const quint64 generation = stateGeneration_;
    // One reading of the clock for the check and for what it waits on: a check that took longer
    // than the reveal delay (a loaded machine) must not find the wait over that it judged not yet
    // over, or a pointer resting on the edge would never bring the Dock in.
    const MonoTime now = deps_.clock.monotonicNow();
    const std::optional<QRect> quiet = checkPointer(pointer, now);
    // Nothing left to wait for and nothing changed by the check: the next ticks only compare.
    // (A hidden Dock keeps the time the pointer left it, but waits for nothing.)
    const bool waiting =
        (pointerLeftAt_ && isDockRevealed_) ||
        (edgeEnteredAt_ && secondsBetween(*edgeEnteredAt_, now) < preferences_->customDockRevealDelay());
    if (!waiting && !dockSlideInFlight_ && generation == stateGeneration_) {
        settledPointer_ = pointer;
        settledGeneration_ = generation;
        quietArea_ = quiet;
    }
}

std::optional<QRect> CustomDockController::checkPointer(QPoint pointer, MonoTime now) {
    const std::optional<ScreenInfo> pointerScreenInfo = pointerScreen(pointer);
    if (!pointerScreenInfo) return std::nullopt;

    if (cachedMissionControlState_) {
        pointerLeftAt_.reset();
        edgeEnteredAt_.reset();
        if (panel_->level() != FloatingDockPanel::kOverviewLevel) {
            panel_->setLevel(FloatingDockPanel::kOverviewLevel);
            panel_->orderFront();
            stateChanged();
        }
        setRevealed(true, true);
        return std::nullopt;
    }
    if (panel_->level() != FloatingDockPanel::kFloatingLevel) {
        panel_->setLevel(FloatingDockPanel::kFloatingLevel);
        stateChanged();
    }
    const std::optional<ScreenInfo> dockScreen = currentDockScreen();
    if (!dockScreen) {
        setRevealed(true, true);
        return std::nullopt;
    }
    const DockHideMode mode = preferences_->customDockHideMode();
    // What the last window-list read found is judged against the Dock as it stands now.
    if (mode == DockHideMode::never ||
        (mode == DockHideMode::whenFullscreen && !isDockScreenInFullScreen(*dockScreen) &&
         !evaluateOcclusion(cachedOcclusionRects_))) {
        setRevealed(true, true);
        // Wherever on this screen the pointer goes, the Dock stays as it is.
        return quietAreaOn(*pointerScreenInfo, 0);
    }

    const QRectF around = QRectF(panel_->frame()).adjusted(-6, -6, 6, 6);
    if (isDockRevealed_ && pointer.x() >= around.left() && pointer.x() <= around.right() &&
        pointer.y() >= around.top() && pointer.y() <= around.bottom()) {
        pointerLeftAt_.reset();
        edgeEnteredAt_.reset();
        return std::nullopt;
    }

    const QRect& edgeFrame = pointerScreenInfo->frame;
    const int bottom = edgeFrame.y() + edgeFrame.height();
    const bool atEdge = pointer.y() >= bottom - kEdgeBand && pointer.y() <= bottom + 1 &&
                        pointer.x() >= edgeFrame.x() && pointer.x() <= edgeFrame.x() + edgeFrame.width();
    if (atEdge) {
        pointerLeftAt_.reset();
        if (!edgeEnteredAt_) edgeEnteredAt_ = now;
        if (secondsBetween(*edgeEnteredAt_, now) >= preferences_->customDockRevealDelay()) {
            if (!sameScreen(knownDockScreen(), *pointerScreenInfo)) {
                dockScreenName_ = pointerScreenInfo->name;
                stateChanged();
                reposition();
            }
            setRevealed(true, true);
        }
        return std::nullopt;
    }
    edgeEnteredAt_.reset();
    // Hidden, the Dock waits only for the bottom edge. A reading is about a tick old, so the area
    // stops a quarter of the screen short of the edge: a pointer that is beyond it by the next
    // tick is read afresh then, as before.
    if (!isDockRevealed_) return quietAreaOn(*pointerScreenInfo, kEdgeBand + edgeFrame.height() / 4);
    if (!pointerLeftAt_) pointerLeftAt_ = now;
    if (secondsBetween(*pointerLeftAt_, now) >= preferences_->customDockHideDelay()) setRevealed(false, true);
    return std::nullopt;
}

std::optional<QRect> CustomDockController::quietAreaOn(const ScreenInfo& screen, int bottomMargin) const {
    // Off the frame's edges, where a neighbouring screen shares the pointer's place.
    const QRect area = screen.frame.adjusted(2, 2, -2, -2 - bottomMargin);
    if (area.isEmpty()) return std::nullopt;
    for (const ScreenInfo& other : deps_.screens.screens())
        if (other.name != screen.name && other.frame.adjusted(-2, -2, 2, 2).intersects(area))
            return std::nullopt;
    return area;
}

std::optional<ScreenInfo> CustomDockController::screenUnderMouse(QPoint pointer) const {
    for (const ScreenInfo& screen : deps_.screens.screens()) {
        const QRect& f = screen.frame;
        if (pointer.x() >= f.x() && pointer.x() <= f.x() + f.width() && pointer.y() >= f.y() &&
            pointer.y() <= f.y() + f.height())
            return screen;
    }
    return std::nullopt;
}

std::optional<ScreenInfo> CustomDockController::knownDockScreen() const {
    if (!dockScreenName_) return std::nullopt;
    for (const ScreenInfo& screen : deps_.screens.screens())
        if (screen.name == *dockScreenName_) return screen;
    return std::nullopt;
}

std::optional<ScreenInfo> CustomDockController::currentDockScreen() const {
    if (auto screen = knownDockScreen()) return screen;
    if (panel_)
        if (auto screen = deps_.screens.screenOf(*panel_)) return screen;
    return deps_.screens.mainScreen();
}

std::optional<ScreenInfo> CustomDockController::pointerScreen(QPoint pointer) const {
    if (auto screen = screenUnderMouse(pointer)) return screen;
    return currentDockScreen();
}

void CustomDockController::setIsEditingItems(bool editing) {
    setIfChanged(this, isEditingItems_, editing, &CustomDockController::isEditingItemsChanged);
}

void CustomDockController::setStatusMessage(const QString& message) {
    setIfChanged(this, statusMessage_, message, &CustomDockController::statusMessageChanged);
}

void CustomDockController::setVantrelDockVisible(bool visible) {
    if (isVantrelDockVisible_ == visible) return;
    isVantrelDockVisible_ = visible;
    Q_EMIT isVantrelDockVisibleChanged(visible);
}

void CustomDockController::setChangingSystemDock(bool changing) {
    if (isChangingSystemDock_ == changing) return;
    isChangingSystemDock_ = changing;
    Q_EMIT isChangingSystemDockChanged(changing);
}

void CustomDockController::setDockRevealedValue(bool revealed) {
    if (isDockRevealed_ == revealed) return;
    isDockRevealed_ = revealed;
    stateChanged();
    Q_EMIT isDockRevealedChanged(revealed);
}

} // namespace vantrel
