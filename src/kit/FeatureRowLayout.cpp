#include "kit/FeatureRowLayout.h"

#include <algorithm>

namespace vantrel {

FeatureRowLayout FeatureRowLayout::of(double width, const Measures& measures) {
    FeatureRowLayout layout;
    const QSizeF control = measures.control;
    const double textX = kIconSize + kSpacing;
    auto subtitleHeight = [&](double textWidth) {
        return measures.subtitleHeight ? measures.subtitleHeight(std::max(0.0, textWidth)) : 0.0;
    };

    // Side by side: description, 13, a spacer of at least 12, 13, control.
    const double wideTextWidth = width - textX - (kSpacing + kMinimumGap + kSpacing) - control.width();
    layout.wide = width >= kWideMinimumWidth && wideTextWidth >= measures.titleWidth;
    if (layout.wide) {
        const double subtitleH = subtitleHeight(wideTextWidth);
        const double textHeight = measures.titleHeight + kTextSpacing + subtitleH;
        layout.height = std::max({kMinimumHeight, kIconSize, textHeight, control.height()});
        layout.icon = QRectF(0, (layout.height - kIconSize) / 2, kIconSize, kIconSize);
        const double textY = (layout.height - textHeight) / 2;
        layout.title = QRectF(textX, textY, wideTextWidth, measures.titleHeight);
        layout.subtitle =
            QRectF(textX, textY + measures.titleHeight + kTextSpacing, wideTextWidth, subtitleH);
        layout.control = QRectF(width - control.width(), (layout.height - control.height()) / 2,
                                control.width(), control.height());
        return layout;
    }

    // Stacked: the description, then the control on its own line at the right edge.
    const double textWidth = std::max(0.0, width - textX);
    const double subtitleH = subtitleHeight(textWidth);
    const double textHeight = measures.titleHeight + kTextSpacing + subtitleH;
    const double descriptionHeight = std::max(kIconSize, textHeight);
    layout.icon = QRectF(0, (descriptionHeight - kIconSize) / 2, kIconSize, kIconSize);
    const double textY = (descriptionHeight - textHeight) / 2;
    layout.title = QRectF(textX, textY, textWidth, measures.titleHeight);
    layout.subtitle = QRectF(textX, textY + measures.titleHeight + kTextSpacing, textWidth, subtitleH);
    const double controlW = std::min(control.width(), std::max(0.0, width));
    layout.control = QRectF(std::max(0.0, width - controlW), descriptionHeight + kStackedSpacing, controlW,
                            control.height());
    layout.height = std::max(kMinimumHeight, descriptionHeight + kStackedSpacing + control.height());
    return layout;
}

} // namespace vantrel
