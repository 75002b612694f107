#pragma once

#include <QRectF>

namespace vantrel {

// The frame of a settings page: paddings that follow the page's width, and a column no wider
// than the page's maximum that stays centred in a wide window.
struct VantrelPageLayout {
    static constexpr double kTopPadding = 28;
    static constexpr double kBottomPadding = 48;
    static constexpr double kSpacing = 24; // between the top anchor, the heading and each piece of content

    // 20 below 900, 28 below 1100, else 32.
    static double horizontalPadding(double width);
    // The content's rectangle (inside the paddings) in a page `width` wide whose padded column is
    // at most `maxWidth` wide.
    static QRectF column(double width, double maxWidth, double contentHeight);
    // The scrolled height of a page whose content is `contentHeight` high.
    static double height(double contentHeight) { return kTopPadding + contentHeight + kBottomPadding; }
};

} // namespace vantrel
