#pragma once

#include <QString>
#include <QUuid>

namespace vantrel {

// One item of another program in the menu bar, as the scanner lists it.
struct MenuBarItemModel {
    // Made new at every scan.
    QUuid id;
    QString title;
    // The owning program's name, or "macOS" when it is unknown.
    QString owner;
    // The item's left edge in the screens' coordinates, in points.
    double xPosition = 0;

    bool operator==(const MenuBarItemModel&) const = default;
};

} // namespace vantrel
