#include "kit/NoticeCard.h"

#include <QPainter>

namespace vantrel {

NoticeCard::NoticeCard(Look look, QWidget* parent) : QWidget(parent), look_(std::move(look)) {}

void NoticeCard::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(look_.edge.resolve(this), 1));
    painter.setBrush(look_.fill.resolve(this));
    painter.drawRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), look_.radius, look_.radius);
}

} // namespace vantrel
