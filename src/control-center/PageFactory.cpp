#include "control-center/PageFactory.h"

#include "control-center/HomePage.h"
#include "control-center/PlaceholderPage.h"
#include "settings/AppearancePage.h"
#include "settings/DockPage.h"
#include "settings/FeedbackPage.h"
#include "settings/MenuBarPage.h"
#include "settings/NotchSettingsPage.h"
#include "settings/NotificationsPage.h"
#include "settings/PermissionsPage.h"

#include <algorithm>

namespace vantrel {

VantrelSection PageFactory::pageSection(VantrelSection section) {
    const std::vector<VantrelSection> available = availableSections();
    return std::find(available.begin(), available.end(), section) != available.end() ? section
                                                                                     : VantrelSection::home;
}

QWidget* PageFactory::makePage(VantrelSection section, QWidget* parent) const {
    const VantrelSection shown = pageSection(section);
    QWidget* page = nullptr;
    switch (shown) {
    case VantrelSection::home:
    case VantrelSection::automations:
        page = new HomePage(context_.home, parent);
        break;
    case VantrelSection::appearance:
        page = new AppearancePage({.preferences = context_.preferences,
                                   .haptics = context_.haptics,
                                   .motion = context_.motion,
                                   .appearance = context_.appearance,
                                   .themeImages = context_.themeImages,
                                   .permissions = context_.permissions,
                                   .colorPicker = context_.colorPicker,
                                   .applyPreferences = context_.applyPreferences},
                                  parent);
        break;
    case VantrelSection::notch:
        page = new NotchSettingsPage({.preferences = context_.preferences,
                                      .haptics = context_.haptics,
                                      .motion = context_.motion,
                                      .appearance = context_.appearance,
                                      .themeImages = context_.themeImages,
                                      .menus = context_.menus,
                                      .notch = context_.notch,
                                      .applyPreferences = context_.applyPreferences,
                                      .repositionNotch = context_.repositionNotch,
                                      .showNotch = context_.showNotch},
                                     parent);
        break;
    case VantrelSection::dock:
        if (context_.dock) {
            page = new DockPage(context_, *context_.dock, parent);
            break;
        }
        page = new PlaceholderPage(context_.preferences, title(shown), parent);
        break;
    case VantrelSection::notifications:
        page = new NotificationsPage(context_, parent);
        break;
    case VantrelSection::permissions:
        page = new PermissionsPage(context_, parent);
        break;
    case VantrelSection::menuBar:
        page = new MenuBarPage(context_, parent);
        break;
    case VantrelSection::feedback:
        page = new FeedbackPage(context_, parent);
        break;
    }
    page->setObjectName(rawValue(shown));
    return page;
}

} // namespace vantrel
