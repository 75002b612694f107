#pragma once

#include <QAbstractButton>
#include <QColor>
#include <QFont>
#include <functional>

class QVariantAnimation;

namespace vantrel {

class SystemAppearance;

// What a navigation button draws for its state.
struct NavigationButtonLook {
    QFont font;            // 13, bold when selected, medium otherwise
    bool primaryText;      // primary when selected, the secondary text colour otherwise
    QRectF hoverLine;      // a 1-point capsule 3 points above the bottom, 18 wide while hovered
    double hoverOpacity;   // 0.72 while hovered (and not selected), else 0
    bool showsFocusRing;   // keyboard focus
    double focusRingWidth; // 3 with increased contrast, else 2
    QRectF focusRing;      // inset 1 point, corner radius 12

    static constexpr double kHeight = 42;
    static constexpr double kPadding = 12;
    // `hover` runs from 0 (pointer away) to 1 (pointer over), animated.
    static NavigationButtonLook make(const QSizeF& size, bool selected, double hover, bool focused,
                                     bool increasedContrast);
    static QFont titleFont(bool selected);
};

// A section button of the navigation strip: its title, a hover line and a focus ring. The
// selection lens behind the selected button belongs to the strip, which slides it between
// buttons. Clicks never take focus; only the keyboard does.
class VantrelNavigationButton final : public QAbstractButton {
    Q_OBJECT
public:
    VantrelNavigationButton(const QString& title, bool isSelected, QColor accent,
                            SystemAppearance& appearance, std::function<void()> action,
                            QWidget* parent = nullptr);

    bool isSelected() const { return isSelected_; }
    void setSelected(bool selected);
    void setAccent(const QColor& accent);
    // Drops the hover animation while motion is reduced.
    void setReduceMotion(bool reduce) { reduceMotion_ = reduce; }

    double hoverProgress() const { return hover_; }
    QVariantAnimation* hoverAnimation() const { return hoverAnimation_; }
    NavigationButtonLook look() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void nextCheckState() override {}

private:
    void animateHover(bool over);
    void updateAccessibility();

    bool isSelected_;
    QColor accent_;
    SystemAppearance& appearance_;
    bool reduceMotion_ = false;
    double hover_ = 0;
    QVariantAnimation* hoverAnimation_;
};

} // namespace vantrel
