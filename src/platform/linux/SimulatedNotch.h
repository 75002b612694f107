#pragma once

#include "platform/Screens.h"

#include <QString>
#include <optional>

namespace vantrel {

class SystemLog;

// No Linux screen has a camera housing, so one is simulated on a chosen screen: VANTREL_NOTCH
// "off" for none, "<width>x<height>" on the primary screen or "<width>x<height>@<index>" on the
// screen at that index of the system's list. Unset means a 185 by 32 notch on the primary screen.
struct SimulatedNotch {
    static constexpr double kDefaultWidth = 185;
    static constexpr double kDefaultHeight = 32;

    double width = kDefaultWidth;
    double height = kDefaultHeight;
    // None: the primary screen.
    std::optional<int> screenIndex;
    bool operator==(const SimulatedNotch&) const = default;

    // The notch a value of VANTREL_NOTCH asks for, or none for "off". A value that cannot be read
    // leaves one line in the log and gives the default notch.
    static std::optional<SimulatedNotch> parse(const std::optional<QString>& value, SystemLog& log);

    // Whether the notch belongs on the screen at `index` of the system's list.
    bool isOn(int index, bool isPrimary) const { return screenIndex ? *screenIndex == index : isPrimary; }
    // Gives `screen` the bands beside a housing centred at its top edge, and the band's inset.
    void applyTo(ScreenInfo& screen) const;
};

} // namespace vantrel
