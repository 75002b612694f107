#pragma once

#include "kit/Navigation.h"
#include "notch/NotchSurfaceContext.h"

#include <QColor>
#include <functional>

class QWidget;

namespace vantrel {

class VantrelHaptics;

// What the content switch hands a tab's view.
struct NotchTabContext {
    NotchSurfaceContext surface;
    QColor accent;
    VantrelHaptics* haptics = nullptr;
    // Whether a file drag is over the surface right now (the files tab shows its drop state).
    std::function<bool()> isDropTarget;
};

// The content switch of the open notch: one view per tab over the store it shows. Tabs whose
// views are not built yet show a placeholder naming the tab.
namespace NotchTabContent {

// A new view of `tab`; home has none (its glance row is part of the surface) and gives null.
QWidget* make(NotchTab tab, const NotchTabContext& context, QWidget* parent);

} // namespace NotchTabContent

} // namespace vantrel
