#include "kit/VantrelPageLayout.h"

#include <algorithm>

namespace vantrel {

double VantrelPageLayout::horizontalPadding(double width) {
    if (width < 900) return 20;
    if (width < 1100) return 28;
    return 32;
}

QRectF VantrelPageLayout::column(double width, double maxWidth, double contentHeight) {
    // The paddings are measured from the page's width and belong to the column, which is then held
    // to the maximum width and centred.
    const double padding = horizontalPadding(width);
    const double padded = std::clamp(maxWidth, 0.0, std::max(0.0, width));
    const double left = (width - padded) / 2;
    return QRectF(left + padding, kTopPadding, std::max(0.0, padded - 2 * padding), contentHeight);
}

} // namespace vantrel
