#pragma once

namespace vantrel {

class PermissionCenter;

// The "Allow" of input monitoring, shared by onboarding and the permissions and trackpad pages.
// With access already there it only re-reads the states: no prompt, no message, no settings
// window. Otherwise it asks the system, tells the user where to switch it on, opens that place
// and re-reads the states a moment later.
void requestInputMonitoring(PermissionCenter& permissions);

} // namespace vantrel
