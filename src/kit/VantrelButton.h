#pragma once

#include "kit/VantrelButtonStyle.h"

#include <QAbstractButton>
#include <QImage>
#include <QPointer>
#include <memory>

class QVariantAnimation;

namespace vantrel {

class VantrelMotion;

// Where a button puts its label for a given size.
struct ButtonLayout {
    QRectF frame;     // the button's shape before the pressed scale
    QRectF labelRect; // the label, inside the padding
};

// A push button drawn by one of the kit's styles (pill, selection, secondary). Its text is plain
// text and is also its accessible name.
class VantrelButton : public QAbstractButton {
    Q_OBJECT
public:
    VantrelButton(const QString& text, std::shared_ptr<const VantrelButtonStyle> style,
                  QWidget* parent = nullptr);
    ~VantrelButton() override;

    const VantrelButtonStyle& buttonStyle() const { return *style_; }
    void setButtonStyle(std::shared_ptr<const VantrelButtonStyle> style);
    // Shortens the press animation while the user prefers reduced motion (may be null).
    void setMotion(VantrelMotion* motion) { motion_ = motion; }
    // A symbol before the text, in the text's colour at `pointSize` and semibold, centred in a
    // `frame` by `frame` square 7 points before it.
    void setLeadingGlyph(const QString& systemName, double pointSize, double frame);
    QString leadingGlyph() const { return glyph_; }

    // How far the press has gone, 0 released to 1 pressed; animated when the style asks for it.
    double pressProgress() const { return progress_; }
    // The look drawn now.
    ButtonLook currentLook() const;
    // The press animation (for tests that step it).
    QVariantAnimation* pressAnimation() const { return animation_; }

    // The size that fits `text` in `look`: the label plus the padding on each side.
    static QSizeF fittingSize(const QString& text, const ButtonLook& look);
    static ButtonLayout layout(const QSizeF& size, const ButtonLook& look);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    // Draws the shape, the label and the focus ring; the press scale and the disabled fade apply
    // to all three.
    void paintEvent(QPaintEvent* event) override;
    // Draws the label inside the drawn shape: the leading glyph, if any, and the text, elided to
    // fit. Buttons with a label of their own override this and keep the rest of the painting.
    virtual void paintLabel(QPainter& painter, const ButtonLook& look, const ButtonLayout& layout) const;

private:
    void pressedChanged(bool pressed);
    void setProgress(double progress);
    void applyStyle();

    std::shared_ptr<const VantrelButtonStyle> style_;
    QPointer<VantrelMotion> motion_;
    QVariantAnimation* animation_;
    QPointer<VantrelShadow> shadow_;
    double progress_ = 0;
    QString glyph_;
    double glyphPointSize_ = 0;
    double glyphFrame_ = 0;
    // What the fill was last painted for at rest, and its image once painted so twice.
    struct Fill {
        QSize size;
        ContinuousRoundedRectangle shape;
        QColor start, end;
        double ratio = 0;
        bool operator==(const Fill&) const = default;
    };
    Fill filled_;
    QImage fillImage_;
};

} // namespace vantrel
