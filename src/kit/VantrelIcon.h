#pragma once

#include "kit/VantrelTheme.h"

#include <QWidget>
#include <optional>

namespace vantrel {

class VantrelPreferences;

// The colour an icon is given: a fixed colour, or the theme's accent, which the icon then follows
// as it changes (picking a theme recolours the icons already on screen).
class IconColor {
public:
    IconColor(const QColor& color) : color_(color) {}
    IconColor(Qt::GlobalColor color) : color_(QColor(color)) {}
    static IconColor accent() { return IconColor(); }

    bool followsAccent() const { return !color_.has_value(); }
    // The colour now: the fixed one, or the accent the settings hold.
    QColor resolve(const VantrelPreferences& preferences) const;

private:
    IconColor() = default;
    std::optional<QColor> color_;
};

// A symbol on a small rounded tile: a tinted recessed fill with a top sheen and a keyline edge.
// With the custom icon tint on, every icon takes that tint instead of its own colour.
class VantrelIcon : public QWidget {
    Q_OBJECT
public:
    VantrelIcon(VantrelPreferences& preferences, QString systemName, IconColor color, double size,
                QWidget* parent = nullptr);

    QString systemName() const { return systemName_; }
    double iconSize() const { return size_; }
    // The colour drawn: the icon tint when the custom icon tint is on, else the icon's own.
    QColor iconColor() const { return iconColor(preferences_, color_.resolve(preferences_)); }
    bool followsAccent() const { return color_.followsAccent(); }

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
    IconColor color_;
    double size_;
};

} // namespace vantrel
