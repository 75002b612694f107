#include "control-center/VantrelNavigationButton.h"

#include "kit/KeyActivation.h"
#include "kit/KitPaint.h"
#include "kit/TextAdvance.h"
#include "kit/VantrelMotion.h"
#include "kit/VantrelTheme.h"
#include "kit/VantrelType.h"
#include "platform/SystemAppearance.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>
#include <QVariantAnimation>
#include <cmath>

namespace vantrel {

QFont NavigationButtonLook::titleFont(bool selected) {
    return VantrelType::font(13, selected ? QFont::Bold : QFont::Medium);
}

NavigationButtonLook NavigationButtonLook::make(const QSizeF& size, bool selected, double hover, bool focused,
                                                bool increasedContrast) {
    const double shown = selected ? 0.0 : std::clamp(hover, 0.0, 1.0);
    const double lineWidth = 18 * shown;
    const QRectF frame(QPointF(), size);
    return {
        .font = titleFont(selected),
        .primaryText = selected,
        .hoverLine = QRectF(frame.center().x() - lineWidth / 2, frame.bottom() - 3 - 1, lineWidth, 1),
        .hoverOpacity = 0.72 * shown,
        .showsFocusRing = focused,
        .focusRingWidth = increasedContrast ? 3.0 : 2.0,
        .focusRing = frame.adjusted(1, 1, -1, -1),
    };
}

VantrelNavigationButton::VantrelNavigationButton(const QString& title, bool isSelected, QColor accent,
                                                 SystemAppearance& appearance, std::function<void()> action,
                                                 QWidget* parent)
    : QAbstractButton(parent), isSelected_(isSelected), accent_(accent), appearance_(appearance),
      hoverAnimation_(new QVariantAnimation(this)) {
    setText(title);
    // Checkable only so assistive technology hears the selected state; a click never flips it.
    setCheckable(true);
    setChecked(isSelected);
    setFocusPolicy(Qt::TabFocus);
    KitPaint::watchFocusReason(this);
    KeyActivation::pressOnReturn(this);
    setAttribute(Qt::WA_Hover);
    setCursor(Qt::PointingHandCursor);
    if (action) connect(this, &QAbstractButton::clicked, this, [action] { action(); });
    connect(hoverAnimation_, &QVariantAnimation::valueChanged, this, [this](const QVariant& value) {
        hover_ = value.toDouble();
        update();
    });
    connect(&appearance_, &SystemAppearance::changed, this, qOverload<>(&QWidget::update));
    updateAccessibility();
}

void VantrelNavigationButton::setSelected(bool selected) {
    if (isSelected_ == selected) return;
    isSelected_ = selected;
    setChecked(selected);
    updateAccessibility();
    updateGeometry();
    update();
}

void VantrelNavigationButton::setAccent(const QColor& accent) {
    accent_ = accent;
    update();
}

void VantrelNavigationButton::updateAccessibility() {
    setAccessibleName(text());
    setAccessibleDescription(isSelected_ ? QStringLiteral("Current page") : QStringLiteral("Open ") + text());
}

NavigationButtonLook VantrelNavigationButton::look() const {
    return NavigationButtonLook::make(size(), isSelected_, hover_, KitPaint::showsFocusRing(this),
                                      appearance_.increasedContrast());
}

QSize VantrelNavigationButton::sizeHint() const {
    return {int(std::ceil(TextAdvance::of(NavigationButtonLook::titleFont(isSelected_), text()) +
                          2 * NavigationButtonLook::kPadding)),
            int(NavigationButtonLook::kHeight)};
}

void VantrelNavigationButton::animateHover(bool over) {
    hoverAnimation_->stop();
    const double target = over ? 1.0 : 0.0;
    if (reduceMotion_) {
        hover_ = target;
        update();
        return;
    }
    VantrelAnimation::easeOut(0.16).run(*hoverAnimation_, hover_, target);
}

void VantrelNavigationButton::enterEvent(QEnterEvent* event) {
    QAbstractButton::enterEvent(event);
    animateHover(true);
}

void VantrelNavigationButton::leaveEvent(QEvent* event) {
    QAbstractButton::leaveEvent(event);
    animateHover(false);
}

void VantrelNavigationButton::paintEvent(QPaintEvent*) {
    const NavigationButtonLook l = look();
    const ColorScheme scheme = VantrelTheme::colorScheme(this);
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setFont(l.font);
    painter.setPen(l.primaryText ? VantrelTheme::primary(scheme)
                                 : VantrelTheme::secondaryText().resolve(scheme));
    painter.drawText(
        rect().adjusted(int(NavigationButtonLook::kPadding), 0, -int(NavigationButtonLook::kPadding), 0),
        Qt::AlignCenter | Qt::TextSingleLine, text());
    if (l.hoverOpacity > 0 && l.hoverLine.width() > 0) {
        QPainterPath capsule;
        capsule.addRoundedRect(l.hoverLine, 0.5, 0.5);
        painter.fillPath(capsule,
                         VantrelTheme::withOpacity(VantrelTheme::keyline().resolve(scheme), l.hoverOpacity));
    }
    if (l.showsFocusRing) {
        painter.setPen(QPen(KitPaint::ringColor(KitPaint::surfaceBehind(this), accent_), l.focusRingWidth));
        painter.setBrush(Qt::NoBrush);
        painter.drawRoundedRect(l.focusRing, 12, 12);
    }
}

} // namespace vantrel
