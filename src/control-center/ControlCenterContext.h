#pragma once

#include "control-center/HomePageContext.h"

namespace vantrel {

class AppState;
class Scheduler;
class SystemAppearance;
class ThemeImageStore;
class VantrelHaptics;
class VantrelMotion;
class VantrelPreferences;

// What the control-center window and its pages are built from: the application state, the
// settings store and the shared kit services the views draw and play with.
struct ControlCenterContext {
    AppState& state;
    VantrelPreferences& preferences;
    VantrelMotion& motion;
    VantrelHaptics& haptics;
    SystemAppearance& appearance;
    ThemeImageStore& themeImages;
    Scheduler& scheduler;
    // What the home page is built from.
    HomePageContext home;
};

} // namespace vantrel
