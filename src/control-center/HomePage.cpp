#include "control-center/HomePage.h"

#include "control-center/EscapeKeyMonitor.h"
#include "control-center/HomeActions.h"
#include "control-center/HomeUtilityPanel.h"
#include "control-center/VantrelRowButtonStyle.h"
#include "core/FileNotices.h"
#include "core/VantrelPreferences.h"
#include "kit/GlassCard.h"
#include "kit/HazardBadge.h"
#include "kit/KeyActivation.h"
#include "kit/KitPaint.h"
#include "kit/SettingsCard.h"
#include "kit/TabularFigures.h"
#include "kit/TextAdvance.h"
#include "kit/VantrelButton.h"
#include "kit/VantrelConcentricGeometry.h"
#include "kit/VantrelGlyph.h"
#include "kit/VantrelLabel.h"
#include "kit/VantrelMotion.h"
#include "kit/VantrelPillButtonStyle.h"
#include "kit/VantrelSecondaryButtonStyle.h"
#include "kit/VantrelTheme.h"
#include "kit/VantrelType.h"
#include "modules/ClipboardStore.h"
#include "modules/FileShelfStore.h"
#include "modules/FocusTimer.h"
#include "platform/Clock.h"
#include "services/KeyboardCleaningController.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDateTime>
#include <QEvent>
#include <QGraphicsEffect>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QPainter>
#include <QRegularExpression>
#include <QShortcut>
#include <QVBoxLayout>
#include <QVariantAnimation>
#include <cmath>

namespace vantrel {

namespace {

QColor accentOf(const HomePageContext& context) {
    return VantrelTheme::accent(context.preferences.accent());
}

int heightFor(QWidget* widget, int width) {
    return widget->hasHeightForWidth() ? widget->heightForWidth(width) : widget->sizeHint().height();
}

// A glyph on a small tile of the accent.
void paintTile(QPainter& painter, const QRectF& tile, QStringView symbol, const QColor& accent, double fill,
               double radius, double pointSize) {
    painter.fillPath(ContinuousRoundedRectangle{radius}.path(tile), VantrelTheme::withOpacity(accent, fill));
    VantrelGlyph::paint(painter, tile, symbol, accent, pointSize, QFont::DemiBold);
}

// A text line drawn into `rect`, elided, shrinking to `minimumScale` of its font before that.
void drawFitted(QPainter& painter, const QRectF& rect, const QString& text, QFont font, double minimumScale,
                const QColor& color) {
    const double natural = TextAdvance::of(font, text);
    if (natural > rect.width() && natural > 0)
        font = VantrelType::font(
            VantrelType::pixelSize(font) * std::max(minimumScale, rect.width() / natural), font.weight());
    painter.setFont(font);
    painter.setPen(color);
    painter.drawText(rect, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                     TextAdvance::elidedRight(font, text, rect.width()));
}

// The clean-keyboard card's symbol on its 28-point tile of the accent.
class GlyphTile final : public QWidget {
public:
    GlyphTile(QString symbol, const HomePageContext& context, QWidget* parent)
        : QWidget(parent), symbol_(std::move(symbol)), context_(context) {
        setFixedSize(28, 28);
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        paintTile(painter, rect(), symbol_, accentOf(context_), 0.10, 8, 13);
    }

private:
    QString symbol_;
    const HomePageContext& context_;
};

// An overview metric: the glyph on its tile, the value over its title; no chrome.
class MetricButton final : public QAbstractButton {
public:
    MetricButton(HomeUtility utility, const QString& title, const HomePageContext& context, QWidget* parent)
        : QAbstractButton(parent), symbol_(symbol(utility)), title_(title), context_(context) {
        setFixedSize(104, 34);
        setCursor(Qt::PointingHandCursor);
        setFocusPolicy(Qt::TabFocus);
        KitPaint::watchFocusReason(this);
        KeyActivation::pressOnReturn(this);
        setAccessibleName(title);
    }
    QString value() const { return text(); }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        const ColorScheme scheme = VantrelTheme::colorScheme(this);
        const QRectF tile(0, (height() - 28) / 2.0, 28, 28);
        paintTile(painter, tile, symbol_, accentOf(context_), 0.10, 9, 12);
        const QFont valueFont = VantrelType::font(13, QFont::Bold);
        const QFontMetricsF valueMetrics(valueFont);
        const QFontMetricsF captionMetrics(VantrelType::caption());
        const double top = (height() - valueMetrics.height() - 1 - captionMetrics.height()) / 2;
        const QRectF value(tile.right() + 9, top, 58, valueMetrics.height());
        painter.setFont(valueFont);
        painter.setPen(VantrelTheme::primary(scheme));
        TabularFigures::draw(painter, value, Qt::AlignLeft | Qt::AlignVCenter, text());
        painter.setFont(VantrelType::caption());
        painter.setPen(VantrelTheme::secondaryText().resolve(scheme));
        painter.drawText(
            QRectF(value.left(), value.bottom() + 1, width() - value.left(), captionMetrics.height()),
            Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, title_);
        KitPaint::paintFocusRingOf(painter, this, 9);
    }

private:
    QString symbol_;
    QString title_;
    const HomePageContext& context_;
};

// A launcher of another section: tile, title, the section's dot and a chevron, with the row
// style's hover highlight.
class LauncherRow final : public QAbstractButton {
public:
    LauncherRow(const HomeActions::Launcher& launcher, const HomePageContext& context, QWidget* parent)
        : QAbstractButton(parent), symbol_(QString::fromUtf8(launcher.symbol)), context_(context),
          style_(new VantrelRowButtonStyle(this)) {
        setText(QString::fromUtf8(launcher.title));
        setAccessibleName(text());
        setFixedHeight(43);
        setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
        setCursor(Qt::PointingHandCursor);
        setFocusPolicy(Qt::TabFocus);
        KitPaint::watchFocusReason(this);
        KeyActivation::pressOnReturn(this);
    }
    void setLit(bool lit) {
        if (lit == lit_) return;
        lit_ = lit;
        update();
    }
    bool isLit() const { return lit_; }
    VantrelRowButtonStyle* rowStyle() const { return style_; }
    QSize sizeHint() const override { return {int(HomePage::kLaunchersWidth - 40), 43}; }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        style_->paint(painter, rect());
        const ColorScheme scheme = VantrelTheme::colorScheme(this);
        const QColor accent = accentOf(context_);
        const QRectF inner = QRectF(rect()).adjusted(8, 0, -8, 0);
        const QRectF tile(inner.left(), (height() - 28) / 2.0, 28, 28);
        paintTile(painter, tile, symbol_, accent, 0.09, 8, 12);
        const QRectF chevron(inner.right() - 12, (height() - 28) / 2.0, 12, 28);
        VantrelGlyph::paint(painter, chevron, u"chevron.right", VantrelTheme::tertiaryText().resolve(scheme),
                            8, QFont::Bold);
        const QRectF dot(chevron.left() - 10 - 5, height() / 2.0 - 2.5, 5, 5);
        painter.setPen(Qt::NoPen);
        painter.setBrush(lit_ ? accent : VantrelTheme::dormant().resolve(scheme));
        painter.drawEllipse(dot);
        const QRectF title(tile.right() + 10, 0, dot.left() - 6 - 10 - tile.right() - 10, height());
        drawFitted(painter, title, text(), VantrelType::label(), 0.82, VantrelTheme::primary(scheme));
        KitPaint::paintFocusRingOf(painter, this, 10);
    }

private:
    QString symbol_;
    const HomePageContext& context_;
    VantrelRowButtonStyle* style_;
    bool lit_ = false;
};

