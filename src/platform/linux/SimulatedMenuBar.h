#pragma once

#include "platform/MenuBarItemSource.h"
#include "platform/StatusItem.h"

#include <QRectF>
#include <memory>
#include <optional>
#include <vector>

namespace vantrel {

class Screens;

// The menu bar as the organizer sees it, kept in memory because a tray tells nobody where its
// icons are: this program's status items, right to left from the primary screen's right edge in
// order of creation, then the other programs' items, in the top 24 points. A tray offers no way
// to drag an item between others, so every other program's item lies left of this program's
// items; a divider stretched to hide therefore puts them all left of the screen.
//
// It stands between the organizer and the real status bar: items are made by `backend` and
// recorded here with their lengths. A tray hides a stretched divider (no icon can be 2048 points
// wide); the model still lays it out at its length.
class SimulatedMenuBar final : public StatusBar, public MenuBarItemSource {
public:
    // Every icon is a square of this size, and the bar is this tall.
    static constexpr double kItemSize = 24;

    // Another program's item that the model answers with where the desktop lists none.
    struct OtherItem {
        std::optional<QString> title;
        std::optional<QString> description;
        std::optional<QString> help;
        std::optional<QString> ownerName;
    };

    SimulatedMenuBar(StatusBar& backend, const Screens& screens);
    ~SimulatedMenuBar() override;
    SimulatedMenuBar(const SimulatedMenuBar&) = delete;
    SimulatedMenuBar& operator=(const SimulatedMenuBar&) = delete;

    std::unique_ptr<StatusItem> createItem(const QString& autosaveName) override;
    // The model lays a long divider out at its length, but the tray under it hides no icon.
    bool lengthHidesOtherItems() const override { return false; }

    // The other programs' items when no desktop lists them: none unless set.
    void setOtherItems(std::vector<OtherItem> items) { others_ = std::move(items); }
    // The other items set here, placed in the bar.
    std::vector<MenuBarItemRecord> menuBarItems() const;
    // Delivers menuBarItems() before it returns.
    void requestMenuBarItems(Delivery deliver) override { deliver(menuBarItems()); }

    // Where the other program's item `index` lies: 0 is the one nearest this program's items.
    QRectF otherItemFrame(int index) const;
    // Where this program's item of that name lies; none when there is no such item.
    std::optional<QRectF> itemFrame(const QString& autosaveName) const;

private:
    class ModelItem;
    struct Registry;

    // The left edge of this program's leftmost item.
    double leftOfOwnItems() const;
    double rightEdge() const;
    double top() const;

    StatusBar& backend_;
    const Screens& screens_;
    // Shared with the items, which may outlive the model.
    std::shared_ptr<Registry> registry_;
    std::vector<OtherItem> others_;
};

} // namespace vantrel
