#include "notch/DisplayCoordinator.h"

#include "core/VantrelDiagnostics.h"
#include "notch/VantrelDisplaySelection.h"

#include <cmath>
#include <vector>

namespace vantrel {

DisplayCoordinator::DisplayCoordinator(const Screens& screens, VantrelDiagnostics& diagnostics,
                                       QObject* parent)
    : QObject(parent), screens_(screens), diagnostics_(diagnostics) {}

std::optional<DisplayCoordinator::ActiveDisplay> DisplayCoordinator::refreshActiveDisplay() {
    const std::optional<VantrelDisplayEligibility> previous = activeEligibility_;
    const std::vector<ScreenInfo> screens = screens_.screens();
    std::vector<VantrelDisplayEligibility> records;
    records.reserve(screens.size());
    for (const ScreenInfo& screen : screens) records.push_back(VantrelDisplayEligibility::of(screen));

    std::optional<quint32> mainID;
    if (const std::optional<ScreenInfo> main = screens_.mainScreen()) mainID = main->id;
    std::optional<quint32> retainedID;
    if (previous) retainedID = previous->id;

    const std::optional<VantrelDisplayEligibility> chosen =
        VantrelDisplaySelection::preferredNotchDisplay(records, retainedID, mainID);
    if (!chosen) {
        if (previous)
            diagnostics_.record(DiagnosticsCategory::displayChanged,
                                QStringLiteral("no eligible physical-notch display"));
        activeEligibility_.reset();
        Q_EMIT activeEligibilityChanged();
        return std::nullopt;
    }

    std::size_t index = 0;
    while (records[index].id != chosen->id) ++index;
    if (!previous || *previous != *chosen) {
        const bool retained = previous && previous->id == chosen->id;
        diagnostics_.record(DiagnosticsCategory::displayChanged,
                            QStringLiteral("display=%1 physicalNotch=true width=%2 retained=%3")
                                .arg(chosen->id)
                                .arg(static_cast<qint64>(std::trunc(chosen->notchWidth)))
                                .arg(retained ? u"true" : u"false"));
    }
    activeEligibility_ = chosen;
    Q_EMIT activeEligibilityChanged();
    return ActiveDisplay{screens[index], *chosen};
}

} // namespace vantrel