// A live row of the Now card: glyph, title over value, chevron; no chrome.
class LiveRow final : public QAbstractButton {
public:
    LiveRow(HomeUtility utility, const QString& title, const HomePageContext& context, QWidget* parent)
        : QAbstractButton(parent), symbol_(symbol(utility)), title_(title), context_(context) {
        setAccessibleName(title);
        setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
        setFixedHeight(int(std::ceil(std::max(28.0, QFontMetricsF(VantrelType::label()).height() + 2 +
                                                        QFontMetricsF(VantrelType::caption()).height()))));
        setCursor(Qt::PointingHandCursor);
        setFocusPolicy(Qt::TabFocus);
        KitPaint::watchFocusReason(this);
        KeyActivation::pressOnReturn(this);
    }
    QString value() const { return text(); }
    QSize sizeHint() const override { return {int(HomePage::kLiveWidth - 40), height()}; }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        const ColorScheme scheme = VantrelTheme::colorScheme(this);
        const QRectF glyph(0, (height() - 28) / 2.0, 24, 28);
        VantrelGlyph::paint(painter, glyph, symbol_, accentOf(context_), 12, QFont::DemiBold);
        const QRectF chevron(width() - 12, (height() - 28) / 2.0, 12, 28);
        VantrelGlyph::paint(painter, chevron, u"chevron.right", VantrelTheme::tertiaryText().resolve(scheme),
                            8, QFont::Bold);
        const QFontMetricsF titleMetrics(VantrelType::label());
        const QFontMetricsF valueMetrics(VantrelType::caption());
        const double top = (height() - titleMetrics.height() - 2 - valueMetrics.height()) / 2;
        const double left = glyph.right() + 10;
        const double width = chevron.left() - 10 - left;
        painter.setFont(VantrelType::label());
        painter.setPen(VantrelTheme::primary(scheme));
        painter.drawText(QRectF(left, top, width, titleMetrics.height()), Qt::AlignLeft | Qt::TextSingleLine,
                         TextAdvance::elidedRight(VantrelType::label(), title_, width));
        painter.setFont(VantrelType::caption());
        painter.setPen(VantrelTheme::secondaryText().resolve(scheme));
        painter.drawText(QRectF(left, top + titleMetrics.height() + 2, width, valueMetrics.height()),
                         Qt::AlignLeft | Qt::TextSingleLine,
                         TextAdvance::elidedRight(VantrelType::caption(), text(), width));
        KitPaint::paintFocusRingOf(painter, this, 8);
    }

private:
    QString symbol_;
    QString title_;
    const HomePageContext& context_;
};

