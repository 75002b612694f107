#include "dock/CustomDockController.h"

#include "dock/ProcessDockDefaultsClient.h"
#include "dock/SystemDockSuppressor.h"
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
    if (isDockRevealed_ == revealed) return;
    isDockRevealed_ = revealed;
    Q_EMIT isDockRevealedChanged(revealed);
}

void CustomDockController::synchronizeSystemDock() {
    if (wantsSystemDockSuppressed_) return;
    hasPanel_ = false;
    restoreSystemDock();
}

void CustomDockController::setIsEditingItems(bool editing) {
    if (isEditingItems_ == editing) return;
    isEditingItems_ = editing;
    Q_EMIT isEditingItemsChanged(editing);
}

bool CustomDockController::restoreSystemDock() {
    // Built fresh for each use: the suppressor keeps no state, the defaults are the truth.
    ProcessDockDefaultsClient client(QStringLiteral("com.apple.dock"), 4.0, defaults_, log_);
    return SystemDockSuppressor{client, defaults_.standard()}.restorePreservedState();
}

void CustomDockController::setStatusMessage(const QString& message) {
    if (statusMessage_ == message) return;
    statusMessage_ = message;
    Q_EMIT statusMessageChanged(message);
}

} // namespace vantrel
