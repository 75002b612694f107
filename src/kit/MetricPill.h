#pragma once

#include <QColor>
#include <QRectF>
#include <QWidget>

namespace vantrel {

// Where a metric pill puts its symbol tile and its two texts.
struct MetricPillLayout {
    QRectF tile; // 27 by 27
    QRectF value;
    QRectF title;
    QSizeF size;

    static constexpr double kTile = 27;
    static constexpr double kTileRadius = 8;
    static constexpr double kSpacing = 10;
    static constexpr double kPaddingH = 11;
    static constexpr double kPaddingV = 10;
    static constexpr double kRadius = 13;
    static constexpr double kBorder = 0.7;

    // `value` and `title` are the texts' sizes; an empty text keeps its line's height.
    static MetricPillLayout of(const QSizeF& value, const QSizeF& title);
    // The pill in `width` when a row gives it less than its own width: the frame takes the width
    // (never less than the tile and the paddings) and the texts lose their ends.
    MetricPillLayout narrowed(double width) const;
};

// A compact tile showing one figure (a value over its caption) beside a tinted symbol.
class MetricPill : public QWidget {
    Q_OBJECT
public:
    MetricPill(const QString& title, const QString& value, const QString& symbol, const QColor& color,
               QWidget* parent = nullptr);

    QString title() const { return title_; }
    QString value() const { return value_; }
    QString symbol() const { return symbol_; }
    void setValue(const QString& value);
    QColor color() const { return color_; }
    void setColor(const QColor& color);
    MetricPillLayout pillLayout() const;

    static QFont valueFont(); // 15, bold
    static QFont titleFont(); // 9.5, regular

    QSize sizeHint() const override;
    // A row short of room may take the texts' width away; the tile and the paddings stay.
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString title_;
    QString value_;
    QString symbol_;
    QColor color_;
};

} // namespace vantrel