// The clean-keyboard card's warning: a hazard badge that is a button without chrome.
class BadgeButton final : public QAbstractButton {
public:
    explicit BadgeButton(QWidget* parent) : QAbstractButton(parent) {
        setText(QStringLiteral("Accessibility required"));
        setAccessibleName(text());
        setCursor(Qt::PointingHandCursor);
        setFocusPolicy(Qt::TabFocus);
        KitPaint::watchFocusReason(this);
        KeyActivation::pressOnReturn(this);
        auto* row = new QHBoxLayout(this);
        row->setContentsMargins(0, 0, 0, 0);
        row->setSpacing(6);
        auto* badge = new HazardBadge(text(), this);
        badge->setAttribute(Qt::WA_TransparentForMouseEvents);
        row->addWidget(badge);
        row->addStretch(1);
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        KitPaint::paintFocusRingOf(painter, this, height() / 2.0);
    }
};

// A horizontal rule in the primary colour at an opacity.
class Divider final : public QWidget {
public:
    Divider(double opacity, QWidget* parent) : QWidget(parent), opacity_(opacity) {
        setFixedHeight(1);
        setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.fillRect(rect(),
                         VantrelTheme::withOpacity(VantrelTheme::border().resolve(this), opacity_ * 2));
    }

private:
    double opacity_;
};

// Places its children by hand in resizeEvent: with no layout watching them, a child asking to be
// measured again has them placed anew and the request passed on to the container.
class HandLaidWidget : public QWidget {
public:
    using QWidget::QWidget;

protected:
    bool event(QEvent* event) override {
        if (event->type() == QEvent::LayoutRequest) {
            updateGeometry();
            resizeEvent(nullptr);
            return true;
        }
        return QWidget::event(event);
    }
};

// The overview strip's content in its two arrangements: one row from 820 points, else the date
// and the button over a rule and the metrics.
class OverviewContent final : public HandLaidWidget {
public:
    OverviewContent(QLabel* date, QWidget* metrics, QWidget* quick, QWidget* parent)
        : HandLaidWidget(parent), date_(date), metrics_(metrics), quick_(quick),
          rule_(new Divider(0.45, this)) {
        for (QWidget* child : std::initializer_list<QWidget*>{date, metrics, quick}) child->setParent(this);
    }
    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override {
        const int date = date_->sizeHint().height();
        const int metrics = metrics_->sizeHint().height();
        const int quick = quick_->sizeHint().height();
        if (HomePage::isOverviewWide(width)) return std::max({date, metrics, quick});
        return std::max(date, quick) + 15 + 1 + 15 + metrics;
    }
    QSize sizeHint() const override {
        const int width =
            date_->sizeHint().width() + 40 + metrics_->sizeHint().width() + quick_->sizeHint().width();
        return {width, heightForWidth(width)};
    }
    QSize minimumSizeHint() const override { return {quick_->sizeHint().width() + 120, heightForWidth(0)}; }

protected:
    void resizeEvent(QResizeEvent*) override {
        const int w = width();
        const QSize quick = quick_->sizeHint();
        const QSize metrics = metrics_->sizeHint();
        if (HomePage::isOverviewWide(w)) {
            const int h = height();
            quick_->setGeometry(w - quick.width(), (h - quick.height()) / 2, quick.width(), quick.height());
            metrics_->setGeometry(quick_->x() - 20 - metrics.width(), (h - metrics.height()) / 2,
                                  metrics.width(), metrics.height());
            placeDate(0, h, metrics_->x() - 40);
            rule_->hide();
        } else {
            const int top = std::max(date_->sizeHint().height(), quick.height());
            quick_->setGeometry(w - quick.width(), (top - quick.height()) / 2, quick.width(), quick.height());
            placeDate(0, top, quick_->x() - 14 - 12 - 14);
            rule_->setGeometry(0, top + 15, w, 1);
            rule_->show();
            metrics_->setGeometry(0, top + 31, std::min(w, metrics.width()), metrics.height());
        }
    }

private:
    // The date on one line in `available`, shrinking to 72 % of its size before it is cut.
    void placeDate(int top, int rowHeight, int available) {
        QFont font = VantrelType::font(22, QFont::Bold);
        const double natural = TextAdvance::of(font, date_->text());
        if (natural > available && natural > 0)
            font = VantrelType::font(22 * std::max(0.72, available / natural), QFont::Bold);
        date_->setFont(font);
        const int height = date_->sizeHint().height();
        date_->setGeometry(0, top + (rowHeight - height) / 2, std::max(0, available), height);
    }

    QLabel* date_;
    QWidget* metrics_;
    QWidget* quick_;
    Divider* rule_;
};

