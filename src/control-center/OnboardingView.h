#pragma once

#include "control-center/ControlCenterContext.h"
#include "control-center/OnboardingFlow.h"

#include <QPointer>
#include <QWidget>
#include <array>

class QVariantAnimation;

namespace vantrel {

class StepTransitionLayer;
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

// How the outgoing and the incoming step look at one moment of a step change, from the step
// animation's value (0 at the start, 1 at rest; the spring may pass 1 briefly): the outgoing step
// fades out as it shrinks about its centre to 0.97, the incoming one fades in as it grows from
// 0.97 to full size.
struct StepTransitionFrame {
    double outgoingOpacity = 0;
    double outgoingScale = 1;
    double incomingOpacity = 1;
    double incomingScale = 1;
    static constexpr double kScale = 0.97;
    static StepTransitionFrame at(double value);
    // `bounds` scaled by `scale` about its centre.
    static QRectF scaled(const QRectF& bounds, double scale);
};

// The first-run flow in a floating card: progress dots, the current step and the footer with
// "Back" and the Continue pill. A step change replaces the step's content at once and shows the
// change on pictures of both steps, run by the step spring (a short ease-out while motion is
// reduced), since widgets cannot be drawn scaled.
class OnboardingView final : public QWidget {
    Q_OBJECT
public:
    explicit OnboardingView(const ControlCenterContext& context, QWidget* parent = nullptr);

    OnboardingFlow& flow() { return flow_; }
    QWidget* stepContent() const { return content_; }
    VantrelButton* backButton() const { return back_; }
    VantrelButton* continueButton() const { return continue_; }
    QVariantAnimation* stepAnimation() const { return stepAnimation_; }
    // While a step change runs: the layer drawing both steps over the incoming one, which waits
    // hidden until the change ends; none otherwise.
    QWidget* transitionLayer() const;
    StepTransitionFrame transitionFrame() const { return frame_; }
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
    void rebuildPrivacyRows();
    void endTransition();
    void refreshFooter();
    void refreshColors();
    void layoutCard();
    QColor accent() const;

    ControlCenterContext context_;
    OnboardingFlow flow_;
    QWidget* card_;
    QWidget* content_ = nullptr;
    VantrelButton* back_;
    VantrelButton* continue_;
    QVariantAnimation* stepAnimation_;
    StepTransitionLayer* transition_;
    StepTransitionFrame frame_;
};

} // namespace vantrel
