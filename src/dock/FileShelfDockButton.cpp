#include "dock/FileShelfDockButton.h"

#include "kit/GlyphCatalogue.h"
#include "kit/VantrelType.h"
#include "modules/FileShelfStore.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>

namespace vantrel {

namespace {
QFont badgeFont() {
    return VantrelType::font(9, QFont::Bold);
}
} // namespace

FileShelfDockButton::FileShelfDockButton(const DockViewContext& context, QWidget* parent)
    : DockTile(context, parent) {
    setToolTip(QStringLiteral("Temporary File Shelf"));
    connect(&context.shelf, &FileShelfStore::itemsChanged, this, &FileShelfDockButton::refresh);
    refresh();
}

int FileShelfDockButton::count() const {
    return int(context_.shelf.items().size());
}

QString FileShelfDockButton::accessibleText(int count) {
    return QStringLiteral("Temporary File Shelf, %1 item%2").arg(count).arg(count == 1 ? "" : "s");
}

void FileShelfDockButton::refresh() {
    setAccessibleName(accessibleText(count()));
    Q_EMIT needsDisplay();
}

QRectF FileShelfDockButton::badgeRect() const {
    if (count() < 1) return {};
    const QFontMetricsF metrics(badgeFont());
    const QString text = QString::number(count());
    // The text with 4 points around it, on a circle; over the top-right corner, 5 right and 5 up.
    const double side = std::max(metrics.horizontalAdvance(text), metrics.height()) + 8;
    const QRectF icon = iconRect();
    return {icon.right() - side + 5, icon.top() - 5, side, side};
}

void FileShelfDockButton::paintIcon(QPainter& painter) const {
    const QRectF icon = iconRect();
    const double s = icon.width();
    QPainterPath square;
    square.addRoundedRect(icon, 11, 11);
    painter.fillPath(square, standardGradient(QColor(255, 149, 0), icon));
    const QRectF glyph(icon.center().x() - s * 0.225, icon.center().y() - s * 0.225, s * 0.45, s * 0.45);
    GlyphCatalogue::paint(painter, u"tray.full.fill", glyph, Qt::white, QFont::DemiBold);
    const QRectF badge = badgeRect();
    if (badge.isEmpty()) return;
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(255, 59, 48));
    painter.drawEllipse(badge);
    painter.setPen(Qt::white);
    painter.setFont(badgeFont());
    painter.drawText(badge, Qt::AlignCenter, QString::number(count()));
}

void FileShelfDockButton::activate() {
    if (context_.openShelf) context_.openShelf();
}

} // namespace vantrel