// The body in its two arrangements: the launchers, the workspace and the live column side by
// side when that fits, else the workspace over the other two.
class HomeBody final : public HandLaidWidget {
public:
    HomeBody(const HomePage& page, QWidget* launchers, QWidget* workspace, QWidget* live, QWidget* parent)
        : HandLaidWidget(parent), page_(page), launchers_(launchers), workspace_(workspace), live_(live) {
        for (QWidget* child : {launchers, workspace, live}) child->setParent(this);
    }
    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override {
        if (page_.isBodyWide(width)) {
            const int middle =
                width - int(HomePage::kLaunchersWidth + HomePage::kLiveWidth + 2 * HomePage::kColumnSpacing);
            return std::max({heightFor(launchers_, int(HomePage::kLaunchersWidth)),
                             heightFor(workspace_, middle), heightFor(live_, int(HomePage::kLiveWidth))});
        }
        return heightFor(workspace_, width) + int(HomePage::kColumnSpacing) +
               std::max(heightFor(launchers_, int(HomePage::kLaunchersWidth)),
                        heightFor(live_, int(HomePage::kLiveWidth)));
    }
    QSize sizeHint() const override {
        const int width = int(page_.wideBodyWidth());
        return {width, heightForWidth(width)};
    }
    QSize minimumSizeHint() const override { return {0, 0}; }

protected:
    void resizeEvent(QResizeEvent*) override {
        const int w = width();
        const int left = int(HomePage::kLaunchersWidth);
        const int right = int(HomePage::kLiveWidth);
        const int gap = int(HomePage::kColumnSpacing);
        if (page_.isBodyWide(w)) {
            const int middle = w - left - right - 2 * gap;
            launchers_->setGeometry(0, 0, left, heightFor(launchers_, left));
            workspace_->setGeometry(left + gap, 0, middle, heightFor(workspace_, middle));
            live_->setGeometry(w - right, 0, right, heightFor(live_, right));
        } else {
            const int top = heightFor(workspace_, w);
            workspace_->setGeometry(0, 0, w, top);
            launchers_->setGeometry(0, top + gap, left, heightFor(launchers_, left));
            live_->setGeometry(left + gap, top + gap, right, heightFor(live_, right));
        }
    }

private:
    const HomePage& page_;
    QWidget* launchers_;
    QWidget* workspace_;
    QWidget* live_;
};

// Fades the panel and grows it from 98.5 % about its centre while it is presented or dismissed.
class ScaleFadeEffect final : public QGraphicsEffect {
public:
    explicit ScaleFadeEffect(QObject* parent) : QGraphicsEffect(parent) {}
    void setProgress(double progress) {
        progress_ = progress;
        update();
    }

protected:
    void draw(QPainter* painter) override {
        QPoint offset;
        const QPixmap pixmap = sourcePixmap(Qt::LogicalCoordinates, &offset);
        const QRectF bounds = sourceBoundingRect(Qt::LogicalCoordinates);
        const double scale = HomePage::kPanelScale + (1 - HomePage::kPanelScale) * progress_;
        painter->save();
        painter->setOpacity(painter->opacity() * progress_);
        painter->translate(bounds.center());
        painter->scale(scale, scale);
        painter->translate(-bounds.center());
        painter->drawPixmap(offset, pixmap);
        painter->restore();
    }

private:
    double progress_ = 0;
};

// The backdrop over the whole window and the panel centred on it. One click on the backdrop
// closes the panel; the layer fades in when presented and out, then goes, when dismissed. While
// presented the keyboard focus is in the panel, so no key reaches the page below; dismissed, the
// focus goes back to the control that opened the panel (else to `fallback`).
class UtilityLayer final : public QWidget {
public:
    UtilityLayer(QWidget* host, const HomePageContext& context, HomeActions& actions, HomeUtility utility,
                 QWidget* opener, QWidget* fallback)
        : QWidget(host), host_(host), actions_(actions), fallback_(fallback),
          panel_(new HomeUtilityPanel(context, actions, utility, this)), effect_(new ScaleFadeEffect(this)),
          animation_(new QVariantAnimation(this)) {
        setObjectName(QStringLiteral("utilityLayer"));
        setAccessibleName(QStringLiteral("Close quick controls"));
        host->installEventFilter(this);
        panel_->setGraphicsEffect(effect_);
        const std::optional<VantrelAnimation> motion =
            context.motion.resolve(VantrelMotion::Kind::transition, VantrelAnimation::easeOut(0.15));
        motion.value_or(VantrelAnimation::easeOut(0.15)).applyTo(*animation_);
        connect(animation_, &QVariantAnimation::valueChanged, this, [this](const QVariant& value) {
            progress_ = value.toDouble();
            if (effect_) effect_->setProgress(progress_);
            update();
        });
        connect(animation_, &QVariantAnimation::finished, this, [this] {
            if (closing_) {
                hide();
                deleteLater();
            } else {
                // At rest the panel draws itself, without the effect's off-screen copy.
                panel_->setGraphicsEffect(nullptr);
                effect_ = nullptr;
            }
        });
        follow();
        show();
        raise();
        takeFocus(opener, utility);
        animateTo(1);
    }
    HomeUtilityPanel* panel() const { return panel_; }
    QVariantAnimation* animation() const { return animation_; }
    bool isClosing() const { return closing_; }

