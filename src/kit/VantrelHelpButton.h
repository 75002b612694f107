#pragma once

#include <QAbstractButton>
#include <QPainterPath>
#include <QPointer>

namespace vantrel {

class CompositorState;
class OutlineWindowShape;
class SystemAppearance;
class VantrelLabel;
class VantrelPreferences;

// The popover of a help button: the help text in a 250-point column with 14 points around it, in
// a bubble whose arrow on the top edge points at the button; a pop-up window that closes on
// Escape or on a click outside. Where no compositor blends it over the window below, the window
// is cut to the bubble, so the clear corners and the band beside the arrow do not show black.
class VantrelHelpPopover : public QWidget {
    Q_OBJECT
public:
    VantrelHelpPopover(const QString& text, QWidget* parent, CompositorState* compositor = nullptr);

    static constexpr double kTextWidth = 250;
    static constexpr double kPadding = 14;
    static constexpr double kRadius = 10;
    static constexpr int kArrow = 7; // the arrow on the top edge, pointing at the button

    VantrelLabel* label() const { return label_; }
    // The bubble with its arrow's tip on the top edge of `frame`.
    static QPainterPath bubbleShape(const QRectF& frame);

Q_SIGNALS:
    void closed();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    VantrelLabel* label_;
    OutlineWindowShape* shape_;
};

// The small question-mark button in a card's header. Its 25 by 25 points always take their place
// and take clicks, but the glyph shows only while the pointer is over it, it has keyboard focus,
// or its popover is open. A click opens or closes the popover with the help text.
class VantrelHelpButton : public QAbstractButton {
    Q_OBJECT
public:
    VantrelHelpButton(VantrelPreferences& preferences, SystemAppearance& appearance, const QString& title,
                      const QString& text, QWidget* parent = nullptr);

    static constexpr int kSide = 25;

    QString helpText() const { return text_; }
    bool isNear() const { return near_; }
    bool isPresented() const { return popover_ && popover_->isVisible(); }
    // The glyph is drawn: near, focused or presented.
    bool isGlyphVisible() const { return near_ || isKeyboardFocused() || isPresented(); }
    // Focus reached with the keys, which alone shows the glyph and the ring.
    bool isKeyboardFocused() const;
    // 3 at increased contrast, else 2.
    double focusRingWidth() const;
    VantrelHelpPopover* popover() const { return popover_; }

    QSize sizeHint() const override { return QSize(kSide, kSide); }
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void togglePopover();

    VantrelPreferences& preferences_;
    SystemAppearance& appearance_;
    QString text_;
    bool near_ = false;
    QPointer<VantrelHelpPopover> popover_;
};

} // namespace vantrel
