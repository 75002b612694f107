#include "control-center/TopNavigationBar.h"

#include "control-center/SectionNavigation.h"
#include "control-center/VantrelMark.h"
#include "control-center/VantrelNavigationButton.h"
#include "core/VantrelHaptics.h"
#include "core/VantrelPreferences.h"
#include "kit/TextAdvance.h"
#include "kit/VantrelButton.h"
#include "kit/VantrelGlyph.h"
#include "kit/VantrelMotion.h"
#include "kit/VantrelPillButtonStyle.h"
#include "kit/VantrelShadow.h"
#include "kit/VantrelTheme.h"
#include "kit/VantrelType.h"
#include "platform/SystemAppearance.h"

#include <QEvent>
#include <QFontMetricsF>
#include <QLabel>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QScrollArea>
#include <QScrollBar>
#include <QVariantAnimation>
#include <cmath>

namespace vantrel {

namespace {

constexpr double kBarRadius = 22;
constexpr double kLensRadius = 11;
constexpr double kButtonSpacing = 2;
constexpr double kPillGlyph = 16;
constexpr double kPillSpacing = 7;

QPainterPath barShape(const QRectF& rect) {
    QPainterPath path;
    path.addRoundedRect(rect, kBarRadius, kBarRadius);
    return path;
}

// The row of section buttons inside the strip's scroll area. It paints the selection lens behind
// the buttons and centres them while they take less room than the strip.
class StripRow final : public QWidget {
public:
    StripRow(const TopNavigationBar& bar, const VantrelPreferences& preferences, QWidget* parent)
        : QWidget(parent), bar_(bar), preferences_(preferences) {}

    double idealWidth(const std::array<VantrelNavigationButton*, 8>& buttons) const {
        double width = 0;
        for (const VantrelNavigationButton* button : buttons) width += button->sizeHint().width();
        return width + kButtonSpacing * (buttons.size() - 1);
    }
    void place(const std::array<VantrelNavigationButton*, 8>& buttons, double viewportWidth) {
        const double ideal = idealWidth(buttons);
        const double width = std::max(ideal, viewportWidth);
        resize(int(std::ceil(width)), int(NavigationButtonLook::kHeight));
        double x = std::floor((width - ideal) / 2);
        for (VantrelNavigationButton* button : buttons) {
            const int w = button->sizeHint().width();
            button->setGeometry(int(x), 0, w, int(NavigationButtonLook::kHeight));
            x += w + kButtonSpacing;
        }
    }

protected:
    void paintEvent(QPaintEvent*) override {
        const QRectF lens = bar_.lensRect();
        if (lens.isEmpty()) return;
        const ColorScheme scheme = VantrelTheme::colorScheme(this);
        const QColor accent = VantrelTheme::accent(preferences_.accent());
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        QPainterPath shape;
        shape.addRoundedRect(lens, kLensRadius, kLensRadius);
        QLinearGradient fill(lens.topLeft(), lens.bottomRight());
        fill.setColorAt(0, VantrelTheme::withOpacity(VantrelTheme::surfaceHighlight().resolve(scheme), 0.13));
        fill.setColorAt(0.5, VantrelTheme::withOpacity(accent, 0.12));
        fill.setColorAt(1, VantrelTheme::withOpacity(VantrelTheme::elevated().resolve(scheme), 0.84));
        painter.fillPath(shape, fill);
        QLinearGradient stroke(lens.topLeft(), lens.bottomRight());
        stroke.setColorAt(0, VantrelTheme::withOpacity(VantrelTheme::keyline().resolve(scheme), 0.24));
        stroke.setColorAt(1, VantrelTheme::border().resolve(scheme));
        painter.strokePath(shape, QPen(QBrush(stroke), 0.8));
    }

private:
    const TopNavigationBar& bar_;
    const VantrelPreferences& preferences_;
};

// The command-palette pill: the command glyph in white and, when there is room, "Actions".
class PalettePill final : public VantrelButton {
public:
    PalettePill(std::shared_ptr<const VantrelButtonStyle> style, QWidget* parent)
        : VantrelButton(QStringLiteral("Actions"), std::move(style), parent) {
        setAccessibleName(QStringLiteral("Actions"));
        setAccessibleDescription(QStringLiteral("Opens the command palette"));
    }
    void setShowsTitle(bool shows) {
        if (showsTitle_ == shows) return;
        showsTitle_ = shows;
        updateGeometry();
        update();
    }
    bool showsTitle() const { return showsTitle_; }

