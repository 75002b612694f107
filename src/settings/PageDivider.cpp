#include "settings/PageDivider.h"

#include "kit/KitPaint.h"

#include <QPainter>

namespace vantrel {

PageDivider::PageDivider(double opacity, double padding, QWidget* parent)
    : QWidget(parent), opacity_(opacity), padding_(padding) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFixedHeight(int(2 * padding_ + 1));
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

void PageDivider::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    // The system separator is the primary colour at about a quarter; the opacity scales it.
    QColor line = KitPaint::primary(KitPaint::scheme(this), 0.5 * opacity_);
    painter.fillRect(QRectF(0, padding_, width(), 1), line);
}

} // namespace vantrel
