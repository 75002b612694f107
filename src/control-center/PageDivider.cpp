#include "control-center/PageDivider.h"

#include "kit/VantrelTheme.h"

#include <QPainter>

namespace vantrel {

PageDivider::PageDivider(double opacity, QWidget* parent) : QWidget(parent), opacity_(opacity) {
    setFixedHeight(1);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

void PageDivider::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    // The separator tone is about twice the theme's border.
    painter.fillRect(rect(), VantrelTheme::withOpacity(VantrelTheme::border().resolve(this), opacity_ * 2));
}

} // namespace vantrel
