#pragma once

#include "kit/VantrelConcentricGeometry.h"
#include "kit/VantrelMotion.h"
#include "kit/VantrelShadow.h"
#include "kit/VantrelTheme.h"

#include <QColor>
#include <QFont>
#include <QMarginsF>
#include <optional>

namespace vantrel {

// Everything a button style draws for one state of a button.
struct ButtonLook {
    ContinuousRoundedRectangle shape;
    QFont font;
    double horizontalPadding = 0;
    double verticalPadding = 0;
    bool fillsWidth = false; // fills the width offered, else fits the label
    // The fill, a gradient from the top-leading to the bottom-trailing corner (equal ends for a
    // flat fill).
    QColor fillStart;
    QColor fillEnd;
    QColor outline;
    double outlineWidth = 0;
    QColor foreground;
    VantrelShadow::Look shadow; // clear when the style casts none
    double scale = 1;           // about the centre
};

// A look for the kit's buttons. `pressed` runs from 0 (released) to 1 (pressed); values between
// occur while a press animates and blend the two looks.
class VantrelButtonStyle {
public:
    virtual ~VantrelButtonStyle() = default;

    virtual ButtonLook look(double pressed, ColorScheme scheme) const = 0;
    // The animation between the released and pressed looks; none switches at once.
    virtual std::optional<VantrelAnimation> pressAnimation() const { return std::nullopt; }
    // Called each time the button's pressed state becomes true.
    virtual void pressBegan() const {}

protected:
    // a + (b − a) × t
    static double mix(double a, double b, double t) { return a + (b - a) * t; }
};

} // namespace vantrel
