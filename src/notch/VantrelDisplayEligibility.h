#pragma once

#include <QRect>
#include <QtGlobal>

namespace vantrel {

struct ScreenInfo;

// What one screen offers the notch panel: whether it has a camera housing wide enough to hang
// the panel from, how wide that is and how tall the band beside it.
struct VantrelDisplayEligibility {
    // A housing must be wider than this to count.
    static constexpr double kMinimumNotchWidth = 80;

    quint32 id = 0;
    QRect frame;
    bool hasPhysicalNotch = false;
    double notchWidth = 0;  // 0 without a notch
    double topSafeArea = 0; // 0 without a notch
    bool operator==(const VantrelDisplayEligibility&) const = default;

    // The housing's width is the gap between the two bands beside it; a screen qualifies when that
    // gap is wider than 80 points and the band has a height.
    static VantrelDisplayEligibility of(const ScreenInfo& screen);
};

} // namespace vantrel
