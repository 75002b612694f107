#pragma once

#include "core/KeyboardBacklightSupport.h"
#include "core/SharedInstance.h"
#include "platform/EnumTraits.h"

#include <QObject>
#include <QString>
#include <map>

namespace vantrel {

class PermissionCenter;
class VantrelDiagnostics;

#define VANTREL_CAPABILITIES(C)                                                                              \
    C(notifications)                                                                                         \
    C(keyboardBacklight)                                                                                     \
    C(camera)                                                                                                \
    C(calendar) C(accessibility) C(inputMonitoring) C(appleEvents) C(mediaControl) C(dockIntegration)
VANTREL_STRING_ENUM(VantrelCapability, VANTREL_CAPABILITIES)

// Every case but `available` carries a sentence of explanation.
struct VantrelCapabilityStatus {
    enum class Kind {
        unavailable,
        permissionDenied,
        unsupported,
        temporarilyUnavailable,
        experimental,
        available
    };

    Kind kind = Kind::available;
    QString message;

    static VantrelCapabilityStatus available() { return {}; }
    bool operator==(const VantrelCapabilityStatus&) const = default;
};

// One status for each optional capability, derived from the permission states and the keyboard
// backlight probe. A table for display: nothing behaves differently because of it.
class CapabilityCenter : public QObject, public SharedInstance<CapabilityCenter> {
    Q_OBJECT

public:
    using Status = VantrelCapabilityStatus;

    explicit CapabilityCenter(VantrelDiagnostics& diagnostics, QObject* parent = nullptr);

    // Empty until the first refresh.
    const std::map<VantrelCapability, Status>& statuses() const { return statuses_; }

    // Recomputes every entry, each one published as it is stored, then records the refresh.
    void refresh(const PermissionCenter& permissions, KeyboardBacklightSupport keyboard);

    static Status keyboardStatus(KeyboardBacklightSupport support);

Q_SIGNALS:
    void statusChanged(VantrelCapability capability);

private:
    void store(VantrelCapability capability, Status status);

    VantrelDiagnostics& diagnostics_;
    std::map<VantrelCapability, Status> statuses_;
};

} // namespace vantrel
