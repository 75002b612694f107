#pragma once

#include <QColor>
#include <QList>
#include <QPainterPath>
#include <QSizeF>

class QPainter;

namespace vantrel {

// A small line chart of a history, drawn left to right in list order: fractions against a fixed
// 0...1 scale, or, normalised, against the largest value (at least 1).
struct UsageSparkline {
    static constexpr double kLineWidth = 1.5;
    static constexpr double kOpacity = 0.82;

    QList<double> values;
    QColor color;
    bool normalizesValues = false;

    // The line in a box of `size` with its origin at the top left; empty of segments with fewer
    // than two values.
    QPainterPath path(const QSizeF& size) const;
    // Strokes the line into `rect`.
    void paint(QPainter& painter, const QRectF& rect) const;
};

} // namespace vantrel
