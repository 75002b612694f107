#include "kit/AlignedSettingRow.h"

#include "kit/VantrelLabel.h"
#include "kit/VantrelType.h"

#include <cmath>

namespace vantrel {

namespace {
// What a layout would give the control: its size hint within its minimum and maximum sizes.
QSize preferredSize(const QWidget* control) {
    return control->sizeHint().expandedTo(control->minimumSize()).boundedTo(control->maximumSize());
}
} // namespace

AlignedSettingRowLayout AlignedSettingRowLayout::of(double width, double labelWidth, double controlWidth,
                                                    double labelHeight, const QSizeF& controlHint,
                                                    bool expands) {
    AlignedSettingRowLayout layout;
    layout.wide = width >= labelWidth + kSpacing + controlWidth;
    if (layout.wide) {
        const double controlW = expands ? controlWidth : std::min(controlHint.width(), controlWidth);
        layout.height = std::max(labelHeight, controlHint.height());
        layout.label = QRectF(0, (layout.height - labelHeight) / 2, labelWidth, labelHeight);
        // The control sits centred in its column.
        const double column = labelWidth + kSpacing;
        layout.control = QRectF(column + (controlWidth - controlW) / 2,
                                (layout.height - controlHint.height()) / 2, controlW, controlHint.height());
        return layout;
    }
    const double frame = std::max(0.0, std::min(controlWidth, width));
    const double controlW = expands ? frame : std::min(controlHint.width(), frame);
    layout.label = QRectF(0, 0, width, labelHeight);
    layout.control = QRectF(0, labelHeight + kStackedSpacing, controlW, controlHint.height());
    layout.height = labelHeight + kStackedSpacing + controlHint.height();
    return layout;
}

AlignedSettingRow::AlignedSettingRow(const QString& title, double labelWidth, double controlWidth,
                                     QWidget* control, QWidget* parent)
    : QWidget(parent), label_(new VantrelLabel(title, VantrelType::label(), VantrelLabel::primary(), this)),
      control_(control), labelWidth_(labelWidth), controlWidth_(controlWidth) {
    if (control_) {
        control_->setParent(this);
        if (control_->accessibleName().isEmpty()) control_->setAccessibleName(title);
    }
    QSizePolicy policy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    policy.setHeightForWidth(true);
    setSizePolicy(policy);
}

QString AlignedSettingRow::title() const {
    return label_->text();
}

AlignedSettingRowLayout AlignedSettingRow::layoutFor(double width) const {
    QSizeF hint = control_ ? QSizeF(preferredSize(control_)) : QSizeF();
    bool expands = control_ && (control_->sizePolicy().horizontalPolicy() & QSizePolicy::ExpandFlag);
    // A control that grows stops at its own widest, and then sits centred in its column like any
    // other, rather than at the column's leading edge.
    if (expands && control_->maximumWidth() < controlWidth_) {
        hint.setWidth(control_->maximumWidth());
        expands = false;
    }
    return AlignedSettingRowLayout::of(width, labelWidth_, controlWidth_, label_->sizeHint().height(), hint,
                                       expands);
}

int AlignedSettingRow::heightForWidth(int width) const {
    return int(std::ceil(layoutFor(width).height));
}

QSize AlignedSettingRow::sizeHint() const {
    const int width = int(labelWidth_ + AlignedSettingRowLayout::kSpacing + controlWidth_);
    return QSize(width, heightForWidth(width));
}

QSize AlignedSettingRow::minimumSizeHint() const {
    return QSize(0, heightForWidth(int(labelWidth_)));
}

bool AlignedSettingRow::event(QEvent* event) {
    // A control whose size hint changed (a button shown or hidden inside it) asks its parent for
    // room; the row has no layout to do that, so it places the control again and lets its own
    // parent know its height may have changed.
    if (event->type() == QEvent::LayoutRequest) {
        placeChildren();
        updateGeometry();
        return true;
    }
    return QWidget::event(event);
}

void AlignedSettingRow::resizeEvent(QResizeEvent*) {
    placeChildren();
}

void AlignedSettingRow::placeChildren() {
    const AlignedSettingRowLayout layout = layoutFor(width());
    label_->setGeometry(layout.label.toRect());
    if (control_) control_->setGeometry(layout.control.toRect());
}

} // namespace vantrel
