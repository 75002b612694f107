#pragma once

#include "control-center/HomePageContext.h"

namespace vantrel {

class AppState;

// Fills the home page's context from the application state: its stores, its section and its
// command palette, with the platform services the composition root hands in.
struct HomePageWiring {
    struct Services {
        VantrelMotion& motion;
        VantrelHaptics& haptics;
        SystemAppearance& appearance;
        const Clock& clock;
        OpenPanel& openPanel;
        MenuPresenter& menus;
        FileManager& files;
        const FileNotices* fileNotices = nullptr;
        WorkQueue* pictures = nullptr;
    };

    static HomePageContext make(AppState& state, const Services& services);
};

} // namespace vantrel
