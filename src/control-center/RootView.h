#pragma once

#include "control-center/ControlCenterContext.h"
#include "control-center/ControlCenterLayoutPolicy.h"
#include "control-center/OnboardingView.h"
#include "control-center/PageFactory.h"
#include "core/PreferenceEnums.h"
#include "kit/VantrelMotion.h"
#include "platform/SystemAppearance.h"

#include <QPointer>
#include <QWidget>
#include <optional>

class QAbstractButton;
class QGraphicsOpacityEffect;
class QScrollArea;
class QVariantAnimation;

namespace vantrel {

class KeyboardCleaningOverlay;
class TopNavigationBar;
class VantrelBackdrop;
class VantrelLabel;
class WindowReader;

// Where the control center's pieces go for a window size.
struct RootLayout {
    ControlCenterLayoutPolicy::NavigationMetrics metrics;
    QRectF bar;  // 78 high, at most 1320 wide, centred, 20 from the top
    QRectF page; // everything under the bar (10 below it)
    static RootLayout make(const QSizeF& window);
};

// The root of the control-center window: the onboarding flow until it is completed, then the
// control center (backdrop, navigation bar, the page of the selected section and the keyboard-
// cleaning overlay), switching live when the flag changes. It draws everything in the appearance
// the settings choose (the desktop's own for "system") and reports the window it lives in once
// per window, for its owner to set up.
class RootView : public QWidget {
    Q_OBJECT
public:
    explicit RootView(const ControlCenterContext& context, QWidget* parent = nullptr);
    ~RootView() override;

    VantrelPreferences& preferences() const { return context_.preferences; }

    // How a section change animates: not at all for the instant motion style, else a 0.14 s
    // ease-out, 0.12 s while motion is reduced.
    static std::optional<VantrelAnimation> pageAnimation(MotionStyle style, bool reduceMotion);
    // How the cleaning overlay fades: a 0.14 s ease-out, none while motion is reduced.
    static std::optional<VantrelAnimation> overlayAnimation(bool reduceMotion);

    OnboardingView* onboarding() const { return onboarding_; }
    QWidget* controlCenter() const { return controlCenter_; }
    TopNavigationBar* navigationBar() const { return bar_; }
    VantrelBackdrop* backdrop() const { return backdrop_; }
    QWidget* page() const { return page_; }
    // The page fading out during a section change; none once it is gone.
    QWidget* leavingPage() const { return leaving_; }
    QVariantAnimation* pageFade() const { return pageFade_; }
    KeyboardCleaningOverlay* overlay() const { return overlay_; }
    QVariantAnimation* overlayFade() const { return overlayFade_; }
    WindowReader* windowReader() const { return reader_; }
    // The notice of stored files that could not be read or saved, over whatever the window shows;
    // hidden while there is none.
    QWidget* fileNotice() const { return notice_; }
    VantrelLabel* fileNoticeText() const { return noticeText_; }
    // Where the notice's text scrolls once it is longer than the band shows.
    QScrollArea* fileNoticeScroll() const { return noticeScroll_; }
    // Closes the notice until a file fails again.
    QAbstractButton* fileNoticeClose() const { return noticeClose_; }
    // The band at the foot of the window that the notice takes from the content, a few lines at
    // most however many notices there are; 0 without one.
    int noticeRoom() const;
    ColorScheme colorScheme() const;

Q_SIGNALS:
    // One turn after the view first lives in `window`, and again only for another window.
    void windowFound(QWidget* window);
    // The notice's band changed; the window keeps its least size.
    void noticeRoomChanged(int room);

protected:
    void resizeEvent(QResizeEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void showContent();
    void buildControlCenter();
    void layoutContent();
    void switchPage();
    void finishPageFade();
    void cleaningChanged();
    void applyAppearance();
    void showNotices();
    int noticeWidth() const;
    int noticeHeight(int width) const;
    // The most height of the notice's text; a longer text scrolls.
    int noticeTextLimit() const;
    bool noticeScrolls(int width) const;

    ControlCenterContext context_;
    PageFactory pages_;
    WindowReader* reader_;
    QWidget* notice_ = nullptr;
    QScrollArea* noticeScroll_ = nullptr;
    VantrelLabel* noticeText_ = nullptr;
    QAbstractButton* noticeClose_ = nullptr;
    int room_ = 0;
    QPointer<OnboardingView> onboarding_;
    QPointer<QWidget> controlCenter_;
    TopNavigationBar* bar_ = nullptr;
    VantrelBackdrop* backdrop_ = nullptr;
    QWidget* pageHost_ = nullptr;
    QPointer<QWidget> page_;
    QPointer<QWidget> leaving_;
    KeyboardCleaningOverlay* overlay_ = nullptr;
    QVariantAnimation* pageFade_;
    QVariantAnimation* overlayFade_;
};

} // namespace vantrel