    QSize sizeHint() const override {
        const ButtonLook look = currentLook();
        const QFontMetricsF metrics(look.font);
        return {int(std::ceil(labelWidth(look) + 2 * look.horizontalPadding)),
                int(std::ceil(std::max(kPillGlyph, metrics.height()) + 2 * look.verticalPadding))};
    }

protected:
    // The command glyph in white and, when shown, the title after it, centred as one.
    void paintLabel(QPainter& painter, const ButtonLook& look, const ButtonLayout& l) const override {
        const double labelWidth = this->labelWidth(look);
        const double x = l.frame.center().x() - labelWidth / 2;
        const QRectF glyph(x, l.frame.center().y() - kPillGlyph / 2, kPillGlyph, kPillGlyph);
        VantrelGlyph::paint(painter, glyph, u"command", Qt::white, 12, QFont::DemiBold);
        if (showsTitle_) {
            painter.setFont(look.font);
            painter.setPen(look.foreground);
            painter.drawText(
                QRectF(glyph.right() + kPillSpacing, l.frame.top(), labelWidth, l.frame.height()),
                Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, text());
        }
    }

private:
    double labelWidth(const ButtonLook& look) const {
        return kPillGlyph + (showsTitle_ ? kPillSpacing + TextAdvance::of(look.font, text()) : 0);
    }

