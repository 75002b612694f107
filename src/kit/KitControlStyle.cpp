#include "kit/KitControlStyle.h"

#include "kit/KitPaint.h"

#include <QApplication>
#include <QPainter>
#include <QPainterPath>
#include <QStyleOption>

namespace vantrel {

KitControlStyle* KitControlStyle::shared() {
    static KitControlStyle* style = [] {
        auto* made = new KitControlStyle;
        // Lives as long as the application that draws with it.
        if (QCoreApplication::instance()) made->setParent(QCoreApplication::instance());
        return made;
    }();
    return style;
}

namespace {

// The room a check box keeps on each side for the ring drawn inside its rect, with a point to spare.
constexpr int kRingRoom = int(KitPaint::kFocusRingRoom) + 1;

} // namespace

QRect KitControlStyle::subElementRect(SubElement element, const QStyleOption* option,
                                      const QWidget* widget) const {
    switch (element) {
    case SE_CheckBoxIndicator:
    case SE_CheckBoxContents:
    case SE_CheckBoxFocusRect:
    case SE_CheckBoxClickRect: {
        QStyleOption inner(*option);
        inner.rect = option->rect.adjusted(kRingRoom, 0, -kRingRoom, 0);
        if (const auto* button = qstyleoption_cast<const QStyleOptionButton*>(option)) {
            QStyleOptionButton innerButton(*button);
            innerButton.rect = inner.rect;
            return QProxyStyle::subElementRect(element, &innerButton, widget);
        }
        return QProxyStyle::subElementRect(element, &inner, widget);
    }
    default:
        return QProxyStyle::subElementRect(element, option, widget);
    }
}

QSize KitControlStyle::sizeFromContents(ContentsType type, const QStyleOption* option, const QSize& size,
                                        const QWidget* widget) const {
    const QSize base = QProxyStyle::sizeFromContents(type, option, size, widget);
    return type == CT_CheckBox ? base + QSize(2 * kRingRoom, 4) : base;
}

void KitControlStyle::drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                                  const QWidget* widget) const {
    const auto* button = qstyleoption_cast<const QStyleOptionButton*>(option);
    if (element != CE_CheckBox || !button) {
        QProxyStyle::drawControl(element, option, painter, widget);
        return;
    }
    // The box and the label where this style places them, with no mark of focus of the platform's.
    QStyleOptionButton part(*button);
    part.rect = subElementRect(SE_CheckBoxIndicator, button, widget);
    drawPrimitive(PE_IndicatorCheckBox, &part, painter, widget);
    part.rect = subElementRect(SE_CheckBoxContents, button, widget);
    drawControl(CE_CheckBoxLabel, &part, painter, widget);
}

void KitControlStyle::drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                                    const QWidget* widget) const {
    if (element != PE_IndicatorCheckBox) {
        QProxyStyle::drawPrimitive(element, option, painter, widget);
        return;
    }
    const QColor surface = option->palette.color(QPalette::Window);
    const QRectF box = QRectF(option->rect).adjusted(1, 1, -1, -1);
    const bool on = option->state & State_On;
    const bool partly = option->state & State_NoChange;
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);
    if (!(option->state & State_Enabled))
        painter->setOpacity(painter->opacity() * KitPaint::kDisabledOpacity);
    const double radius = std::min(box.width(), box.height()) / 4;
    if (on || partly) {
        const QColor fill = KitPaint::ringColor(surface, option->palette.color(QPalette::Link));
        painter->setPen(Qt::NoPen);
        painter->setBrush(fill);
        painter->drawRoundedRect(box, radius, radius);
        QPen mark(KitPaint::inkOn(fill), std::max(1.5, box.width() / 8));
        mark.setCapStyle(Qt::RoundCap);
        mark.setJoinStyle(Qt::RoundJoin);
        painter->setPen(mark);
        painter->setBrush(Qt::NoBrush);
        const double w = box.width(), h = box.height();
        if (partly) {
            painter->drawLine(QPointF(box.left() + w * 0.28, box.center().y()),
                              QPointF(box.right() - w * 0.28, box.center().y()));
        } else {
            QPainterPath check;
            check.moveTo(box.left() + w * 0.24, box.top() + h * 0.52);
            check.lineTo(box.left() + w * 0.43, box.top() + h * 0.71);
            check.lineTo(box.left() + w * 0.77, box.top() + h * 0.31);
            painter->drawPath(check);
        }
    } else {
        painter->setBrush(option->palette.color(QPalette::Base));
        painter->setPen(QPen(KitPaint::outlineColor(surface), 1));
        painter->drawRoundedRect(box.adjusted(0.5, 0.5, -0.5, -0.5), radius, radius);
    }
    painter->restore();
}

} // namespace vantrel
