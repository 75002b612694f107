#include "control-center/RootView.h"

#include "control-center/KeyboardCleaningOverlay.h"
#include "control-center/OnboardingView.h"
#include "control-center/SectionNavigation.h"
#include "control-center/TopNavigationBar.h"
#include "control-center/WindowReader.h"
#include "core/FileNotices.h"
#include "core/VantrelPreferences.h"
#include "kit/KeyActivation.h"
#include "kit/KitPaint.h"
#include "kit/NoticeCard.h"
#include "kit/VantrelBackdrop.h"
#include "kit/VantrelGlyph.h"
#include "kit/VantrelLabel.h"
#include "kit/VantrelTheme.h"
#include "kit/VantrelType.h"
#include "platform/SystemAppearance.h"
#include "services/KeyboardCleaningController.h"

#include <QAbstractButton>
#include <QGraphicsOpacityEffect>
#include <QPainter>
#include <QPixmap>
#include <QScrollArea>
#include <QScrollBar>
#include <QVariantAnimation>

namespace vantrel {

namespace {

constexpr double kBarTop = 20;
constexpr double kBarBottom = 10;
constexpr int kNoticeMargin = 16;
constexpr int kNoticePadding = 12;
constexpr int kNoticeMaximumWidth = 720;
constexpr int kNoticeClose = 22;
constexpr int kNoticeCloseGap = 8;
// The most lines of text the notice shows at once; more scroll inside it, so the band never takes
// more than that from the page, and the window never grows for it.
constexpr int kNoticeVisibleLines = 4;
constexpr int kNoticeScrollBar = 10;

// The notice's card: the surface colour with an amber edge.
NoticeCard::Look fileNoticeLook() {
    return {.fill = VantrelTheme::surface(),
            .edge = {VantrelTheme::caution(), VantrelTheme::caution()},
            .radius = 10};
}

// The notice's close control: an "xmark" that Tab reaches, with the kit's focus ring.
class NoticeCloseButton final : public QAbstractButton {
public:
    explicit NoticeCloseButton(QWidget* parent) : QAbstractButton(parent) {
        setAccessibleName(QStringLiteral("Close file notice"));
        setToolTip(accessibleName());
        setCursor(Qt::PointingHandCursor);
        setFocusPolicy(Qt::StrongFocus);
        setFixedSize(kNoticeClose, kNoticeClose);
        KitPaint::watchFocusReason(this);
        KeyActivation::pressOnReturn(this);
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        const ColorScheme scheme = VantrelTheme::colorScheme(this);
        VantrelGlyph::paint(
            painter, QRectF(rect()), u"xmark",
            VantrelTheme::withOpacity(VantrelTheme::primary(scheme), underMouse() ? 0.9 : 0.6), 10,
            QFont::DemiBold);
        KitPaint::paintFocusRingOf(painter, this, height() / 2.0);
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

    notice_ = new NoticeCard(fileNoticeLook(), this);
    noticeScroll_ = new QScrollArea(notice_);
    noticeScroll_->setFrameShape(QFrame::NoFrame);
    noticeScroll_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    noticeScroll_->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    noticeScroll_->setFocusPolicy(Qt::NoFocus);
    QPalette clear = noticeScroll_->palette();
    clear.setColor(QPalette::Window, Qt::transparent);
    clear.setColor(QPalette::Base, Qt::transparent);
    noticeScroll_->setPalette(clear);
    noticeScroll_->viewport()->setAutoFillBackground(false);
    // A thin bar that reads on the card in either appearance, in place of the style's own.
    noticeScroll_->verticalScrollBar()->setStyleSheet(QStringLiteral(
        "QScrollBar:vertical { background: transparent; width: 10px; margin: 0 0 0 4px; }"
        "QScrollBar::handle:vertical { background: rgba(128, 128, 128, 140); border-radius: 3px; "
        "min-height: 16px; }"
        "QScrollBar::add-line:vertical, QScrollBar::sub-line:vertical { height: 0; }"
        "QScrollBar::add-page:vertical, QScrollBar::sub-page:vertical { background: transparent; }"));
    noticeText_ = new VantrelLabel(QString(), VantrelType::caption(), VantrelLabel::primary());
    noticeText_->setWordWrap(true);
    noticeText_->setAutoFillBackground(false);
    noticeScroll_->setWidget(noticeText_);
    noticeClose_ = new NoticeCloseButton(notice_);
    connect(noticeClose_, &QAbstractButton::clicked, this, [this] {
        if (context_.fileNotices) context_.fileNotices->dismiss();
    });
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
    noticeScroll_->verticalScrollBar()->setValue(0);
    // Closed with the keyboard: the focus goes back to the window rather than nowhere.
    if (notices.isEmpty() && (noticeClose_->hasFocus() || noticeScroll_->hasFocus()))
        setFocus(Qt::OtherFocusReason);
    notice_->setVisible(!notices.isEmpty());
    layoutContent();
}

namespace {

// The width of the notice's text in a card `width` wide, beside its close control.
int noticeTextWidth(int width) {
    return std::max(0, width - 2 * kNoticePadding - kNoticeClose - kNoticeCloseGap);
}

} // namespace

int RootView::noticeTextLimit() const {
    return kNoticeVisibleLines * QFontMetrics(noticeText_->font()).lineSpacing();
}

bool RootView::noticeScrolls(int width) const {
    return noticeText_->heightForWidth(noticeTextWidth(width)) > noticeTextLimit();
}

int RootView::noticeHeight(int width) const {
    const int text = std::min(noticeText_->heightForWidth(noticeTextWidth(width)), noticeTextLimit());
    return std::max(text, kNoticeClose) + 2 * kNoticePadding;
}

int RootView::noticeRoom() const {
    if (!notice_ || notice_->isHidden()) return 0;
    return noticeHeight(noticeWidth()) + 2 * kNoticeMargin;
}

int RootView::noticeWidth() const {
    return std::min(kNoticeMaximumWidth, std::max(0, width() - 2 * kNoticeMargin));
}

void RootView::paintEvent(QPaintEvent*) {
    // The band under the content that the notice sits in, in the window's canvas colour.
    if (noticeRoom() == 0) return;
    QPainter painter(this);
    painter.fillRect(rect(), VantrelTheme::canvasMiddle().resolve(VantrelTheme::colorScheme(this)));
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
    // The notice takes a band at the foot of the window and the content the rest, so it covers
    // nothing. The band has a most height, so the window keeps its least size and stays on a small
    // screen; the content gives the band its room.
    const int room = noticeRoom();
    if (room != room_) {
        room_ = room;
        update();
        Q_EMIT noticeRoomChanged(room);
    }
    const QRect content(0, 0, width(), std::max(0, height() - room));
    if (onboarding_) onboarding_->setGeometry(content);
    if (room > 0) {
        const int width = noticeWidth();
        const int height = noticeHeight(width);
        notice_->setGeometry((this->width() - width) / 2, this->height() - kNoticeMargin - height, width,
                             height);
        const bool scrolls = noticeScrolls(width);
        const int textWidth = noticeTextWidth(width);
        noticeScroll_->setGeometry(kNoticePadding, kNoticePadding, textWidth, height - 2 * kNoticePadding);
        // Reached by the keyboard only while there is more to scroll to.
        noticeScroll_->setFocusPolicy(scrolls ? Qt::StrongFocus : Qt::NoFocus);
        const int labelWidth = scrolls ? textWidth - kNoticeScrollBar : textWidth;
        noticeText_->resize(labelWidth, noticeText_->heightForWidth(labelWidth));
        noticeClose_->move(width - kNoticePadding - kNoticeClose + 4, kNoticePadding - 4);
        notice_->raise();
    }
    if (!controlCenter_) return;
    const RootLayout l = RootLayout::make(size());
    // The backdrop fills the window, the band included; the page ends above the band.
    controlCenter_->setGeometry(rect());
    backdrop_->setGeometry(rect());
    bar_->setMetrics(l.metrics);
    bar_->setGeometry(l.bar.toAlignedRect());
    QRectF page = l.page;
    page.setBottom(std::max(page.top(), page.bottom() - room));
    pageHost_->setGeometry(page.toAlignedRect());
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
