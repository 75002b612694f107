#include "control-center/RootView.h"

#include "control-center/KeyboardCleaningOverlay.h"
#include "control-center/OnboardingView.h"
#include "control-center/SectionNavigation.h"
#include "control-center/TopNavigationBar.h"
#include "control-center/WindowReader.h"
#include "core/FileNotices.h"
#include "core/VantrelPreferences.h"
#include "kit/VantrelBackdrop.h"
#include "kit/VantrelLabel.h"
#include "kit/VantrelTheme.h"
#include "kit/VantrelType.h"
#include "platform/SystemAppearance.h"
#include "services/KeyboardCleaningController.h"

#include <QGraphicsOpacityEffect>
#include <QPainter>
#include <QPixmap>
#include <QVariantAnimation>

namespace vantrel {

namespace {

constexpr double kBarTop = 20;
constexpr double kBarBottom = 10;
constexpr int kNoticeMargin = 16;
constexpr int kNoticePadding = 12;
constexpr int kNoticeMaximumWidth = 720;

// A card with an amber edge behind the notice's text.
class NoticeCard final : public QWidget {
public:
    using QWidget::QWidget;

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(QPen(VantrelTheme::caution(), 1));
        painter.setBrush(VantrelTheme::surface().resolve(this));
        painter.drawRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), 10, 10);
    }
};

void setOpacity(QWidget* widget, double opacity) {
    if (!widget) return;
    auto* effect = qobject_cast<QGraphicsOpacityEffect*>(widget->graphicsEffect());
    if (!effect) {
        effect = new QGraphicsOpacityEffect(widget);
        widget->setGraphicsEffect(effect);
    }
    effect->setOpacity(opacity);
}

// A page on its way out, as a still picture of itself taken once. Pages fade rows of their own with
// opacity effects, and Qt cannot draw those inside another effect's drawing: the leaving page would
// fail to paint on every frame of the fade.
class LeavingPicture final : public QWidget {
public:
    LeavingPicture(QWidget& page, QWidget* parent) : QWidget(parent), picture_(page.grab()) {
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setGeometry(page.geometry());
    }
    void setOpacity(double opacity) {
        opacity_ = opacity;
        update();
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.setOpacity(opacity_);
        painter.drawPixmap(0, 0, picture_);
    }

private:
    QPixmap picture_;
    double opacity_ = 1;
};

} // namespace

RootLayout RootLayout::make(const QSizeF& window) {
    RootLayout l;
    l.metrics = ControlCenterLayoutPolicy::metrics(window.width());
    const double barWidth = std::max(
        0.0, std::min(NavigationBarLayout::kMaximumWidth, window.width() - 2 * l.metrics.shellPadding));
    l.bar = QRectF((window.width() - barWidth) / 2, kBarTop, barWidth, NavigationBarLayout::kHeight);
    const double pageTop = l.bar.bottom() + kBarBottom;
    l.page = QRectF(0, pageTop, window.width(), std::max(0.0, window.height() - pageTop));
    return l;
}

std::optional<VantrelAnimation> RootView::pageAnimation(MotionStyle style, bool reduceMotion) {
    if (style == MotionStyle::instant) return std::nullopt;
    return VantrelAnimation::easeOut(reduceMotion ? 0.12 : 0.14);
}

std::optional<VantrelAnimation> RootView::overlayAnimation(bool reduceMotion) {
    if (reduceMotion) return std::nullopt;
    return VantrelAnimation::easeOut(0.14);
}

RootView::RootView(const ControlCenterContext& context, QWidget* parent)
    : QWidget(parent), context_(context), pages_(context), pageFade_(new QVariantAnimation(this)),
      overlayFade_(new QVariantAnimation(this)) {
    setMinimumSize(720, 600);
    setFont(VantrelType::body());
    reader_ = new WindowReader(
        context_.scheduler, [this](QWidget& window) { Q_EMIT windowFound(&window); }, this);

    connect(pageFade_, &QVariantAnimation::valueChanged, this, [this](const QVariant& value) {
        const double progress = value.toDouble();
        setOpacity(page_, progress);
        if (leaving_) static_cast<LeavingPicture*>(leaving_.data())->setOpacity(1 - progress);
    });
    connect(pageFade_, &QVariantAnimation::finished, this, &RootView::finishPageFade);
    connect(overlayFade_, &QVariantAnimation::valueChanged, this, [this](const QVariant& value) {
        if (overlay_) overlay_->setOpacity(value.toDouble());
    });

    VantrelPreferences& preferences = context_.preferences;
    preferences.onChange(VantrelPreferences::Setting::hasCompletedOnboarding, this,
                         [this] { showContent(); });
    preferences.onChange(VantrelPreferences::Setting::appearanceMode, this, [this] { applyAppearance(); });
    preferences.onChange(VantrelPreferences::Setting::accent, this, [this] { applyAppearance(); });
    connect(&context_.appearance, &SystemAppearance::changed, this, &RootView::applyAppearance);
    connect(&context_.sections, &SectionNavigation::changed, this, &RootView::switchPage);
    connect(&context_.keyboardCleaning, &KeyboardCleaningController::changed, this,
            &RootView::cleaningChanged);

    notice_ = new NoticeCard(this);
    noticeText_ = new VantrelLabel(QString(), VantrelType::caption(), VantrelLabel::primary(), notice_);
    noticeText_->setWordWrap(true);
    notice_->hide();
    if (context_.fileNotices)
        connect(context_.fileNotices, &FileNotices::changed, this, &RootView::showNotices);

    applyAppearance();
    showContent();
    showNotices();
}

