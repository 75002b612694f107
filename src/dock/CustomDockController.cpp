#include "dock/CustomDockController.h"

#include "dock/ProcessDockDefaultsClient.h"
#include "dock/SystemDockSuppressor.h"
#include "platform/SetIfChanged.h"
#include "platform/UserDefaults.h"

namespace vantrel {

CustomDockController::CustomDockController(UserDefaultsProvider& defaults, SystemLog& log, QObject* parent)
    : QObject(parent), defaults_(defaults), log_(log) {}

void CustomDockController::show(VantrelPreferences&, DockContentStore&, AppState&) {
    hasPanel_ = true;
    wantsSystemDockSuppressed_ = true;
}

void CustomDockController::hide(bool) {
    // The restore is quick on this system (one small settings file), so it always completes
    // before returning; at termination that is what is required anyway.
    hasPanel_ = false;
    setStatusMessage(QString::fromLatin1(restoreSystemDock() ? kNativeDockRestored : kRestoreFailedAtQuit));
}

void CustomDockController::setRevealed(bool revealed, bool) {
    setIfChanged(this, isDockRevealed_, revealed, &CustomDockController::isDockRevealedChanged);
}

void CustomDockController::synchronizeSystemDock() {
    if (wantsSystemDockSuppressed_) return;
    hasPanel_ = false;
    restoreSystemDock();
}

void CustomDockController::setIsEditingItems(bool editing) {
    setIfChanged(this, isEditingItems_, editing, &CustomDockController::isEditingItemsChanged);
}

bool CustomDockController::restoreSystemDock() {
    // Built fresh for each use: the suppressor keeps no state, the defaults are the truth.
    ProcessDockDefaultsClient client(QStringLiteral("com.apple.dock"), 4.0, defaults_, log_);
    return SystemDockSuppressor{client, defaults_.standard()}.restorePreservedState();
}

void CustomDockController::setStatusMessage(const QString& message) {
    setIfChanged(this, statusMessage_, message, &CustomDockController::statusMessageChanged);
}

} // namespace vantrel
