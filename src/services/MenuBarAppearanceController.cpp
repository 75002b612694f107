#include "services/MenuBarAppearanceController.h"

#include "core/VantrelPreferences.h"
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
    if (statusMessage_ != QLatin1String(kOffMessage)) {
        statusMessage_ = QString::fromLatin1(kOffMessage);
        Q_EMIT statusMessageChanged(statusMessage_);
    }
}

void MenuBarAppearanceController::setAreHiddenItemsRevealed(bool revealed) {
    if (areHiddenItemsRevealed_ == revealed) return;
    areHiddenItemsRevealed_ = revealed;
    Q_EMIT areHiddenItemsRevealedChanged(revealed);
}

void MenuBarAppearanceController::setAreAlwaysHiddenItemsRevealed(bool revealed) {
    if (areAlwaysHiddenItemsRevealed_ == revealed) return;
    areAlwaysHiddenItemsRevealed_ = revealed;
    Q_EMIT areAlwaysHiddenItemsRevealedChanged(revealed);
}

} // namespace vantrel
