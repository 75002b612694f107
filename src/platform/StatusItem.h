#pragma once

#include <QRect>
#include <QString>
#include <functional>
#include <memory>
#include <optional>

class QMenu;

namespace vantrel {

enum class StatusItemClick { left, right };

// The application's item in the desktop's status area (the system tray).
class StatusItem {
public:
    virtual ~StatusItem() = default;
    // The length that follows the item's content (its icon).
    static constexpr double kVariableLength = -1;

    virtual QString autosaveName() const = 0;
    // A monochrome symbol from the glyph catalogue, with the text that describes it to
    // assistive technologies. The item shows the image only, never a title; an empty symbol name
    // leaves it without an image.
    virtual void setImage(const QString& symbolName, const QString& accessibilityDescription) = 0;
    // The item's width in points, or kVariableLength. A tray draws every icon at its own square
    // size: there the length is kept as state only.
    virtual void setLength(double length) = 0;
    virtual double length() const = 0;
    // Whether the item is in the status area at all.
    virtual void setVisible(bool visible) = 0;
    virtual bool isVisible() const = 0;
    virtual void setToolTip(const QString& toolTip) = 0;
    // Called on the main thread for every click on the item.
    virtual void setClickHandler(std::function<void(StatusItemClick)> handler) = 0;
    // Shows `menu` at the item and returns once it has closed. The menu belongs to the item only
    // while it is shown, so a later left click never opens it.
    virtual void popUpMenu(QMenu& menu) = 0;
    // The menu the desktop itself opens on a right click, where it opens menus of its own; null
    // takes it away. While an item has one, its right clicks go to that menu, not to the click
    // handler. A left click never opens it.
    virtual void setContextMenu(QMenu* menu) = 0;
    // Where the item sits on screen; none when the desktop does not say.
    virtual std::optional<QRect> frameOnScreen() const = 0;
};

class StatusBar {
public:
    virtual ~StatusBar() = default;
    // A new item of the standard square size, remembered by the desktop under `autosaveName`.
    virtual std::unique_ptr<StatusItem> createItem(const QString& autosaveName) = 0;
    // Whether an item made very long pushes the other programs' items beside it out of sight, as a
    // menu bar that lays its items out by length does. A tray draws every icon whatever the length.
    virtual bool lengthHidesOtherItems() const { return true; }
};

} // namespace vantrel
