#pragma once

namespace vantrel {

// What automation actions act through besides the settings and the focus timer. The composition
// root fills it with the application state.
class AutomationTarget {
public:
    virtual ~AutomationTarget() = default;
    // Opens the notch on its home tab without taking the keyboard.
    virtual void showHomeNotch() = 0;
    // Brings the components in line with the settings after an action changed one.
    virtual void applySettings() = 0;

protected:
    AutomationTarget() = default;
    AutomationTarget(const AutomationTarget&) = default;
    AutomationTarget& operator=(const AutomationTarget&) = default;
};

} // namespace vantrel
