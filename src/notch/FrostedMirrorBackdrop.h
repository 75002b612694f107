#pragma once

#include <QColor>

class QPainter;
class QPainterPath;

namespace vantrel {

// The frosted glass behind the crystal look of the notch: a light material over what the
// desktop's compositor blurs behind the window. Where the desktop blurs nothing, the windows
// behind would show sharp through a translucent material and their text would read through the
// glass, so the material is then drawn dense enough to hide them. Switched off it stays in place
// but draws nothing.
class FrostedMirrorBackdrop {
public:
    // The light material over a blurred desktop.
    static const QColor kMaterial;
    // The same material where nothing behind it is blurred: dense enough that no text behind
    // can be read, with a trace of what lies behind left in.
    static const QColor kDenseMaterial;

    explicit FrostedMirrorBackdrop(bool blurEnabled = true, bool blurredBehind = false) {
        configure(blurEnabled, blurredBehind);
    }

    // Applies `blurEnabled`, and whether the desktop blurs behind the window, to the same
    // backdrop again.
    void configure(bool blurEnabled, bool blurredBehind = false);

    bool isActive() const { return isActive_; }
    double alpha() const { return alpha_; }
    // The material drawn: translucent over a blurred desktop, dense otherwise.
    const QColor& material() const { return blurredBehind_ ? kMaterial : kDenseMaterial; }

    // Fills `outline` with the material at the backdrop's alpha.
    void paint(QPainter& painter, const QPainterPath& outline) const;

private:
    bool isActive_ = false;
    bool blurredBehind_ = false;
    double alpha_ = 0;
};

} // namespace vantrel
