#include "control-center/VantrelMark.h"

#include <QGuiApplication>
#include <QIconEngine>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <algorithm>
#include <cmath>

namespace vantrel {

namespace {

// The application's icon as drawn when the desktop gave it none: a dark rounded tile with a
// light "V" stroke, the same in both appearances.
QPixmap drawnIcon(int side) {
    QPixmap pixmap(side, side);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF tile(0, 0, side, side);
    QLinearGradient fill(tile.topLeft(), tile.bottomRight());
    fill.setColorAt(0, QColor(58, 62, 74));
    fill.setColorAt(1, QColor(14, 16, 22));
    painter.setPen(Qt::NoPen);
    painter.setBrush(fill);
    painter.drawRoundedRect(tile, side * 0.225, side * 0.225);
    QPainterPath v;
    v.moveTo(side * 0.29, side * 0.30);
    v.lineTo(side * 0.50, side * 0.72);
    v.lineTo(side * 0.71, side * 0.30);
    painter.setPen(QPen(QColor(246, 247, 250), side * 0.11, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(v);
    return pixmap;
}

// Draws the mark at whatever size is asked for, when it is asked for: a set of ready pixmaps up
// to 256 pixels held a third of a megabyte for a mark shown at a few dozen.
class DrawnIconEngine final : public QIconEngine {
public:
    void paint(QPainter* painter, const QRect& rect, QIcon::Mode, QIcon::State) override {
        painter->drawPixmap(rect, drawnIcon(std::max(rect.width(), rect.height())));
    }
    QPixmap pixmap(const QSize& size, QIcon::Mode, QIcon::State) override {
        const int side = std::min(size.width(), size.height());
        return side > 0 ? drawnIcon(side) : QPixmap();
    }
    QIconEngine* clone() const override { return new DrawnIconEngine; }
    QString key() const override { return QStringLiteral("VantrelMark"); }
};

} // namespace

VantrelMark::VantrelMark(double size, QColor accent, QWidget* parent)
    : QWidget(parent), size_(size), accent_(accent) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
    const int side = static_cast<int>(std::ceil(size));
    setFixedSize(side, side);
}

QIcon VantrelMark::applicationIcon() {
    const QIcon own = QGuiApplication::windowIcon();
    if (!own.isNull()) return own;
    return QIcon(new DrawnIconEngine);
}

QSize VantrelMark::sizeHint() const {
    return size();
}

void VantrelMark::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    const qreal ratio = devicePixelRatioF();
    const int side = static_cast<int>(std::ceil(size_ * ratio));
    // Stretched to the frame, with high-quality interpolation.
    const QPixmap pixmap = applicationIcon().pixmap(QSize(side, side));
    painter.drawPixmap(QRectF(0, 0, size_, size_), pixmap, QRectF(pixmap.rect()));
}

} // namespace vantrel