    void present(HomeUtility utility, QWidget* opener) {
        panel_->setSelected(utility);
        if (!closing_) return;
        closing_ = false;
        panel_->escapeMonitor()->setEnabled(true);
        setAttribute(Qt::WA_TransparentForMouseEvents, false);
        takeFocus(opener, utility);
        animateTo(1);
    }
    void dismiss() {
        if (closing_) return;
        closing_ = true;
        // Escape and clicks pass to the page while the layer fades away.
        panel_->escapeMonitor()->setEnabled(false);
        setAttribute(Qt::WA_TransparentForMouseEvents, true);
        giveFocusBack();
        animateTo(0);
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.fillRect(rect(),
                         QColor(0, 0, 0, int(std::lround(255 * HomePage::kBackdropOpacity * progress_))));
    }
    void mousePressEvent(QMouseEvent* event) override {
        event->accept();
        actions_.closeUtility();
    }
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == host_ && event->type() == QEvent::Resize) follow();
        return QWidget::eventFilter(watched, event);
    }

private:
    // The focus moves into the panel, so that a key the panel does not use goes up to the window,
    // never to the page's editor below. Opened from the keyboard, the header of the section asked
    // for takes it, ring and all, so the user sees where they are; opened with a click, the panel
    // itself does, showing none, and the first Tab reaches its first control.
    void takeFocus(QWidget* opener, HomeUtility utility) {
        QWidget* focused = QApplication::focusWidget();
        opener_ = opener ? opener : focused;
        // A control that had the focus gets it back as the keyboard left it, ring and all; one
        // that was clicked takes it without a ring, as a click would.
        returnReason_ = opener && opener != focused ? Qt::MouseFocusReason : Qt::OtherFocusReason;
        const bool fromKeyboard = focused && opener_ == focused && !KitPaint::focusCameByClick(focused);
        if (fromKeyboard)
            panel_->sectionHeader(utility)->setFocus(Qt::TabFocusReason);
        else
            panel_->setFocus(Qt::OtherFocusReason);
    }
    void giveFocusBack() {
        const QWidget* focused = QApplication::focusWidget();
        if (focused && focused != panel_ && !panel_->isAncestorOf(focused)) return;
        QWidget* target =
            opener_ && opener_->isVisible() && opener_->isEnabled() ? opener_.data() : fallback_.data();
        if (target)
            target->setFocus(target == opener_ ? returnReason_ : Qt::OtherFocusReason);
        else
            panel_->clearFocus();
    }
    void follow() {
        setGeometry(host_->rect());
        panel_->move((width() - panel_->width()) / 2, (height() - panel_->height()) / 2);
    }
    void animateTo(double target) {
        if (!effect_) {
            effect_ = new ScaleFadeEffect(this);
            effect_->setProgress(progress_);
            panel_->setGraphicsEffect(effect_);
        }
        animation_->stop();
        animation_->setStartValue(progress_);
        animation_->setEndValue(target);
        animation_->start();
    }

    QWidget* host_;
    HomeActions& actions_;
    QPointer<QWidget> fallback_;
    QPointer<QWidget> opener_;
    Qt::FocusReason returnReason_ = Qt::OtherFocusReason;
    HomeUtilityPanel* panel_;
    QPointer<ScaleFadeEffect> effect_;
    QVariantAnimation* animation_;
    double progress_ = 0;
    bool closing_ = false;
};

} // namespace

HomePage::HomePage(const HomePageContext& context, QWidget* parent)
    : VantrelPage(context.preferences, QStringLiteral("Home"), std::nullopt, kMaxWidth, parent),
      context_(context), actions_(new HomeActions(context_, this)) {
    // A click on the page gives it the keys (Escape closes a panel); Tab passes it by, as it
    // shows no focus of its own.
    setFocusPolicy(Qt::ClickFocus);
    addContent(buildOverview());
    auto* workspaceCard = new SettingsCard(
        context_.preferences, context_.appearance, QStringLiteral("Workspace"),
        QStringLiteral("Local notes and recent screenshots"),
        QStringLiteral("Notes stay on this Mac. Screenshots are references from the File Shelf; "
                       "Vantrel does not move or duplicate the originals."));
    workspace_ = new HomeWorkspace(context_, *actions_);
    workspaceCard->addContent(workspace_);
    body_ = new HomeBody(*this, buildLaunchers(), workspaceCard, buildLive(), nullptr);
    addContent(body_);

    cancel_ = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_Period), this);
    cancel_->setContext(Qt::WindowShortcut);
    cancel_->setEnabled(false);
    connect(cancel_, &QShortcut::activated, actions_, &HomeActions::closeUtility);
    connect(actions_, &HomeActions::presentedUtilityChanged, this, &HomePage::presentedChanged);

    // Every published change of what the page shows repaints it.
    using Setting = VantrelPreferences::Setting;
    for (Setting setting :
         {Setting::accent, Setting::notchEnabled, Setting::menuMaskEnabled, Setting::menuTintEnabled,
          Setting::feedbackEnabled, Setting::notificationsEnabled})
        context_.preferences.onChange(setting, this, [this] { refresh(); });
    connect(&context_.focus, &FocusTimer::remainingSecondsChanged, this, &HomePage::refresh);
    connect(&context_.focus, &FocusTimer::isRunningChanged, this, &HomePage::refresh);
    connect(&context_.clipboard, &ClipboardStore::entriesChanged, this, &HomePage::refresh);
    connect(&context_.clipboard, &ClipboardStore::saveStateChanged, this, &HomePage::refresh);
    connect(&context_.shelf, &FileShelfStore::itemsChanged, this, &HomePage::refresh);
    connect(&context_.permissions, &PermissionCenter::statesChanged, this, &HomePage::refresh);
    connect(&context_.keyboardCleaning, &KeyboardCleaningController::changed, this, &HomePage::refresh);
    if (context_.fileNotices) connect(context_.fileNotices, &FileNotices::changed, this, &HomePage::refresh);
    refresh();
}

