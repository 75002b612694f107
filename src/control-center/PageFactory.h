#pragma once

#include "control-center/ControlCenterContext.h"
#include "kit/Navigation.h"

class QWidget;

namespace vantrel {

// Builds the page of a section, a new one every time, so a page's own view state starts fresh
// on each visit. Sections the navigation does not offer (automations) show the home page; a
// section whose page is not built yet shows a placeholder titled by the section. Each page's
// object name is the raw value of the section it shows.
class PageFactory {
public:
    explicit PageFactory(const ControlCenterContext& context) : context_(context) {}

    // The section whose page shows for `section`: itself when the navigation offers it, else home.
    static VantrelSection pageSection(VantrelSection section);
    QWidget* makePage(VantrelSection section, QWidget* parent = nullptr) const;

private:
    ControlCenterContext context_;
};

} // namespace vantrel
