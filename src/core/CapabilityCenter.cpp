#include "core/CapabilityCenter.h"

#include "core/PermissionCenter.h"
#include "core/VantrelDiagnostics.h"

namespace vantrel {

namespace {

using Kind = VantrelCapabilityStatus::Kind;
using Support = KeyboardBacklightSupport;

// The capabilities that follow a permission, in the order they are refreshed.
struct PermissionRow {
    VantrelCapability capability;
    PermissionState (PermissionCenter::*state)() const;
    const char* feature;
};
constexpr PermissionRow kPermissionRows[] = {
    {VantrelCapability::camera, &PermissionCenter::camera, "Camera"},
    {VantrelCapability::calendar, &PermissionCenter::calendar, "Calendar"},
    {VantrelCapability::accessibility, &PermissionCenter::accessibility, "Accessibility"},
    {VantrelCapability::inputMonitoring, &PermissionCenter::inputMonitoring, "Input Monitoring"},
};

// Nothing can take these away on this system.
constexpr VantrelCapability kAlwaysAvailable[] = {
    VantrelCapability::appleEvents, VantrelCapability::mediaControl, VantrelCapability::dockIntegration};

VantrelCapabilityStatus fromPermission(PermissionState state, const char* feature) {
    const QString name = QString::fromLatin1(feature);
    switch (state) {
    case PermissionState::allowed:
        return VantrelCapabilityStatus::available();
    case PermissionState::denied:
        return {Kind::permissionDenied, name + QStringLiteral(" permission is not allowed.")};
    case PermissionState::unknown:
        break;
    }
    return {Kind::temporarilyUnavailable, name + QStringLiteral(" permission has not been requested.")};
}

} // namespace

CapabilityCenter::CapabilityCenter(VantrelDiagnostics& diagnostics, QObject* parent)
    : QObject(parent), diagnostics_(diagnostics) {}

VantrelCapabilityStatus CapabilityCenter::keyboardStatus(Support support) {
    switch (support) {
    case Support::checking:
        return {Kind::temporarilyUnavailable, QStringLiteral("Checking built-in keyboard support.")};
    case Support::needsInputMonitoring:
        return {Kind::permissionDenied,
                QStringLiteral("Input Monitoring is required before keyboard lighting can be checked.")};
    // A found control is still unproven, so never plainly available.
    case Support::available:
        return {Kind::experimental,
                QStringLiteral("Keyboard lighting is experimental until it is verified on this MacBook.")};
    case Support::vendorProtocol:
        return {Kind::experimental,
                QStringLiteral("Keyboard hardware can be read, but Vantrel has not verified a "
                               "safe writable brightness command.")};
    case Support::unavailable:
        return {Kind::unsupported,
                QStringLiteral("This Mac does not expose a supported keyboard-backlight control.")};
    case Support::failed:
        break;
    }
    return {Kind::unavailable, QStringLiteral("Keyboard-backlight access failed.")};
}

void CapabilityCenter::store(VantrelCapability capability, Status status) {
    statuses_[capability] = std::move(status);
    Q_EMIT statusChanged(capability);
}

void CapabilityCenter::refresh(const PermissionCenter& permissions, Support keyboard) {
    store(VantrelCapability::notifications, Status::available());
    for (const PermissionRow& row : kPermissionRows)
        store(row.capability, fromPermission((permissions.*row.state)(), row.feature));
    for (VantrelCapability capability : kAlwaysAvailable) store(capability, Status::available());
    store(VantrelCapability::keyboardBacklight, keyboardStatus(keyboard));
    diagnostics_.record(DiagnosticsCategory::capability, QStringLiteral("capabilities refreshed"));
}

} // namespace vantrel
