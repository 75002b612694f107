#include "dock/DockTile.h"

#include "core/VantrelPreferences.h"
#include "kit/GlyphCatalogue.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QApplication>
#include <QContextMenuEvent>
#include <QLinearGradient>
#include <QMouseEvent>
#include <QPainter>
#include <QPolygonF>
#include <cmath>

namespace vantrel {

namespace {

// A tile as assistive technology sees it: a button, named as its tooltip, whose press does what
// a click does.
class DockTileAccessible final : public QAccessibleWidget {
public:
    explicit DockTileAccessible(DockTile* tile) : QAccessibleWidget(tile, QAccessible::Button) {}

    QStringList actionNames() const override {
        return QStringList{pressAction()} + QAccessibleWidget::actionNames();
    }
    void doAction(const QString& name) override {
        if (name == pressAction())
            static_cast<DockTile*>(widget())->activate();
        else
            QAccessibleWidget::doAction(name);
    }
};

QAccessibleInterface* accessibleTile(const QString&, QObject* object) {
    auto* tile = qobject_cast<DockTile*>(object);
    return tile && tile->isButton() ? new DockTileAccessible(tile) : nullptr;
}

} // namespace

DockTile::DockTile(const DockViewContext& context, QWidget* parent)
    : QWidget(parent), context_(context), effect_(context.preferences, context.motion) {
    [[maybe_unused]] static const bool accessible = [] {
        QAccessible::installFactory(&accessibleTile);
        return true;
    }();
    setAttribute(Qt::WA_NoSystemBackground);
    setAttribute(Qt::WA_TranslucentBackground);
    setFocusPolicy(Qt::NoFocus);
    connect(&effect_, &DockIconEffect::changed, this, [this] {
        // Magnified, the icon is drawn from a larger picture, taken as the effect starts; at rest
        // again, the larger one is let go.
        if (const int side = pictureSide(); side != pictureSide_) {
            pictureSide_ = side;
            pictureSideChanged();
        }
        Q_EMIT needsDisplay();
    });
    connect(&label_, &DockHoverLabel::changed, this, &DockTile::needsDisplay);
    connect(&context.preferences, &VantrelPreferences::changed, this,
            [this](VantrelPreferences::Setting setting) {
                if (setting == VantrelPreferences::Setting::customDockShowLabels) refreshLabel();
            });
}

double DockTile::iconSize() const {
    return context_.preferences.customDockIconSize();
}

bool DockTile::magnified() const {
    // Until the effect is back at rest, as it shrinks after the pointer left.
    return (effect_.hovering() || effect_.current().scale > 1) && effect_.hoveredScale() > 1;
}

int DockTile::pictureSide() const {
    return int(std::ceil(std::ceil(iconSize() * (magnified() ? effect_.hoveredScale() : 1.0)) *
                         devicePixelRatioF()));
}

QPixmap DockTile::picture(const QIcon& icon) const {
    const int side = int(std::ceil(iconSize() * (magnified() ? effect_.hoveredScale() : 1.0)));
    return icon.pixmap(QSize(side, side), devicePixelRatioF(), magnified() ? QIcon::Active : QIcon::Normal);
}

double DockTile::tileWidth() const {
    return iconSize() + 5;
}

QRectF DockTile::iconRect() const {
    const double s = iconSize();
    return {(width() - s) / 2, (height() - s) / 2, s, s};
}

void DockTile::setHovering(bool hovering) {
    if (effect_.hovering() == hovering) return;
    effect_.setHovering(hovering);
    refreshLabel();
    Q_EMIT needsDisplay();
}

void DockTile::refreshLabel() {
    const QString text = labelText();
    label_.setText(text);
    label_.setVisible(hovering() && !text.isEmpty());
}

void DockTile::paintTile(QPainter& painter) const {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    effect_.paint(painter, iconRect(), [this](QPainter& p) { paintIcon(p); });
    paintDecoration(painter);
    painter.restore();
}

DockHoverLabel::Layout DockTile::labelLayout() const {
    // Over the top of the tile, moved up by 22 points.
    return DockHoverLabel::layout(label_.text(), QPointF(width() / 2.0, -22));
}

void DockTile::paintLabel(QPainter& painter) const {
    if (label_.text().isEmpty() || label_.opacity() <= 0) return;
    DockHoverLabel::paint(painter, labelLayout(), label_.opacity());
}

QPainterPath DockTile::overflow() const {
    QPainterPath icon;
    if (!(effect_.current() == DockIconVisualState{})) {
        const QRectF rest = iconRect();
        icon.addPolygon(effect_.transform(rest).map(QPolygonF(rest)));
        icon.closeSubpath();
    }
    if (label_.text().isEmpty() || label_.opacity() <= 0) return icon;
    QPainterPath bubble;
    const QRectF capsule = labelLayout().capsule;
    bubble.addRoundedRect(capsule, capsule.height() / 2, capsule.height() / 2);
    // United: laid one over the other, where they overlap would count as outside.
    return icon.isEmpty() ? bubble : icon.united(bubble);
}

void DockTile::enterEvent(QEnterEvent* event) {
    QWidget::enterEvent(event);
    setHovering(true);
}

void DockTile::leaveEvent(QEvent* event) {
    QWidget::leaveEvent(event);
    setHovering(false);
}

void DockTile::mousePressEvent(QMouseEvent* event) {
    pressed_ = event->button() == Qt::LeftButton;
    pressPosition_ = event->position();
    event->accept();
}

void DockTile::mouseMoveEvent(QMouseEvent* event) {
    if (!pressed_ || !startDrag) return;
    if ((event->position() - pressPosition_).manhattanLength() < QApplication::startDragDistance()) return;
    // A drag is no click.
    pressed_ = false;
    startDrag(*this);
}

void DockTile::mouseReleaseEvent(QMouseEvent* event) {
    const bool click =
        pressed_ && event->button() == Qt::LeftButton && rect().contains(event->position().toPoint());
    pressed_ = false;
    if (click) activate();
}

void DockTile::contextMenuEvent(QContextMenuEvent* event) {
    const DockMenu model = menu();
    if (model.items().isEmpty()) return;
    model.present(context_.menus, this, event->globalPos());
    event->accept();
}

void paintGlyphWithBrush(QPainter& painter, QStringView name, const QRectF& box, const QBrush& brush,
                         QFont::Weight weight) {
    const double side = std::min(box.width(), box.height());
    const double unit = side / GlyphCatalogue::kBoxSide;
    QTransform transform;
    transform.translate(box.center().x() - side / 2, box.center().y() - side / 2);
    transform.scale(unit, unit);
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    for (const GlyphLayer& layer : GlyphCatalogue::layers(name)) {
        const QPainterPath path = transform.map(layer.path);
        if (layer.stroked) {
            painter.strokePath(path, QPen(brush, GlyphCatalogue::strokeWidth(weight) * unit, Qt::SolidLine,
                                          Qt::RoundCap, Qt::RoundJoin));
        } else {
            painter.fillPath(path, brush);
        }
    }
    painter.restore();
}

QBrush standardGradient(const QColor& color, const QRectF& rect) {
    QLinearGradient gradient(rect.topLeft(), rect.bottomLeft());
    gradient.setColorAt(0, color.lighter(125));
    gradient.setColorAt(1, color);
    return gradient;
}

} // namespace vantrel