HomePage::~HomePage() {
    delete layer_;
}

const std::optional<HomeUtility>& HomePage::presentedUtility() const {
    return actions_->presentedUtility();
}

HomePage::WorkspaceMode HomePage::workspaceMode() const {
    return workspace_->mode();
}

QWidget* HomePage::buildOverview() {
    date_ = new VantrelLabel(QString(), VantrelType::font(22, QFont::Bold), VantrelLabel::primary());
    date_->setObjectName(QStringLiteral("overview.date"));
    date_->setWordWrap(false);

    auto* metrics = new QWidget;
    auto* row = new QHBoxLayout(metrics);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(20);
    const std::array<std::pair<HomeUtility, QString>, 3> rows{
        {{HomeUtility::timer, QStringLiteral("Timer")},
         {HomeUtility::clipboard, QStringLiteral("Clipboard")},
         {HomeUtility::files, QStringLiteral("Shelf")}}};
    for (const auto& [utility, title] : rows) {
        auto* button = new MetricButton(utility, title, context_, metrics);
        button->setObjectName(QStringLiteral("metric ") + title);
        const HomeUtility u = utility;
        connect(button, &QAbstractButton::clicked, actions_, [this, u, button] {
            opener_ = button;
            actions_->presentUtility(u);
        });
        metrics_[std::size_t(utility)] = button;
        row->addWidget(button);
    }

    quickActions_ =
        new VantrelButton(QStringLiteral("Quick actions"),
                          std::make_shared<VantrelPillButtonStyle>(accentOf(context_), &context_.haptics));
    quickActions_->setObjectName(QStringLiteral("quickActions"));
    quickActions_->setMotion(&context_.motion);
    quickActions_->setLeadingGlyph(QStringLiteral("command"), 12, 16);
    connect(quickActions_, &QAbstractButton::clicked, actions_, &HomeActions::showCommandPalette);

    overview_ = new OverviewContent(date_, metrics, quickActions_, nullptr);
    return new GlassCard(context_.preferences, 18, overview_);
}

QWidget* HomePage::buildLaunchers() {
    auto* column = new QWidget;
    auto* stack = new QVBoxLayout(column);
    stack->setContentsMargins(0, 0, 0, 0);
    stack->setSpacing(16);

    auto* controls = new SettingsCard(context_.preferences, context_.appearance, QStringLiteral("Controls"));
    auto* rows = new QWidget;
    auto* list = new QVBoxLayout(rows);
    list->setContentsMargins(0, 0, 0, 0);
    list->setSpacing(2);
    for (std::size_t i = 0; i < HomeActions::kLaunchers.size(); ++i) {
        const HomeActions::Launcher& launcher = HomeActions::kLaunchers[i];
        auto* button = new LauncherRow(launcher, context_, rows);
        button->setObjectName(QStringLiteral("launcher ") + rawValue(launcher.section));
        const VantrelSection section = launcher.section;
        connect(button, &QAbstractButton::clicked, actions_,
                [this, section] { actions_->openSection(section); });
        launchers_[i] = button;
        list->addWidget(button);
    }
    controls->addContent(rows);
    stack->addWidget(controls);

    auto* clean = new SettingsCard(
        context_.preferences, context_.appearance, QStringLiteral("Clean Keyboard"), std::nullopt,
        QStringLiteral(
            "For 15 seconds Vantrel opens a temporary cleaning canvas and blocks input from built-in and "
            "external keyboards. The trackpad remains active, nothing is saved, and "
            "Control\u2013Option\u2013Command\u2013Escape always ends the session early."));
    auto* content = new QWidget;
    auto* lines = new QVBoxLayout(content);
    lines->setContentsMargins(0, 0, 0, 0);
    lines->setSpacing(11);
    auto* intro = new QHBoxLayout;
    intro->setSpacing(9);
    const QColor accent = accentOf(context_);
    intro->addWidget(new GlyphTile(QStringLiteral("keyboard"), context_, content));
    auto* texts = new QVBoxLayout;
    texts->setSpacing(2);
    texts->addWidget(
        new VantrelLabel(QStringLiteral("15 seconds"), VantrelType::label(), VantrelLabel::primary()));
    texts->addWidget(new VantrelLabel(QStringLiteral("Trackpad stays active"), VantrelType::caption(),
                                      VantrelTheme::secondaryText()));
    intro->addLayout(texts);
    intro->addStretch(1);
    lines->addLayout(intro);
    cleaning_ =
        new VantrelButton(QStringLiteral("Open Cleaning Canvas"),
                          std::make_shared<VantrelPillButtonStyle>(accent, &context_.haptics), content);
    cleaning_->setObjectName(QStringLiteral("openCleaningCanvas"));
    cleaning_->setMotion(&context_.motion);
    cleaning_->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    connect(cleaning_, &QAbstractButton::clicked, actions_, &HomeActions::openCleaningCanvas);
    lines->addWidget(cleaning_);
    badge_ = new BadgeButton(content);
    badge_->setObjectName(QStringLiteral("accessibilityRequired"));
    connect(badge_, &QAbstractButton::clicked, actions_, &HomeActions::openPermissions);
    lines->addWidget(badge_);
    clean->addContent(content);
    stack->addWidget(clean);
    stack->addStretch(1);
    return column;
}

