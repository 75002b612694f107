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
    virtual QString autosaveName() const = 0;
    // A monochrome symbol from the glyph catalogue, with the text that describes it to
    // assistive technologies. The item shows the image only, never a title.
    virtual void setImage(const QString& symbolName, const QString& accessibilityDescription) = 0;
    virtual void setToolTip(const QString& toolTip) = 0;
    // Called on the main thread for every click on the item.
    virtual void setClickHandler(std::function<void(StatusItemClick)> handler) = 0;
    // Shows `menu` at the item and returns once it has closed. The menu belongs to the item only
    // while it is shown, so a later left click never opens it.
    virtual void popUpMenu(QMenu& menu) = 0;
    // Where the item sits on screen; none when the desktop does not say.
    virtual std::optional<QRect> frameOnScreen() const = 0;
};

class StatusBar {
public:
    virtual ~StatusBar() = default;
    // A new item of the standard square size, remembered by the desktop under `autosaveName`.
    virtual std::unique_ptr<StatusItem> createItem(const QString& autosaveName) = 0;
};

} // namespace vantrel
