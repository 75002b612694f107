#pragma once

#include "app/HomePageWiring.h"
#include "control-center/ControlCenterContext.h"

namespace vantrel {

class AppState;
class ColorPicker;
class Scheduler;
class ThemeImageStore;

// Fills the control center's context from the application state: its stores, its section, the
// settings it applies on completing the onboarding and the home page's context, with the
// platform services the composition root hands in.
struct ControlCenterWiring {
    struct Services {
        VantrelMotion& motion;
        VantrelHaptics& haptics;
        SystemAppearance& appearance;
        ThemeImageStore& themeImages;
        Scheduler& scheduler;
        const Clock& clock;
        OpenPanel& openPanel;
        MenuPresenter& menus;
        FileManager& files;
        // The appearance page's colour wells.
        ColorPicker& colorPicker;
        FileNotices* fileNotices = nullptr;
        // Where the screenshots' thumbnails are read and decoded.
        WorkQueue* pictures = nullptr;
    };

    static ControlCenterContext make(AppState& state, const Services& services);
};

} // namespace vantrel