QWidget* HomePage::buildLive() {
    auto* column = new QWidget;
    auto* stack = new QVBoxLayout(column);
    stack->setContentsMargins(0, 0, 0, 0);
    stack->setSpacing(16);

    auto* now = new SettingsCard(context_.preferences, context_.appearance, QStringLiteral("Now"));
    auto* rows = new QWidget;
    auto* list = new QVBoxLayout(rows);
    list->setContentsMargins(0, 0, 0, 0);
    list->setSpacing(13);
    const std::array<std::pair<HomeUtility, QString>, 3> titles{
        {{HomeUtility::timer, QStringLiteral("Timer")},
         {HomeUtility::clipboard, QStringLiteral("Clipboard")},
         {HomeUtility::files, QStringLiteral("File Shelf")}}};
    for (const auto& [utility, title] : titles) {
        if (utility != HomeUtility::timer) list->addWidget(new Divider(0.25, rows));
        auto* row = new LiveRow(utility, title, context_, rows);
        row->setObjectName(QStringLiteral("live ") + title);
        const HomeUtility u = utility;
        connect(row, &QAbstractButton::clicked, actions_, [this, u, row] {
            opener_ = row;
            actions_->presentUtility(u);
        });
        liveRows_[std::size_t(utility)] = row;
        list->addWidget(row);
    }
    now->addContent(rows);
    stack->addWidget(now);

    attention_ = new SettingsCard(context_.preferences, context_.appearance, QStringLiteral("Attention"),
                                  QStringLiteral("Everything important is ready"));
    auto* content = new QWidget;
    auto* lines = new QVBoxLayout(content);
    lines->setContentsMargins(0, 0, 0, 0);
    attentionIssues_ = new QWidget(content);
    auto* issues = new QVBoxLayout(attentionIssues_);
    issues->setContentsMargins(0, 0, 0, 0);
    issues->setSpacing(12);
    auto* hazard = new HazardBadge(QStringLiteral("Review permissions"), attentionIssues_);
    issues->addWidget(hazard, 0, Qt::AlignLeft);
    auto* note = new VantrelLabel(QStringLiteral("Some tools are greyed out until macOS grants access."),
                                  VantrelType::caption(), VantrelTheme::secondaryText(), attentionIssues_);
    note->setWordWrap(true);
    issues->addWidget(note);
    auto* open = new VantrelButton(QStringLiteral("Open Permissions"),
                                   std::make_shared<VantrelSecondaryButtonStyle>(), attentionIssues_);
    open->setObjectName(QStringLiteral("openPermissions"));
    connect(open, &QAbstractButton::clicked, actions_, &HomeActions::openPermissions);
    issues->addWidget(open, 0, Qt::AlignLeft);
    lines->addWidget(attentionIssues_);

    attentionReady_ = new QWidget(content);
    auto* ready = new QHBoxLayout(attentionReady_);
    ready->setContentsMargins(0, 0, 0, 0);
    ready->setSpacing(7);
    ready->addWidget(new VantrelGlyph(QStringLiteral("checkmark.circle.fill"), accentOf(context_), 11,
                                      QFont::DemiBold, 18, 18, attentionReady_));
    auto* readyText = new QLabel(QStringLiteral("Core access is ready"), attentionReady_);
    readyText->setObjectName(QStringLiteral("coreAccessReady"));
    readyText->setFont(VantrelType::label());
    QPalette tinted = readyText->palette();
    tinted.setColor(QPalette::WindowText, accentOf(context_));
    readyText->setPalette(tinted);
    ready->addWidget(readyText);
    ready->addStretch(1);
    lines->addWidget(attentionReady_);
    attention_->addContent(content);
    stack->addWidget(attention_);
    stack->addStretch(1);
    return column;
}

int HomePage::missingPermissionCount(PermissionState accessibility, PermissionState inputMonitoring,
                                     PermissionState camera, PermissionState calendar) {
    int missing = 0;
    for (PermissionState state : {accessibility, inputMonitoring, camera, calendar})
        if (state != PermissionState::allowed) ++missing;
    return missing;
}

int HomePage::missingPermissionCount() const {
    const PermissionCenter& p = context_.permissions;
    return missingPermissionCount(p.accessibility(), p.inputMonitoring(), p.camera(), p.calendar());
}

QString HomePage::timerValue(bool running, const QString& timeText) {
    return running ? timeText : QStringLiteral("Ready");
}

