#include "kit/VantrelGlyph.h"

#include "kit/GlyphCatalogue.h"

#include <QPainter>
#include <cmath>

namespace vantrel {

VantrelGlyph::VantrelGlyph(QString systemName, QColor color, double pointSize, QFont::Weight weight,
                           double width, double height, QWidget* parent)
    : QWidget(parent), systemName_(std::move(systemName)), color_(color), pointSize_(pointSize),
      weight_(weight) {
    setFixedSize(int(std::ceil(width)), int(std::ceil(height)));
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_TranslucentBackground);
}

void VantrelGlyph::setSystemName(const QString& name) {
    if (name == systemName_) return;
    systemName_ = name;
    update();
}

void VantrelGlyph::setColor(const QColor& color) {
    if (color == color_) return;
    color_ = color;
    update();
}

QRectF VantrelGlyph::glyphRect(const QRectF& frame, double pointSize) {
    const double side = std::max(0.0, pointSize);
    return {frame.center().x() - side / 2, frame.center().y() - side / 2, side, side};
}

void VantrelGlyph::paint(QPainter& painter, const QRectF& frame, QStringView systemName, const QColor& color,
                         double pointSize, QFont::Weight weight) {
    GlyphCatalogue::paint(painter, systemName, glyphRect(frame, pointSize), color, weight);
}

void VantrelGlyph::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    paint(painter, QRectF(rect()), systemName_, color_, pointSize_, weight_);
}

} // namespace vantrel
