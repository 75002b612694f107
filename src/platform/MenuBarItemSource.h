#pragma once

#include <QPointF>
#include <QString>
#include <functional>
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
    using Delivery = std::function<void(std::vector<MenuBarItemRecord>)>;

    virtual ~MenuBarItemSource() = default;
    // Asks for the items and returns without waiting for the desktop. `deliver` gets them once,
    // on the main thread, in the order the desktop lists them and never with an item of this
    // program: before this returns when the answer is at hand, else from the event loop within
    // the source's own time limit, with whatever answered by then. A source destroyed first
    // never calls it.
    virtual void requestMenuBarItems(Delivery deliver) = 0;
};

} // namespace vantrel