QString HomePage::attentionSubtitle(int missing) {
    if (missing <= 0) return QStringLiteral("Everything important is ready");
    return QString::number(missing) + QStringLiteral(" item") +
           (missing == 1 ? QString() : QStringLiteral("s")) + QStringLiteral(" to review");
}

bool HomePage::isLauncherLit(VantrelSection section) const {
    const VantrelPreferences& p = context_.preferences;
    switch (section) {
    case VantrelSection::notch:
        return p.notchEnabled();
    case VantrelSection::menuBar:
        return p.menuMaskEnabled() || p.menuTintEnabled();
    case VantrelSection::feedback:
        return p.feedbackEnabled();
    case VantrelSection::notifications:
        return p.notificationsEnabled();
    case VantrelSection::appearance:
        return true;
    case VantrelSection::permissions:
        return missingPermissionCount() == 0;
    case VantrelSection::home:
    case VantrelSection::dock:
    case VantrelSection::automations:
        break;
    }
    return false;
}

QString HomePage::overviewDate(const QDate& date, const QLocale& locale) {
    // The locale's long date without its year: weekday, month and day, all written out.
    QString format = locale.dateFormat(QLocale::LongFormat);
    static const QRegularExpression year(QStringLiteral("[\\s,./-]*y+[\\s.]*(?:\u5e74|\ub144|\u0433\\.?)?"));
    format.remove(year);
    format = format.trimmed();
    while (!format.isEmpty() && QStringLiteral(",.-/").contains(format.back())) format.chop(1);
    while (!format.isEmpty() && QStringLiteral(",.-/ ").contains(format.front())) format.remove(0, 1);
    format.replace(QRegularExpression(QStringLiteral("(^|[^M])MMM($|[^M])")), QStringLiteral("\\1MMMM\\2"));
    if (!format.contains(QStringLiteral("dddd"))) format.prepend(QStringLiteral("dddd, "));
    return locale.toString(date, format);
}

QString HomePage::overviewDateAccessible(const QDate& date, const QLocale& locale) {
    return locale.toString(date, QLocale::LongFormat);
}

double HomePage::wideBodyWidth() const {
    // The workspace card's ideal width: its content plus the card's paddings.
    const double workspace = workspace_->sizeHint().width() + 2 * SettingsCardLayout::kContentPadding;
    return kLaunchersWidth + kColumnSpacing + workspace + kColumnSpacing + kLiveWidth;
}

void HomePage::refresh() {
    const QDate today = toQDateTime(context_.clock.now()).toLocalTime().date();
    const QLocale locale;
    date_->setText(overviewDate(today, locale));
    date_->setAccessibleName(overviewDateAccessible(today, locale));

    const QString timer = timerValue(context_.focus.isRunning(), context_.focus.timeText());
    const qsizetype clipboard = context_.clipboard.entries().size();
    const qsizetype shelf = context_.shelf.items().size();
    metrics_[0]->setText(timer);
    metrics_[1]->setText(QString::number(clipboard));
    metrics_[2]->setText(QString::number(shelf));
    liveRows_[0]->setText(timer);
    // "saved" only while the history is on disk.
    liveRows_[1]->setText(QString::number(clipboard) + (context_.clipboard.saveState().notSaved()
                                                            ? QStringLiteral(" not saved")
                                                            : QStringLiteral(" saved")));
    liveRows_[2]->setText(QString::number(shelf) + QStringLiteral(" items"));

    for (std::size_t i = 0; i < launchers_.size(); ++i)
        static_cast<LauncherRow*>(launchers_[i])->setLit(isLauncherLit(HomeActions::kLaunchers[i].section));

    const std::optional<QString>& status = context_.keyboardCleaning.statusMessage();
    badge_->setVisible(status.has_value());
    badge_->setToolTip(status.value_or(QString()));

    const int missing = missingPermissionCount();
    attention_->setSubtitle(attentionSubtitle(missing));
    attentionIssues_->setVisible(missing > 0);
    attentionReady_->setVisible(missing == 0);
    update();
}

HomeUtilityPanel* HomePage::panel() const {
    auto* layer = static_cast<UtilityLayer*>(layer_.data());
    return layer && !layer->isClosing() ? layer->panel() : nullptr;
}

QVariantAnimation* HomePage::presentation() const {
    auto* layer = static_cast<UtilityLayer*>(layer_.data());
    return layer ? layer->animation() : nullptr;
}

void HomePage::presentedChanged() {
    const std::optional<HomeUtility>& utility = actions_->presentedUtility();
    cancel_->setEnabled(utility.has_value());
    auto* layer = static_cast<UtilityLayer*>(layer_.data());
    if (!utility) {
        if (layer) layer->dismiss();
        return;
    }
    QWidget* opener = opener_;
    opener_.clear();
    if (layer) {
        layer->present(*utility, opener);
        return;
    }
    // Over the whole window, so a click anywhere beside the panel lands on the backdrop.
    layer_ = new UtilityLayer(window(), context_, *actions_, *utility, opener, this);
}

void HomePage::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        if (actions_->handleEscape()) {
            event->accept();
            return;
        }
        event->ignore();
        return;
    }
    VantrelPage::keyPressEvent(event);
}

} // namespace vantrel
