#include "settings/NotchPreviewGeometry.h"

#include "notch/NotchPanelShape.h"
#include "notch/NotchPresentationTier.h"

#include <algorithm>

namespace vantrel {

NotchPreviewGeometry NotchPreviewGeometry::compute(double width, NotchSize size, bool expanded) {
    NotchPreviewGeometry g;
    const double available = width - kStageMargin;
    double shown = 0;
    if (available > 0) {
        const double ratio = available / kFullWidth;
        shown = ratio > kMaximumWidth / kFullWidth ? kMaximumWidth : std::min(ratio, 1.0) * kFullWidth;
    }
    g.scale = shown / kFullWidth;
    // The expanded size of the home tab's tier.
    const QSize full = vantrel::expanded(size, presentationTier(NotchTab::home));
    g.compactSize = QSizeF(kCompactWidth, kCompactHeight) * g.scale;
    g.expandedSize = QSizeF(full) * g.scale;
    g.bridgeRadius = NotchPanelShape::compactRadius(g.compactSize.height());
    if (expanded) {
        g.shownSize = g.expandedSize;
        g.cornerRadius = NotchPanelShape::expandedRadius(g.expandedSize.height(), g.compactSize.height());
    } else {
        g.shownSize = g.compactSize;
        g.cornerRadius = g.bridgeRadius;
    }
    const double b = g.compactSize.height();
    g.tile = std::clamp(b * 1.24, 19.0, 34.0);
    g.glyph = std::clamp(b * 0.76, 14.0, 25.0);
    return g;
}

NotchPreviewGeometry NotchPreviewGeometry::blend(const NotchPreviewGeometry& from,
                                                 const NotchPreviewGeometry& to, double t) {
    const auto mix = [t](double a, double b) { return a + (b - a) * t; };
    NotchPreviewGeometry g = to;
    const auto mixSize = [&mix](QSizeF a, QSizeF b) {
        return QSizeF(mix(a.width(), b.width()), mix(a.height(), b.height()));
    };
    g.shownSize = mixSize(from.shownSize, to.shownSize);
    g.expandedSize = mixSize(from.expandedSize, to.expandedSize);
    g.cornerRadius = mix(from.cornerRadius, to.cornerRadius);
    return g;
}

QRectF NotchPreviewGeometry::notchRect(double width) const {
    return QRectF((width - shownSize.width()) / 2, kNotchTop, shownSize.width(), shownSize.height());
}

QRectF NotchPreviewGeometry::headerRect(double width) const {
    const QRectF notch = notchRect(width);
    return QRectF(notch.left() + kHeaderInset, notch.top() + compactSize.height() + 4,
                  std::max(0.0, notch.width() - 2 * kHeaderInset), tile);
}

} // namespace vantrel
