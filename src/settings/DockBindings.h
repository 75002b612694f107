#pragma once

#include "core/PreferenceEnums.h"
#include "core/VantrelPreferences.h"
#include "kit/SettingBinding.h"

#include <array>
#include <functional>

namespace vantrel {

class VantrelHaptics;

// The replacement Dock's settings as the Dock page's pickers and sliders see them. Six settings
// are three-way choices: a stored number read as index 0 below a lower threshold, 2 above an
// upper one and 1 otherwise (a value that is no number too), written back as one of three fixed
// values. Writes play their interface haptic first, then store the setting, then ask the live
// Dock to follow where it must.
class DockBindings {
public:
    // One three-way choice: the setting, its strict thresholds and the values indices 0, 1, 2 write.
    struct Choice {
        VantrelPreferences::Setting setting;
        double (VantrelPreferences::*get)() const;
        void (VantrelPreferences::*set)(double);
        double lower;
        double upper;
        std::array<double, 3> values;
        bool reappliesBehavior;
    };
    static const Choice reveal;
    static const Choice hide;
    static const Choice spacing;
    static const Choice shape;
    static const Choice magnification;
    static const Choice glass;

    // `applyBehavior` re-arms the live Dock's pointer behaviour; `reposition` moves its panel.
    DockBindings(VantrelPreferences& preferences, VantrelHaptics& haptics,
                 std::function<void()> applyBehavior, std::function<void()> reposition);

    // The index `value` reads as.
    static int index(const Choice& choice, double value);
    int read(const Choice& choice) const;
    // Ignored for an index outside 0...2: there is no value for it.
    void write(const Choice& choice, int index);

    SettingBinding<int> dockRevealChoice() const { return choiceBinding(reveal); }
    SettingBinding<int> dockHideChoice() const { return choiceBinding(hide); }
    SettingBinding<int> dockSpacingChoice() const { return choiceBinding(spacing); }
    SettingBinding<int> dockShapeChoice() const { return choiceBinding(shape); }
    SettingBinding<int> dockMagnificationChoice() const { return choiceBinding(magnification); }
    SettingBinding<int> dockGlassChoice() const { return choiceBinding(glass); }

    SettingBinding<double> dockIconSizeBinding() const;
    SettingBinding<double> dockThicknessBinding() const;
    SettingBinding<DockHideMode> dockHideModeBinding() const;
    SettingBinding<DockAlignment> dockAlignmentBinding() const;
    SettingBinding<DockTint> dockTintBinding() const;
    SettingBinding<DockIconAnimation> dockAnimationBinding() const;
    SettingBinding<DockAnimationSpeed> dockAnimationSpeedBinding() const;

private:
    SettingBinding<int> choiceBinding(const Choice& choice) const;
    // The controls haptic, then the write.
    template <typename T>
    SettingBinding<T>
    tickingBinding(VantrelPreferences::Setting setting, T (VantrelPreferences::*getter)() const,
                   void (VantrelPreferences::*setter)(T), std::function<void()> after) const;

    VantrelPreferences& preferences_;
    VantrelHaptics& haptics_;
    std::function<void()> applyBehavior_;
    std::function<void()> reposition_;
};

} // namespace vantrel
