#include "services/MenuBarAppearanceController.h"

#include "core/VantrelHaptics.h"
#include "core/VantrelPreferences.h"
#include "platform/Screens.h"
#include "platform/SetIfChanged.h"
#include "platform/StatusItem.h"
#include "services/MenuBarScanner.h"

#include <QRectF>
#include <algorithm>

namespace vantrel {

namespace {
// Restores a divider, takes it out of the status bar and drops it.
void removeSection(std::unique_ptr<MenuBarSectionControl>& section) {
    if (!section) return;
    section->removeFromStatusBar();
    section.reset();
}
} // namespace

MenuBarAppearanceController::MenuBarAppearanceController(Dependencies dependencies, QObject* parent)
    : QObject(parent), dependencies_(dependencies) {}

MenuBarAppearanceController::~MenuBarAppearanceController() = default;

bool MenuBarAppearanceController::isOrganizerOn() const {
    return preferences_ && preferences_->menuMaskEnabled();
}

void MenuBarAppearanceController::apply(VantrelPreferences& preferences, MenuBarScanner& scanner) {
    preferences_ = &preferences;
    scanner_ = &scanner;
    MenuBarAppearanceController::hideTint();
    if (!preferences.menuMaskEnabled()) {
        MenuBarAppearanceController::disableItemHiding();
        return;
    }
    makeHiddenSectionIfNeeded();
    removeSection(alwaysHiddenSection_);
    setAreAlwaysHiddenItemsRevealed(false);

    if (isSetupMode_) {
        hiddenSection_->reveal(true);
        setAreHiddenItemsRevealed(true);
        setMessage(kSetupMessage);
    } else if (!preferences.menuSetupComplete()) {
        hiddenSection_->reveal(false);
        setAreHiddenItemsRevealed(true);
        setMessage(kUnplacedMessage);
    } else if (!areHiddenItemsRevealed_) {
        hideHiddenItems();
    } else {
        hiddenSection_->reveal(false);
        setMessage(kRevealedMessage);
    }
    installRevealGestures();
}

void MenuBarAppearanceController::makeHiddenSectionIfNeeded() {
    if (hiddenSection_) return;
    const QPointer<MenuBarAppearanceController> self(this);
    hiddenSection_ = std::make_unique<MenuBarSectionControl>(
        MenuBarSectionKind::hidden,
        [self] {
            if (self) self->toggleHiddenItems(nullptr, nullptr);
        },
        dependencies_.statusBar, dependencies_.defaults);
}

void MenuBarAppearanceController::toggleHiddenItems(VantrelPreferences* preferences,
                                                    MenuBarScanner* scanner) {
    if (preferences) preferences_ = preferences;
    if (scanner) scanner_ = scanner;
    if (!preferences_ || !preferences_->menuMaskEnabled() || !preferences_->menuSetupComplete() ||
        isSetupMode_)
        return;
    if (areHiddenItemsRevealed_)
        hideHiddenItems();
    else
        revealHiddenItems();
}

void MenuBarAppearanceController::hideHiddenItems() {
    // The pointer still resting on the item that was just clicked must not bring them back.
    if (areHiddenItemsRevealed_) hoverPolicy_.requiresPointerExit = true;
    const std::vector<ScreenInfo> screens = dependencies_.screens.screens();
    const auto widest = std::max_element(screens.begin(), screens.end(), [](const auto& a, const auto& b) {
        return a.frame.width() < b.frame.width();
    });
    const double width = widest == screens.end() ? kWidthWithoutScreens : widest->frame.width();
    if (hiddenSection_) hiddenSection_->collapse(width);
    setAreHiddenItemsRevealed(false);
    const bool hidesIcons = dependencies_.statusBar && dependencies_.statusBar->lengthHidesOtherItems();
    setMessage(!hiddenSection_ ? kOffMessage : hidesIcons ? kHiddenMessage : kMarkedHiddenMessage);
}

void MenuBarAppearanceController::revealHiddenItems() {
    if (!isOrganizerOn() || isSetupMode_) return;
    if (hiddenSection_) hiddenSection_->reveal(false);
    setAreHiddenItemsRevealed(true);
    if (dependencies_.haptics) dependencies_.haptics->play(HapticSurface::controls);
    setMessage(kRevealedMessage);
}

void MenuBarAppearanceController::installRevealGestures() {
    if (!isOrganizerOn() || !preferences_->menuSetupComplete() || !preferences_->menuRevealOnHover()) {
        stopHoverCheck();
        return;
    }
    if (hoverTimer_.isActive()) return;
    const QPointer<MenuBarAppearanceController> self(this);
    hoverTimer_ =
        ScheduledTask(dependencies_.scheduler,
                      dependencies_.scheduler.scheduleRepeating(kHoverInterval, kHoverTolerance, [self] {
                          if (self) self->checkHover();
                      }));
}

void MenuBarAppearanceController::stopHoverCheck() {
    hoverTimer_.cancel();
}

void MenuBarAppearanceController::checkHover() {
    if (!isOrganizerOn() || !preferences_->menuRevealOnHover() || isSetupMode_ || areHiddenItemsRevealed_)
        return;
    const QPoint pointer = dependencies_.screens.pointerLocation();
    if (!primaryControlFrameProvider) return;
    const std::optional<QRect> frame = primaryControlFrameProvider();
    if (!frame) return;
    const QRectF area = QRectF(*frame).adjusted(-kHoverMarginX, -kHoverMarginY, kHoverMarginX, kHoverMarginY);
    if (!area.contains(QPointF(pointer))) {
        hoverPolicy_.requiresPointerExit = false;
        return;
    }
    if (!hoverPolicy_.requiresPointerExit && dependencies_.screens.pressedMouseButtons() == Qt::NoButton)
        revealHiddenItems();
}

void MenuBarAppearanceController::beginSetup(VantrelPreferences& preferences, MenuBarScanner& scanner,
                                             MenuBarSectionKind) {
    preferences_ = &preferences;
    scanner_ = &scanner;
    if (!isSetupMode_)
        setupEntryState_ = MenuBarSetupEntryState{preferences.menuSetupComplete(), areHiddenItemsRevealed_};
    preferences.setMenuMaskEnabled(true);
    makeHiddenSectionIfNeeded();
    setupKind_ = MenuBarSectionKind::hidden;
    setSetupMode(true);
    hiddenSection_->reveal(true);
    setAreHiddenItemsRevealed(true);
    setAreAlwaysHiddenItemsRevealed(false);
    setMessage(kSetupMessage);
    installRevealGestures();
}

void MenuBarAppearanceController::applySetupExit(SetupExitOutcome outcome, VantrelPreferences& preferences) {
    setupEntryState_.reset();
    setSetupMode(false);
    preferences.setMenuSetupComplete(outcome.setupComplete);
    preferences.setMenuMaskEnabled(outcome.maskEnabled);
    if (!outcome.maskEnabled) {
        MenuBarAppearanceController::disableItemHiding();
        return;
    }
    if (outcome.revealItems) {
        if (hiddenSection_) hiddenSection_->reveal(false);
        setAreHiddenItemsRevealed(true);
        setMessage(kRevealedMessage);
    } else {
        hideHiddenItems();
    }
    installRevealGestures();
}

void MenuBarAppearanceController::hideTint() {}

void MenuBarAppearanceController::disableItemHiding() {
    hoverPolicy_.requiresPointerExit = false;
    stopHoverCheck();
    removeSection(hiddenSection_);
    removeSection(alwaysHiddenSection_);
    setupEntryState_.reset();
    setSetupMode(false);
    setAreHiddenItemsRevealed(false);
    setAreAlwaysHiddenItemsRevealed(false);
    setMessage(kOffMessage);
}

void MenuBarAppearanceController::setStatusMessage(const QString& message) {
    setIfChanged(this, statusMessage_, message, &MenuBarAppearanceController::statusMessageChanged);
}

void MenuBarAppearanceController::setMessage(const char* message) {
    setStatusMessage(QString::fromUtf8(message));
}

void MenuBarAppearanceController::setAreHiddenItemsRevealed(bool revealed) {
    setIfChanged(this, areHiddenItemsRevealed_, revealed,
                 &MenuBarAppearanceController::areHiddenItemsRevealedChanged);
}

void MenuBarAppearanceController::setAreAlwaysHiddenItemsRevealed(bool revealed) {
    setIfChanged(this, areAlwaysHiddenItemsRevealed_, revealed,
                 &MenuBarAppearanceController::areAlwaysHiddenItemsRevealedChanged);
}

void MenuBarAppearanceController::setSetupMode(bool isSetupMode) {
    setIfChanged(this, isSetupMode_, isSetupMode, &MenuBarAppearanceController::isSetupModeChanged);
}

} // namespace vantrel