void RootView::showNotices() {
    const QStringList notices = context_.fileNotices ? context_.fileNotices->notices() : QStringList();
    noticeText_->setText(notices.join(QLatin1Char('\n')));
    notice_->setVisible(!notices.isEmpty());
    layoutContent();
}

RootView::~RootView() = default;

ColorScheme RootView::colorScheme() const {
    switch (context_.preferences.appearanceMode()) {
    case AppearanceMode::dark:
        return ColorScheme::dark;
    case AppearanceMode::light:
        return ColorScheme::light;
    case AppearanceMode::system:
        break;
    }
    return context_.appearance.colorScheme();
}

void RootView::applyAppearance() {
    // Controls of the kit take their tint from the palette's highlight.
    QPalette tinted = palette();
    tinted.setColor(QPalette::Highlight, VantrelTheme::accent(context_.preferences.accent()));
    setPalette(tinted);
    VantrelTheme::setColorScheme(this, colorScheme());
    VantrelTheme::applyToMenus(colorScheme(), VantrelTheme::accent(context_.preferences.accent()));
}

void RootView::showContent() {
    if (context_.preferences.hasCompletedOnboarding()) {
        if (controlCenter_) return;
        // The flow's own Continue button is still running its click: the view goes once it ends.
        if (onboarding_) {
            onboarding_->hide();
            onboarding_->deleteLater();
            onboarding_ = nullptr;
        }
        buildControlCenter();
        controlCenter_->show();
    } else {
        if (onboarding_) return;
        finishPageFade();
        delete controlCenter_;
        bar_ = nullptr;
        backdrop_ = nullptr;
        pageHost_ = nullptr;
        overlay_ = nullptr;
        onboarding_ = new OnboardingView(context_, this);
        onboarding_->show();
    }
    VantrelTheme::setColorScheme(this, colorScheme());
    layoutContent();
}

void RootView::buildControlCenter() {
    controlCenter_ = new QWidget(this);
    backdrop_ =
        new VantrelBackdrop(context_.preferences, context_.themeImages, context_.motion, controlCenter_);
    pageHost_ = new QWidget(controlCenter_);
    bar_ = new TopNavigationBar(context_, controlCenter_);
    page_ = pages_.makePage(context_.sections.selected(), pageHost_);
    KeyboardCleaningController& cleaning = context_.keyboardCleaning;
    overlay_ = new KeyboardCleaningOverlay({.controller = cleaning,
                                            .preferences = context_.preferences,
                                            .motion = context_.motion,
                                            .haptics = context_.haptics,
                                            .clock = context_.home.clock,
                                            .scheduler = context_.scheduler},
                                           controlCenter_);
    overlay_->setOpacity(cleaning.isActive() ? 1 : 0);
    overlay_->setAttribute(Qt::WA_TransparentForMouseEvents, !cleaning.isActive());
    overlay_->raise();
}

void RootView::layoutContent() {
    if (onboarding_) onboarding_->setGeometry(rect());
    if (notice_ && !notice_->isHidden()) {
        // At the foot of the window, over the onboarding or the page alike.
        const int width = std::min(kNoticeMaximumWidth, std::max(0, this->width() - 2 * kNoticeMargin));
        const int textWidth = std::max(0, width - 2 * kNoticePadding);
        const int height = noticeText_->heightForWidth(textWidth) + 2 * kNoticePadding;
        notice_->setGeometry((this->width() - width) / 2, this->height() - kNoticeMargin - height, width,
                             height);
        noticeText_->setGeometry(kNoticePadding, kNoticePadding, textWidth, height - 2 * kNoticePadding);
        notice_->raise();
    }
    if (!controlCenter_) return;
    const RootLayout l = RootLayout::make(size());
    controlCenter_->setGeometry(rect());
    backdrop_->setGeometry(rect());
    bar_->setMetrics(l.metrics);
    bar_->setGeometry(l.bar.toAlignedRect());
    pageHost_->setGeometry(l.page.toAlignedRect());
    for (QWidget* page : {page_.data(), leaving_.data()})
        if (page) page->setGeometry(pageHost_->rect());
    overlay_->setGeometry(rect());
}

void RootView::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    layoutContent();
}

void RootView::finishPageFade() {
    pageFade_->stop();
    delete leaving_;
    if (page_) page_->setGraphicsEffect(nullptr);
}

void RootView::switchPage() {
    if (!controlCenter_) return;
    finishPageFade();
    const std::optional<VantrelAnimation> animation =
        pageAnimation(context_.preferences.interfaceMotionStyle(), context_.motion.prefersReducedMotion());
    if (page_ && animation) {
        leaving_ = new LeavingPicture(*page_, pageHost_);
        leaving_->show();
    }
    delete page_;
    page_ = pages_.makePage(context_.sections.selected(), pageHost_);
    page_->setGeometry(pageHost_->rect());
    page_->show();
    if (!animation) {
        finishPageFade();
        return;
    }
    setOpacity(page_, 0);
    animation->run(*pageFade_, 0.0, 1.0);
}

void RootView::cleaningChanged() {
    if (!overlay_) return;
    const bool active = context_.keyboardCleaning.isActive();
    // Clicks reach the overlay only while a session runs; otherwise they pass to the bar and page.
    overlay_->setAttribute(Qt::WA_TransparentForMouseEvents, !active);
    const double target = active ? 1 : 0;
    overlayFade_->stop();
    const std::optional<VantrelAnimation> animation =
        overlayAnimation(context_.motion.prefersReducedMotion());
    if (!animation) {
        overlay_->setOpacity(target);
        return;
    }
    animation->run(*overlayFade_, overlay_->opacity(), target);
}

} // namespace vantrel
