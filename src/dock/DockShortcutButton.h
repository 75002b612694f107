#pragma once

#include "dock/DockShortcut.h"
#include "dock/DockTile.h"

#include <QAbstractButton>
#include <QIcon>
#include <QPixmap>
#include <functional>

namespace vantrel {

// A pinned application, folder or website: its file icon, a coloured folder or a web
// placeholder; a click opens it (not while the Dock's items are edited, when a red badge removes
// it instead); its menu depends on the kind.
class DockShortcutButton final : public DockTile {
    Q_OBJECT
public:
    // How the icon is drawn, by the first rule that applies. An application whose entry's icon
    // cannot be drawn shows its running window's icon, else the generic application; never the
    // web placeholder.
    enum class IconRule { fileIcon, coloredFolder, windowIcon, genericApplication, placeholder };

    DockShortcutButton(const DockShortcut& item, const DockViewContext& context, QWidget* parent = nullptr);

    const DockShortcut& item() const { return item_; }
    void setItem(const DockShortcut& item);
    bool isEditing() const { return isEditing_; }
    void setEditing(bool editing);
    IconRule iconRule() const { return rule_; }
    // The red remove badge (a button), shown while editing; it stands over the tile's top edge, so
    // it belongs to the Dock view, which places it at `badgeRect()` of the tile.
    QAbstractButton* removeBadge() const { return badge_; }
    QRectF badgeRect() const;
    // The badge's shadow: black at `opacity`, blurred over `radius` points all round.
    struct BadgeShadow {
        double opacity;
        double radius;
    };
    static BadgeShadow badgeShadow();

    DockMenu menu() override;
    void activate() override;

    // The menu of `item`: by kind, as the tiles show it. `playDockHaptic` follows a colour choice.
    static DockMenu menuFor(const DockShortcut& item, DockContentStore& content, RunningAppsStore& store,
                            Workspace& workspace, std::function<void()> playDockHaptic);

protected:
    void paintIcon(QPainter& painter) const override;
    QString labelText() const override;
    void pictureSideChanged() override;

private:
    void updateIcon();
    // Picks the rule and the picture from the entry's icon as last read.
    void chooseIcon();

    DockShortcut item_;
    bool isEditing_ = false;
    IconRule rule_ = IconRule::placeholder;
    QPixmap pixmap_;
    // The icon `pixmap_` is drawn from, taken again at each side the tile keeps.
    QIcon shownIcon_;
    // The item's own icon, read when the item is set, and its picture; null when it has none that
    // can be drawn.
    QIcon fileIcon_;
    QPixmap filePixmap_;
    QAbstractButton* badge_ = nullptr;
};

} // namespace vantrel
