#include "notch/NotchPlaceholderView.h"

#include "core/VantrelPreferences.h"
#include "notch/NotchPanelController.h"

#include <QMouseEvent>
#include <QPainter>

namespace vantrel {

NotchPlaceholderView::NotchPlaceholderView(NotchPanelController& controller, const VantrelPreferences& preferences,
                                           QWidget* parent)
    : QWidget(parent), controller_(&controller), preferences_(preferences) {
    setAccessibleName(QStringLiteral("Vantrel notch"));
    setMouseTracking(false);
}

void NotchPlaceholderView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), Qt::black);
}

void NotchPlaceholderView::enterEvent(QEnterEvent*) {
    if (!controller_) return;
    controller_->cancelPendingCollapse();
    if (preferences_.notchAutoExpand()) controller_->scheduleHoverExpand();
}

void NotchPlaceholderView::leaveEvent(QEvent*) {
    if (!controller_) return;
    controller_->cancelPendingHoverExpand();
    if (controller_->isExpanded()) controller_->scheduleCollapse();
}

void NotchPlaceholderView::mouseReleaseEvent(QMouseEvent* event) {
    if (controller_ && event->button() == Qt::LeftButton && !controller_->isExpanded())
        controller_->expand(std::nullopt, true);
}

} // namespace vantrel
