#pragma once

#include "core/VantrelPreferences.h"

#include <QObject>
#include <functional>

namespace vantrel {

// A two-way link between a control and one value of a model: how to read it, how to write it,
// and how to hear that it changed (from whichever side). Pages make one per setting they show;
// the control reads it to sync and writes it only on a choice of the user.
template <typename T> struct SettingBinding {
    std::function<T()> get;
    std::function<void(T)> set;
    // Calls `action` after every change of the value, for as long as `context` lives.
    std::function<void(const QObject* context, std::function<void()> action)> observe;
};

// A binding straight to one setting of the store.
template <typename T>
SettingBinding<T> preferenceBinding(VantrelPreferences& preferences, VantrelPreferences::Setting setting,
                                    T (VantrelPreferences::*getter)() const,
                                    void (VantrelPreferences::*setter)(T)) {
    VantrelPreferences* store = &preferences;
    return {
        .get = [store, getter] { return (store->*getter)(); },
        .set = [store, setter](T value) { (store->*setter)(std::move(value)); },
        .observe =
            [store, setting](const QObject* context, std::function<void()> action) {
                store->onChange(setting, context, std::move(action));
            },
    };
}

} // namespace vantrel

// preferenceBinding for the setting `name` (`Name` its capitalised form), e.g.
// VANTREL_PREFERENCE_BINDING(preferences, notchEnabled, NotchEnabled).
#define VANTREL_PREFERENCE_BINDING(preferences, name, Name)                                                  \
    ::vantrel::preferenceBinding((preferences), ::vantrel::VantrelPreferences::Setting::name,                \
                                 &::vantrel::VantrelPreferences::name,                                       \
                                 &::vantrel::VantrelPreferences::set##Name)
