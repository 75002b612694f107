#pragma once

#include <QRectF>
#include <functional>

namespace vantrel {

// Where a feature row puts its icon, texts and control for an offered width: on one line when
// the row is wide enough, else the control on a line of its own under the text, at the right.
struct FeatureRowLayout {
    struct Measures {
        double titleWidth = 0; // the title on one line
        double titleHeight = 0;
        std::function<double(double width)> subtitleHeight; // wrapped to `width`
        QSizeF control;
    };

    bool wide = false;
    QRectF icon;
    QRectF title;
    QRectF subtitle;
    QRectF control;
    double height = 0;

    static constexpr double kIconSize = 39;
    static constexpr double kSpacing = 13;    // between icon and texts, and across the wide line
    static constexpr double kTextSpacing = 3; // between title and subtitle
    static constexpr double kMinimumGap = 12; // the spacer before the control, at least
    static constexpr double kStackedSpacing = 12;
    static constexpr double kWideMinimumWidth = 660;
    static constexpr double kMinimumHeight = 44;

    static FeatureRowLayout of(double width, const Measures& measures);
};

} // namespace vantrel
