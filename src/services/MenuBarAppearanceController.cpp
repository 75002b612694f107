#include "services/MenuBarAppearanceController.h"

#include "core/VantrelPreferences.h"
#include "platform/SetIfChanged.h"
#include "services/MenuBarScanner.h"

namespace vantrel {

void MenuBarAppearanceController::apply(VantrelPreferences& preferences, MenuBarScanner& scanner) {
    preferences_ = &preferences;
    scanner_ = &scanner;
}

void MenuBarAppearanceController::toggleHiddenItems(VantrelPreferences* preferences,
                                                    MenuBarScanner* scanner) {
    if (preferences) preferences_ = preferences;
    if (scanner) scanner_ = scanner;
    if (!preferences_ || !preferences_->menuMaskEnabled() || !preferences_->menuSetupComplete() ||
        isRunningSetup_)
        return;
    setAreHiddenItemsRevealed(!areHiddenItemsRevealed_);
}

void MenuBarAppearanceController::hideTint() {}

void MenuBarAppearanceController::disableItemHiding() {
    isRunningSetup_ = false;
    setIfChanged(this, statusMessage_, QString::fromLatin1(kOffMessage),
                 &MenuBarAppearanceController::statusMessageChanged);
}

void MenuBarAppearanceController::setAreHiddenItemsRevealed(bool revealed) {
    setIfChanged(this, areHiddenItemsRevealed_, revealed,
                 &MenuBarAppearanceController::areHiddenItemsRevealedChanged);
}

void MenuBarAppearanceController::setAreAlwaysHiddenItemsRevealed(bool revealed) {
    setIfChanged(this, areAlwaysHiddenItemsRevealed_, revealed,
                 &MenuBarAppearanceController::areAlwaysHiddenItemsRevealedChanged);
}

} // namespace vantrel
