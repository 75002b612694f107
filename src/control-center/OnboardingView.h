#pragma once

#include "control-center/ControlCenterContext.h"
#include "control-center/OnboardingFlow.h"

#include <QPointer>
#include <QWidget>
#include <array>

class QGraphicsOpacityEffect;
class QPushButton;
class QVariantAnimation;

namespace vantrel {

class VantrelButton;

// Where the onboarding window's pieces go.
struct OnboardingLayout {
    QRectF card; // 690 by 560, centred
    std::array<QRectF, 4> dots;
    static constexpr double kCardWidth = 690;
    static constexpr double kCardHeight = 560;
    static constexpr double kCardRadius = 36;
    static OnboardingLayout make(const QSizeF& window, int step);
};

// The first-run flow in a floating card: progress dots, the current step and the footer with
// "Back" and the Continue pill. A step change replaces the step's content, fading it in with
// the step spring (a short ease-out while motion is reduced).
class OnboardingView final : public QWidget {
    Q_OBJECT
public:
    explicit OnboardingView(const ControlCenterContext& context, QWidget* parent = nullptr);

    OnboardingFlow& flow() { return flow_; }
    QWidget* stepContent() const { return content_; }
    QPushButton* backButton() const { return back_; }
    VantrelButton* continueButton() const { return continue_; }
    QVariantAnimation* stepAnimation() const { return stepAnimation_; }
    OnboardingLayout onboardingLayout() const { return OnboardingLayout::make(size(), flow_.step()); }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool event(QEvent* event) override;

private:
    QWidget* buildStep(int step);
    QWidget* welcome();
    QWidget* modules();
    QWidget* privacy();
    QWidget* ready();
    void showStep(bool animated);
    void refreshFooter();
    void refreshColors();
    void layoutCard();
    QColor accent() const;

    ControlCenterContext context_;
    OnboardingFlow flow_;
    QWidget* card_;
    QWidget* content_ = nullptr;
    QPushButton* back_;
    VantrelButton* continue_;
    QVariantAnimation* stepAnimation_;
    QPointer<QGraphicsOpacityEffect> fade_;
};

} // namespace vantrel
