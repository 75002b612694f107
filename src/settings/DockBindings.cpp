#include "settings/DockBindings.h"

#include "core/VantrelHaptics.h"

namespace vantrel {

using Setting = VantrelPreferences::Setting;
using P = VantrelPreferences;

const DockBindings::Choice DockBindings::reveal{Setting::customDockRevealDelay,
                                                &P::customDockRevealDelay,
                                                &P::setCustomDockRevealDelay,
                                                0.07,
                                                0.16,
                                                {0.03, 0.1, 0.24},
                                                true};
const DockBindings::Choice DockBindings::hide{Setting::customDockHideDelay,
                                              &P::customDockHideDelay,
                                              &P::setCustomDockHideDelay,
                                              0.3,
                                              0.62,
                                              {0.18, 0.45, 0.82},
                                              true};
const DockBindings::Choice DockBindings::spacing{
    Setting::customDockSpacing, &P::customDockSpacing, &P::setCustomDockSpacing, 6, 10, {4, 8, 13}, false};
const DockBindings::Choice DockBindings::shape{Setting::customDockCornerRadius,
                                               &P::customDockCornerRadius,
                                               &P::setCustomDockCornerRadius,
                                               20,
                                               34,
                                               {14, 25, 48},
                                               false};
const DockBindings::Choice DockBindings::magnification{Setting::customDockMagnificationScale,
                                                       &P::customDockMagnificationScale,
                                                       &P::setCustomDockMagnificationScale,
                                                       1.17,
                                                       1.3,
                                                       {1.11, 1.23, 1.38},
                                                       false};
const DockBindings::Choice DockBindings::glass{Setting::customDockOpacity,
                                               &P::customDockOpacity,
                                               &P::setCustomDockOpacity,
                                               0.62,
                                               0.82,
                                               {0.5, 0.72, 0.92},
                                               false};

DockBindings::DockBindings(VantrelPreferences& preferences, VantrelHaptics& haptics,
                           std::function<void()> applyBehavior, std::function<void()> reposition)
    : preferences_(preferences), haptics_(haptics), applyBehavior_(std::move(applyBehavior)),
      reposition_(std::move(reposition)) {}

int DockBindings::index(const Choice& choice, double value) {
    // Both comparisons are strict, and a value that is no number fails both: it reads as 1.
    if (value < choice.lower) return 0;
    if (value > choice.upper) return 2;
    return 1;
}

int DockBindings::read(const Choice& choice) const {
    return index(choice, (preferences_.*choice.get)());
}

void DockBindings::write(const Choice& choice, int index) {
    choiceBinding(choice).set(index);
}

SettingBinding<int> DockBindings::choiceBinding(const Choice& choice) const {
    const Choice* which = &choice;
    VantrelPreferences* store = &preferences_;
    VantrelHaptics* haptics = &haptics_;
    return {
        .get = [store, which] { return index(*which, (store->*which->get)()); },
        .set =
            [store, haptics, which, after = applyBehavior_](int chosen) {
                // The pickers offer three segments only; any other index has no value to write.
                if (chosen < 0 || chosen > 2) return;
                haptics->play(HapticSurface::controls);
                (store->*which->set)(which->values[std::size_t(chosen)]);
                if (which->reappliesBehavior && after) after();
            },
        .observe =
            [store, which](const QObject* context, std::function<void()> action) {
                store->onChange(which->setting, context, action);
            },
    };
}

SettingBinding<double> DockBindings::dockIconSizeBinding() const {
    return VANTREL_PREFERENCE_BINDING(preferences_, customDockIconSize, CustomDockIconSize);
}

SettingBinding<double> DockBindings::dockThicknessBinding() const {
    return VANTREL_PREFERENCE_BINDING(preferences_, customDockVerticalPadding, CustomDockVerticalPadding);
}

SettingBinding<DockHideMode> DockBindings::dockHideModeBinding() const {
    SettingBinding<DockHideMode> binding =
        VANTREL_PREFERENCE_BINDING(preferences_, customDockHideMode, CustomDockHideMode);
    VantrelPreferences* store = &preferences_;
    VantrelHaptics* haptics = &haptics_;
    binding.set = [store, haptics, after = applyBehavior_](DockHideMode mode) {
        haptics->play(HapticSurface::dock);
        store->setCustomDockHideMode(mode);
        store->setCustomDockAutoHide(mode != DockHideMode::never);
        if (after) after();
    };
    return binding;
}

template <typename T>
SettingBinding<T> DockBindings::tickingBinding(Setting setting, T (VantrelPreferences::*getter)() const,
                                               void (VantrelPreferences::*setter)(T),
                                               std::function<void()> after) const {
    SettingBinding<T> binding = preferenceBinding(preferences_, setting, getter, setter);
    VantrelPreferences* store = &preferences_;
    VantrelHaptics* haptics = &haptics_;
    binding.set = [store, haptics, setter, after = std::move(after)](T value) {
        haptics->play(HapticSurface::controls);
        (store->*setter)(value);
        if (after) after();
    };
    return binding;
}

SettingBinding<DockAlignment> DockBindings::dockAlignmentBinding() const {
    return tickingBinding(Setting::customDockAlignment, &P::customDockAlignment, &P::setCustomDockAlignment,
                          reposition_);
}

SettingBinding<DockTint> DockBindings::dockTintBinding() const {
    return tickingBinding(Setting::customDockTint, &P::customDockTint, &P::setCustomDockTint, {});
}

SettingBinding<DockIconAnimation> DockBindings::dockAnimationBinding() const {
    return tickingBinding(Setting::customDockIconAnimation, &P::customDockIconAnimation,
                          &P::setCustomDockIconAnimation, {});
}

SettingBinding<DockAnimationSpeed> DockBindings::dockAnimationSpeedBinding() const {
    return tickingBinding(Setting::customDockAnimationSpeed, &P::customDockAnimationSpeed,
                          &P::setCustomDockAnimationSpeed, {});
}

} // namespace vantrel
