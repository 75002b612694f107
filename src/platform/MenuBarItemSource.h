#pragma once

#include <QPointF>
#include <QString>
#include <optional>
#include <vector>

namespace vantrel {

// One item another program shows in the desktop's status area, as the desktop describes it.
struct MenuBarItemRecord {
    // The three names an item may give, in the order a title is looked for: its title, its
    // tooltip's title and its identifier. None when the item does not give that name; an empty
    // text is a name it gives.
    std::optional<QString> title;
    std::optional<QString> description;
    std::optional<QString> help;
    // The name of the program that shows the item; none when it is unknown.
    std::optional<QString> ownerName;
    // The item's top-left corner in the screens' coordinates, in points.
    QPointF position;

    bool operator==(const MenuBarItemRecord&) const = default;
};

// Other programs' status items. Reads only: it never presses, moves or hides one.
class MenuBarItemSource {
public:
    virtual ~MenuBarItemSource() = default;
    // In the order the desktop lists them; never an item of this program. Blocks the caller for
    // as long as the desktop takes to answer, within the source's own time limits.
    virtual std::vector<MenuBarItemRecord> menuBarItems() = 0;
};

} // namespace vantrel
