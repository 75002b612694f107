#include "control-center/PageFactory.h"

#include "control-center/HomePage.h"
#include "control-center/NotificationsPage.h"
#include "control-center/PermissionsPage.h"
#include "control-center/PlaceholderPage.h"

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
    case VantrelSection::notifications:
        page = new NotificationsPage(context_, parent);
        break;
    case VantrelSection::permissions:
        page = new PermissionsPage(context_, parent);
        break;
    // The other pages are still to be built: each shows its placeholder until its own view lands
    // here.
    case VantrelSection::notch:
    case VantrelSection::menuBar:
    case VantrelSection::dock:
    case VantrelSection::feedback:
    case VantrelSection::appearance:
        page = new PlaceholderPage(context_.preferences, title(shown), parent);
        break;
    }
    page->setObjectName(rawValue(shown));
    return page;
}

} // namespace vantrel
