#include "control-center/InputMonitoringRequest.h"

#include "core/PermissionCenter.h"
#include "platform/PermissionSystem.h"

namespace vantrel {

void requestInputMonitoring(PermissionCenter& permissions) {
    PermissionSystem& system = permissions.system();
    if (system.listenEventAccessGranted()) {
        permissions.refresh();
        return;
    }
    system.requestListenEventAccess();
    permissions.setStatusMessage(
        QStringLiteral("Enable Vantrel in Privacy & Security › Input Monitoring, then return here."));
    permissions.openPrivacySettings(PrivacyPane::inputMonitoring);
    permissions.refreshAfterSystemSettings();
}

} // namespace vantrel
