#include "notch/VantrelDisplayEligibility.h"

#include "platform/Screens.h"

#include <cmath>

namespace vantrel {

VantrelDisplayEligibility VantrelDisplayEligibility::of(const ScreenInfo& screen) {
    double rawWidth = 0;
    if (screen.auxiliaryTopLeftArea && screen.auxiliaryTopRightArea) {
        const double gap = screen.auxiliaryTopRightArea->left() - screen.auxiliaryTopLeftArea->right();
        // Not-a-number fails the comparison and counts as no gap.
        rawWidth = gap > 0 ? gap : 0;
    }
    const double inset = screen.topSafeAreaInset;
    VantrelDisplayEligibility record{screen.id, screen.frame};
    if (rawWidth > kMinimumNotchWidth && inset > 0) {
        record.hasPhysicalNotch = true;
        record.notchWidth = rawWidth;
        record.topSafeArea = inset;
    }
    return record;
}

} // namespace vantrel
