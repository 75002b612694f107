#include "kit/StatusBadge.h"

#include "core/VantrelPreferences.h"
#include "kit/TextAdvance.h"
#include "kit/VantrelTheme.h"
#include "kit/VantrelType.h"

#include <QFontMetricsF>
#include <QPainter>
#include <cmath>

namespace vantrel {

using VantrelTheme::withOpacity;

StatusBadgeLook StatusBadgeLook::of(bool enabled, const QString& onText, const QString& offText,
                                    const QColor& accent, ColorScheme scheme) {
    if (enabled) return {onText, accent, withOpacity(accent, 0.11), withOpacity(accent, 0.24)};
    return {offText, VantrelTheme::dormant().resolve(scheme), VantrelTheme::elevated().resolve(scheme),
            VantrelTheme::border().resolve(scheme)};
}

StatusBadge::StatusBadge(VantrelPreferences& preferences, bool enabled, const QString& onText,
                         const QString& offText, QWidget* parent)
    : QWidget(parent), preferences_(preferences), enabled_(enabled), onText_(onText), offText_(offText) {
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    setAccessibleName(enabled ? onText : offText);
}

void StatusBadge::setBadgeEnabled(bool enabled) {
    enabled_ = enabled;
    setAccessibleName(enabled ? onText_ : offText_);
    updateGeometry();
    update();
}

StatusBadgeLook StatusBadge::look() const {
    return StatusBadgeLook::of(enabled_, onText_, offText_, VantrelTheme::accent(preferences_.accent()),
                               VantrelTheme::colorScheme(this));
}

QFont StatusBadge::font() {
    QFont f = VantrelType::font(9, QFont::Bold);
    f.setLetterSpacing(QFont::AbsoluteSpacing, StatusBadgeLook::kTracking);
    return f;
}

QSize StatusBadge::sizeHint() const {
    const QFontMetricsF metrics(font());
    const QString text = enabled_ ? onText_ : offText_;
    return QSize(int(std::ceil(TextAdvance::of(font(), text) + 2 * StatusBadgeLook::kPaddingH)),
                 int(std::ceil(metrics.height() + 2 * StatusBadgeLook::kPaddingV)));
}

void StatusBadge::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const StatusBadgeLook badge = look();
    const QRectF capsule = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    const double radius = capsule.height() / 2;
    QPen stroke(badge.stroke, StatusBadgeLook::kStroke);
    stroke.setMiterLimit(10);
    painter.setPen(stroke);
    painter.setBrush(badge.fill);
    painter.drawRoundedRect(capsule, radius, radius);
    painter.setFont(font());
    painter.setPen(badge.textColor);
    painter.drawText(QRectF(rect()), Qt::AlignCenter | Qt::TextSingleLine, badge.text);
}

} // namespace vantrel
