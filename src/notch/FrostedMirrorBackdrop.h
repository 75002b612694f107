#pragma once

#include <QColor>

class QPainter;
class QPainterPath;

namespace vantrel {

// The frosted glass behind the crystal look of the notch. The desktop offers no blur of what lies
// behind a window, so the backdrop paints a plain light material of its own instead; switched off
// it stays in place but draws nothing.
class FrostedMirrorBackdrop {
public:
    // The light material standing in for the blurred desktop.
    static const QColor kMaterial;

    explicit FrostedMirrorBackdrop(bool blurEnabled = true) { configure(blurEnabled); }

    // Applies `blurEnabled` to the same backdrop again.
    void configure(bool blurEnabled);

    bool isActive() const { return isActive_; }
    double alpha() const { return alpha_; }

    // Fills `outline` with the material at the backdrop's alpha.
    void paint(QPainter& painter, const QPainterPath& outline) const;

private:
    bool isActive_ = false;
    double alpha_ = 0;
};

} // namespace vantrel
