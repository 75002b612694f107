#pragma once

#include "dock/DockHoverLabel.h"
#include "dock/DockIconEffect.h"
#include "dock/DockMenu.h"
#include "dock/DockViewContext.h"

#include <QIcon>
#include <QPainterPath>
#include <QWidget>

namespace vantrel {

// What every tile of the Dock's row shares: the hover state that drives the icon effect and the
// name bubble, the context menu through the menu presenter, and the standard frame of (icon + 5)
// by (icon + 12) points. The tile takes the pointer; the Dock view draws it, unclipped, so the
// magnified icon and the bubble may reach over its neighbours and the clear band.
class DockTile : public QWidget {
    Q_OBJECT
public:
    DockTile(const DockViewContext& context, QWidget* parent = nullptr);

    bool hovering() const { return effect_.hovering(); }
    // Pointer enter and exit.
    void setHovering(bool hovering);
    const DockIconEffect& effect() const { return effect_; }
    const DockHoverLabel& label() const { return label_; }
    // The icon's side in points.
    double iconSize() const;
    // The icon's place in the tile, before the hover effect.
    virtual QRectF iconRect() const;
    // The icon's picture as it is kept: at the size it is drawn at rest, and as large as the hover
    // effect draws it while that magnifies it (in the icon's active mode then, which the icon
    // need not keep for others), in the tile's device pixels.
    QPixmap picture(const QIcon& icon) const;
    // The tile's width in the row (icon + 5 for the standard tiles).
    virtual double tileWidth() const;

    // Draws the tile in its own coordinates; the view translates the painter to the tile and
    // leaves it unclipped.
    void paintTile(QPainter& painter) const;
    // Draws the name bubble above the tile, in the tile's coordinates.
    void paintLabel(QPainter& painter) const;
    // Where the tile draws beyond its frame now, in its own coordinates: its icon while the hover
    // effect moves it from rest, and its bubble while that shows; empty at rest.
    QPainterPath overflow() const;
    // The context menu; empty for a tile without one.
    virtual DockMenu menu() { return {}; }
    // The click; also the press of assistive technology on a tile that is a button.
    virtual void activate() {}
    // Whether assistive technology sees the tile as a button whose press clicks it.
    virtual bool isButton() const { return true; }
    // Set on pinned tiles: called when the pointer, pressed on the tile, moved far enough to drag.
    std::function<void(DockTile&)> startDrag;

Q_SIGNALS:
    // Something the view draws of the tile changed.
    void needsDisplay();

protected:
    // The icon, drawn into `iconRect()` under the hover effect.
    virtual void paintIcon(QPainter& painter) const = 0;
    // What is drawn outside the effect (the indicator dot, a badge).
    virtual void paintDecoration(QPainter&) const {}
    // The name in the bubble; empty: no bubble.
    virtual QString labelText() const { return {}; }
    // What picture() takes changed: the tile takes its picture again.
    virtual void pictureSideChanged() {}

    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void paintEvent(QPaintEvent*) override {}

    // Called when the label text or the settings it depends on change.
    void refreshLabel();

    const DockViewContext& context_;
    bool pressed_ = false;
    QPointF pressPosition_;

private:
    DockHoverLabel::Layout labelLayout() const;

    DockIconEffect effect_;
    DockHoverLabel label_;
    bool magnified() const;
    // The side in device pixels picture() takes.
    int pictureSide() const;

    // The side last told to pictureSideChanged().
    int pictureSide_ = 0;
};

// Fills `name`'s glyph into `box` with `brush` (a gradient, say), the catalogue's strokes drawn
// with it at `weight`.
void paintGlyphWithBrush(QPainter& painter, QStringView name, const QRectF& box, const QBrush& brush,
                         QFont::Weight weight = QFont::Normal);
// The platform's standard gradient derived from one colour: a lighter top to the colour.
QBrush standardGradient(const QColor& color, const QRectF& rect);

} // namespace vantrel