    bool showsTitle_ = true;
};

QLabel* wordmarkLine(const QString& text, double size, QFont::Weight weight, double tracking,
                     QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setTextFormat(Qt::PlainText);
    QFont font = VantrelType::font(size, weight);
    font.setLetterSpacing(QFont::AbsoluteSpacing, tracking);
    label->setFont(font);
    label->setAttribute(Qt::WA_TransparentForMouseEvents);
    return label;
}

} // namespace

NavigationBarLook NavigationBarLook::make(bool reduceTransparency, bool increasedContrast) {
    return {
        .fillOpacity = reduceTransparency ? 1.0 : (increasedContrast ? 0.98 : 0.94),
        .outlineOpacity = increasedContrast ? 1.0 : 0.76,
        .outlineWidth = increasedContrast ? 1.4 : 0.75,
    };
}

NavigationBarLayout NavigationBarLayout::make(const QSizeF& bar,
                                              const ControlCenterLayoutPolicy::NavigationMetrics& m,
                                              const QSizeF& wordmark, const QSizeF& pill) {
    const QRectF content(m.barContentPadding, 0, std::max(0.0, bar.width() - 2 * m.barContentPadding),
                         bar.height());
    NavigationBarLayout l;
    l.mark = QRectF(content.left(), (bar.height() - kMarkSize) / 2, kMarkSize, kMarkSize);
    if (m.showsWordmark)
        l.wordmark = QRectF(l.mark.right() + kSpacing, (bar.height() - wordmark.height()) / 2,
                            wordmark.width(), wordmark.height());
    l.pill = QRectF(content.right() - pill.width(), (bar.height() - pill.height()) / 2, pill.width(),
                    pill.height());
    const double stripWidth =
        std::max(0.0, std::min(kStripMaximumWidth, content.width() - 2 * m.navigationSideInset));
    l.strip = QRectF(bar.width() / 2 - stripWidth / 2, (bar.height() - NavigationButtonLook::kHeight) / 2,
                     stripWidth, NavigationButtonLook::kHeight);
    return l;
}

const std::array<VantrelSection, 8>& TopNavigationBar::sections() {
    static const std::array<VantrelSection, 8> list{
        VantrelSection::home,       VantrelSection::notch,       VantrelSection::menuBar,
        VantrelSection::dock,       VantrelSection::feedback,    VantrelSection::notifications,
        VantrelSection::appearance, VantrelSection::permissions,
    };
    return list;
}

TopNavigationBar::TopNavigationBar(const ControlCenterContext& context, QWidget* parent)
    : QWidget(parent), context_(context), metrics_(ControlCenterLayoutPolicy::metrics(0)),
      lensAnimation_(new QVariantAnimation(this)) {
    const QColor accent = VantrelTheme::accent(context_.preferences.accent());
    mark_ = new VantrelMark(NavigationBarLayout::kMarkSize, accent, this);

    wordmark_ = new QWidget(this);
    wordmark_->setAttribute(Qt::WA_TransparentForMouseEvents);
    // The heavy weight, which the type scale draws as extra-bold.
    wordmarkTitle_ = wordmarkLine(QStringLiteral("VANTREL"), 14.5, QFont::ExtraBold, 0.8, wordmark_);
    wordmarkSubtitle_ = wordmarkLine(QStringLiteral("MAC CONTROL"), 7.5, QFont::Bold, 1.05, wordmark_);
    const QSize title = wordmarkTitle_->sizeHint();
    const QSize subtitle = wordmarkSubtitle_->sizeHint();
    wordmarkTitle_->setGeometry(0, 0, title.width(), title.height());
    // The two lines overlap by one point.
    wordmarkSubtitle_->setGeometry(0, title.height() - 1, subtitle.width(), subtitle.height());
    wordmark_->resize(std::max(title.width(), subtitle.width()), title.height() - 1 + subtitle.height());

    strip_ = new QScrollArea(this);
    strip_->setFrameShape(QFrame::NoFrame);
    strip_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    strip_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    strip_->setWidgetResizable(false);
    strip_->setAccessibleName(QStringLiteral("Sections"));
    // Tab goes to the section buttons, not to the strip that scrolls them.
    strip_->setFocusPolicy(Qt::NoFocus);
    strip_->viewport()->setAutoFillBackground(false);
    strip_->setStyleSheet(QStringLiteral("QScrollArea { background: transparent; }"));
    auto* row = new StripRow(*this, context_.preferences, strip_);
    row_ = row;
    row_->setAutoFillBackground(false);
    for (std::size_t i = 0; i < buttons_.size(); ++i) {
        const VantrelSection section = sections()[i];
        buttons_[i] = new VantrelNavigationButton(
            vantrel::title(section), context_.sections.selected() == section, accent, context_.appearance,
            [this, section] {
                context_.haptics.play(HapticSurface::controls);
                context_.sections.select(section);
            },
            row_);
        buttons_[i]->setReduceMotion(context_.motion.prefersReducedMotion());
        buttons_[i]->installEventFilter(this);
    }
    strip_->setWidget(row_);
    // The scroll area fills what it holds by default; the bar shows through the strip instead.
    row_->setAutoFillBackground(false);

    pill_ = new PalettePill(std::make_shared<VantrelPillButtonStyle>(accent, &context_.haptics), this);
    pill_->setMotion(&context_.motion);
    connect(pill_, &QAbstractButton::clicked, this, [this] {
        if (context_.home.showCommandPalette) context_.home.showCommandPalette();
    });

    shadow_ = new VantrelShadow(this, [](const QRectF& rect) { return barShape(rect); });

    connect(lensAnimation_, &QVariantAnimation::valueChanged, this, [this](const QVariant& value) {
        lens_ = value.toRectF();
        row_->update();
    });
    connect(&context_.sections, &SectionNavigation::changed, this, &TopNavigationBar::selectionChanged);
    context_.preferences.onChange(VantrelPreferences::Setting::accent, this, [this] { refreshAccent(); });
    connect(&context_.appearance, &SystemAppearance::changed, this, [this] { refreshAppearance(); });
    connect(&context_.motion, &VantrelMotion::prefersReducedMotionChanged, this, [this](bool reduce) {
        for (VantrelNavigationButton* button : buttons_) button->setReduceMotion(reduce);
    });
    setMetrics(metrics_);
    refreshAppearance();
}

VantrelNavigationButton* TopNavigationBar::button(VantrelSection section) const {
    for (std::size_t i = 0; i < buttons_.size(); ++i)
        if (sections()[i] == section) return buttons_[i];
    return nullptr;
}

NavigationBarLook TopNavigationBar::look() const {
    return NavigationBarLook::make(context_.appearance.reduceTransparency(),
                                   context_.appearance.increasedContrast());
}

NavigationBarLayout TopNavigationBar::barLayout() const {
    return NavigationBarLayout::make(size(), metrics_, wordmark_->size(), pill_->sizeHint());
}

void TopNavigationBar::setMetrics(const ControlCenterLayoutPolicy::NavigationMetrics& metrics) {
    metrics_ = metrics;
    wordmark_->setVisible(metrics.showsWordmark);
    static_cast<PalettePill*>(pill_)->setShowsTitle(metrics.showsActionsTitle);
    layoutChildren();
}

void TopNavigationBar::layoutChildren() {
    const NavigationBarLayout l = barLayout();
    mark_->move(l.mark.topLeft().toPoint());
    wordmark_->move(l.wordmark.topLeft().toPoint());
    pill_->setGeometry(l.pill.toAlignedRect());
    strip_->setGeometry(l.strip.toAlignedRect());
    static_cast<StripRow*>(row_)->place(buttons_, strip_->viewport()->width());
    lensAnimation_->stop();
    lens_ = targetLens();
    row_->update();
    scrollToSelection();
}

QRectF TopNavigationBar::targetLens() const {
    const VantrelNavigationButton* selected = button(context_.sections.selected());
    return selected ? QRectF(selected->geometry()) : QRectF();
}

void TopNavigationBar::selectionChanged() {
    for (std::size_t i = 0; i < buttons_.size(); ++i)
        buttons_[i]->setSelected(context_.sections.selected() == sections()[i]);
    // The selected title is bolder and so wider: the row is placed again before the lens moves.
    static_cast<StripRow*>(row_)->place(buttons_, strip_->viewport()->width());
    const QRectF from = lens_;
    const QRectF to = targetLens();
    lensAnimation_->stop();
    if (context_.motion.prefersReducedMotion() || from.isEmpty() || to.isEmpty()) {
        lens_ = to;
        row_->update();
    } else {
        VantrelAnimation::easeInOut(0.22).run(*lensAnimation_, from, to);
    }
    scrollToSelection();
}

void TopNavigationBar::scrollToSelection() {
    const VantrelNavigationButton* selected = button(context_.sections.selected());
    if (!selected) return;
    QScrollBar* bar = strip_->horizontalScrollBar();
    const int centre = selected->geometry().center().x();
    bar->setValue(std::clamp(centre - strip_->viewport()->width() / 2, bar->minimum(), bar->maximum()));
}

void TopNavigationBar::refreshAccent() {
    const QColor accent = VantrelTheme::accent(context_.preferences.accent());
    mark_->setAccent(accent);
    for (VantrelNavigationButton* button : buttons_) button->setAccent(accent);
    pill_->setButtonStyle(std::make_shared<VantrelPillButtonStyle>(accent, &context_.haptics));
    row_->update();
    update();
}

void TopNavigationBar::refreshAppearance() {
    const ColorScheme scheme = VantrelTheme::colorScheme(this);
    QPalette title = wordmarkTitle_->palette();
    title.setColor(QPalette::WindowText, VantrelTheme::primary(scheme));
    wordmarkTitle_->setPalette(title);
    QPalette subtitle = wordmarkSubtitle_->palette();
    subtitle.setColor(QPalette::WindowText, VantrelTheme::tertiaryText().resolve(scheme));
    wordmarkSubtitle_->setPalette(subtitle);
    if (shadow_) shadow_->setLook({VantrelTheme::shadow().resolve(scheme), 18, QPointF(0, 8)});
    update();
}

bool TopNavigationBar::eventFilter(QObject* watched, QEvent* event) {
    // Where the strip is narrower than its buttons, the one the keyboard reaches scrolls into view
    // whole, its ring included.
    if (event->type() == QEvent::FocusIn)
        if (auto* button = qobject_cast<QWidget*>(watched); button && row_->isAncestorOf(button))
            strip_->ensureWidgetVisible(button, 0, 0);
    return QWidget::eventFilter(watched, event);
}

bool TopNavigationBar::event(QEvent* event) {
    if (event->type() == VantrelTheme::colorSchemeChangeEvent()) refreshAppearance();
    return QWidget::event(event);
}

void TopNavigationBar::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    layoutChildren();
}

void TopNavigationBar::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    layoutChildren();
}

void TopNavigationBar::paintEvent(QPaintEvent*) {
    const ColorScheme scheme = VantrelTheme::colorScheme(this);
    const NavigationBarLook l = look();
    const QColor accent = VantrelTheme::accent(context_.preferences.accent());
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF frame = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    const QPainterPath shape = barShape(frame);
    painter.fillPath(shape,
                     VantrelTheme::withOpacity(VantrelTheme::surface().resolve(scheme), l.fillOpacity));
    QLinearGradient sheen(frame.topLeft(), frame.bottomRight());
    const QColor highlight = VantrelTheme::surfaceHighlight().resolve(scheme);
    sheen.setColorAt(0, VantrelTheme::withOpacity(highlight, 0.09));
    sheen.setColorAt(0.5, VantrelTheme::withOpacity(highlight, 0.02));
    sheen.setColorAt(1, VantrelTheme::withOpacity(accent, 0.018));
    painter.fillPath(shape, sheen);
    painter.strokePath(
        shape, QPen(VantrelTheme::withOpacity(VantrelTheme::keyline().resolve(scheme), l.outlineOpacity),
                    l.outlineWidth));
}

} // namespace vantrel
