#pragma once

#include "kit/VantrelTheme.h"

#include <QWidget>

namespace vantrel {

class VantrelPreferences;

// A symbol on a small rounded tile: a tinted recessed fill with a top sheen and a keyline edge.
// With the custom icon tint on, every icon takes that tint instead of its own colour.
class VantrelIcon : public QWidget {
    Q_OBJECT
public:
    VantrelIcon(VantrelPreferences& preferences, QString systemName, QColor color, double size,
                QWidget* parent = nullptr);

    QString systemName() const { return systemName_; }
    double iconSize() const { return size_; }
    // The colour drawn: the icon tint when the custom icon tint is on, else the icon's own.
    QColor iconColor() const { return iconColor(preferences_, color_); }

    static QColor iconColor(const VantrelPreferences& preferences, const QColor& own);
    // The tile's corner radius: 0.24 of the size.
    static double cornerRadius(double size) { return 0.24 * size; }
    // Draws the tile and its symbol into `rect` (a square of the icon's size).
    static void paint(QPainter& painter, const QRectF& rect, QStringView systemName, const QColor& iconColor,
                      ColorScheme scheme);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    VantrelPreferences& preferences_;
    QString systemName_;
    QColor color_;
    double size_;
};

} // namespace vantrel
