#pragma once

#include "core/SharedInstance.h"
#include "notch/VantrelDisplayEligibility.h"
#include "platform/Screens.h"

#include <QObject>
#include <optional>

namespace vantrel {

class VantrelDiagnostics;

// Reads the screens afresh on every refresh and publishes which of them the notch panel and the
// alert dot hang from; the previous choice is kept while it still has a notch.
class DisplayCoordinator final : public QObject, public SharedInstance<DisplayCoordinator> {
    Q_OBJECT
public:
    struct ActiveDisplay {
        ScreenInfo screen;
        VantrelDisplayEligibility eligibility;
    };

    DisplayCoordinator(const Screens& screens, VantrelDiagnostics& diagnostics, QObject* parent = nullptr);

    // Chooses the active notch display from the screens as they are now; none when no screen has
    // a notch.
    std::optional<ActiveDisplay> refreshActiveDisplay();

    const std::optional<VantrelDisplayEligibility>& activeEligibility() const { return activeEligibility_; }

Q_SIGNALS:
    // After every refresh, changed or not.
    void activeEligibilityChanged();

private:
    const Screens& screens_;
    VantrelDiagnostics& diagnostics_;
    std::optional<VantrelDisplayEligibility> activeEligibility_;
};

} // namespace vantrel
