#include "control-center/HomeUtilityPanel.h"

#include "control-center/EscapeKeyMonitor.h"
#include "control-center/HomeActions.h"
#include "core/VantrelPreferences.h"
#include "kit/FocusHandOff.h"
#include "kit/KeyActivation.h"
#include "kit/KitPaint.h"
#include "kit/SingleItemLayout.h"
#include "kit/VantrelButton.h"
#include "kit/VantrelConcentricGeometry.h"
#include "kit/VantrelGlyph.h"
#include "kit/VantrelIcon.h"
#include "kit/VantrelLabel.h"
#include "kit/VantrelMenuPicker.h"
#include "kit/VantrelMotion.h"
#include "kit/VantrelPillButtonStyle.h"
#include "kit/VantrelSecondaryButtonStyle.h"
#include "kit/VantrelShadow.h"
#include "kit/VantrelTheme.h"
#include "kit/VantrelType.h"
#include "modules/ClipboardStore.h"
#include "modules/FileShelfStore.h"
#include "modules/FocusTimer.h"
#include "modules/StopwatchStore.h"
#include "platform/FileManager.h"

#include <QAbstractButton>
#include <QApplication>
#include <QGraphicsOpacityEffect>
#include <QHBoxLayout>
#include <QLayout>
#include <QLinearGradient>
#include <QPainter>
#include <QScrollArea>
#include <QVBoxLayout>
#include <QVariantAnimation>
#include <algorithm>
#include <cmath>
#include <utility>

namespace vantrel {

namespace {

const AdaptiveColor kWhite{Qt::white, Qt::white};

using VantrelTheme::white;

VantrelLabel* label(const QString& text, const QFont& font, double opacity, QWidget* parent = nullptr) {
    auto* l = new VantrelLabel(text, font, kWhite, parent);
    l->setColor(kWhite, opacity);
    l->setTextFormat(Qt::PlainText);
    return l;
}

// A rule across the panel, white at `opacity`.
class Rule final : public QWidget {
public:
    explicit Rule(double opacity, QWidget* parent = nullptr) : QWidget(parent), opacity_(opacity) {
        setFixedHeight(1);
        setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.fillRect(rect(), white(opacity_));
    }

private:
    double opacity_;
};

// A plain button that is a symbol, optionally on a rounded or round fill.
class GlyphButton final : public QAbstractButton {
public:
    enum class Backing { none, rounded, circle };
    GlyphButton(QString symbol, QColor color, double pointSize, QFont::Weight weight, QSize frame,
                Backing backing, QColor fill, double radius, QWidget* parent = nullptr)
        : QAbstractButton(parent), symbol_(std::move(symbol)), color_(color), pointSize_(pointSize),
          weight_(weight), backing_(backing), fill_(fill), radius_(radius) {
        setFixedSize(frame);
        setCursor(Qt::PointingHandCursor);
        setFocusPolicy(Qt::TabFocus);
        KitPaint::watchFocusReason(this);
        KeyActivation::pressOnReturn(this);
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        if (!isEnabled()) painter.setOpacity(0.4);
        const QRectF frame = rect();
        if (backing_ == Backing::rounded)
            painter.fillPath(ContinuousRoundedRectangle{radius_}.path(frame), fill_);
        else if (backing_ == Backing::circle) {
            painter.setPen(Qt::NoPen);
            painter.setBrush(fill_);
            painter.drawEllipse(frame);
        }
        VantrelGlyph::paint(painter, frame, symbol_, color_, pointSize_, weight_);
        KitPaint::paintFocusRingOf(painter, this, backing_ == Backing::circle ? height() / 2.0 : radius_);
    }

private:
    QString symbol_;
    QColor color_;
    double pointSize_;
    QFont::Weight weight_;
    Backing backing_;
    QColor fill_;
    double radius_;
};

// A section's header: the utility's glyph on its tile, the title and the chevron, 52 high.
class SectionHeader final : public QAbstractButton {
public:
    SectionHeader(HomeUtility utility, std::function<QColor()> accent, QWidget* parent)
        : QAbstractButton(parent), utility_(utility), accent_(std::move(accent)) {
        setText(rawValue(utility));
        setFixedHeight(52);
        setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
        setCursor(Qt::PointingHandCursor);
        setFocusPolicy(Qt::TabFocus);
        KitPaint::watchFocusReason(this);
        KeyActivation::pressOnReturn(this);
    }
    void setSelected(bool selected) {
        selected_ = selected;
        update();
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        const QColor accent = accent_();
        const QRectF tile(14, (height() - 30) / 2.0, 30, 30);
        painter.fillPath(ContinuousRoundedRectangle{9}.path(tile),
                         selected_ ? VantrelTheme::withOpacity(accent, 0.13) : white(0.055));
        VantrelGlyph::paint(painter, tile, symbol(utility_), selected_ ? accent : white(0.62), 13,
                            QFont::DemiBold);
        const QFont font = VantrelType::font(13, QFont::Bold);
        painter.setFont(font);
        painter.setPen(Qt::white);
        const QRectF chevron(width() - 14 - 22, (height() - 30) / 2.0, 22, 30);
        const QRectF title(tile.right() + 11, 0, chevron.left() - 11 - tile.right() - 11, height());
        painter.drawText(title, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, text());
        VantrelGlyph::paint(painter, chevron, selected_ ? u"chevron.up" : u"chevron.down", white(0.48), 9,
                            QFont::Bold);
        KitPaint::paintFocusRingOf(painter, this, 12);
    }

private:
    HomeUtility utility_;
    std::function<QColor()> accent_;
    bool selected_ = false;
};

// A section's card: filled and outlined brighter while it is the open one.
class SectionCard final : public QWidget {
public:
    SectionCard(std::function<QColor()> accent, QWidget* parent)
        : QWidget(parent), accent_(std::move(accent)) {}
    void setSelected(bool selected) {
        selected_ = selected;
        update();
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        const QRectF frame = QRectF(rect()).adjusted(0.35, 0.35, -0.35, -0.35);
        const QPainterPath shape = ContinuousRoundedRectangle{16}.path(frame);
        painter.fillPath(shape, white(selected_ ? 0.065 : 0.032));
        painter.strokePath(shape,
                           QPen(selected_ ? VantrelTheme::withOpacity(accent_(), 0.30) : white(0.07), 0.7));
    }

private:
    std::function<QColor()> accent_;
    bool selected_ = false;
};

// Lays out one column at its whole height and asks for the top `fraction` of it, so that the
// widget holding it shows that much and clips the rest.
class RevealLayout final : public SingleItemLayout {
public:
    explicit RevealLayout(QWidget* parent) : SingleItemLayout(parent) {}

    void setColumn(QLayout* column) {
        addChildLayout(column);
        addItem(column);
    }

    void setFraction(double fraction) {
        fraction = std::clamp(fraction, 0.0, 1.0);
        if (fraction == fraction_) return;
        fraction_ = fraction;
        invalidate();
    }

    QSize sizeHint() const override {
        if (!item_) return {};
        const QSize full = item_->sizeHint();
        return {full.width(), shown(full.height())};
    }
    QSize minimumSize() const override {
        return item_ ? QSize(item_->minimumSize().width(), sizeHint().height()) : QSize();
    }
    bool hasHeightForWidth() const override { return item_ && item_->hasHeightForWidth(); }
    int heightForWidth(int width) const override { return shown(item_->heightForWidth(width)); }
    void setGeometry(const QRect& rect) override {
        QLayout::setGeometry(rect);
        if (!item_) return;
        const int full =
            item_->hasHeightForWidth() ? item_->heightForWidth(rect.width()) : item_->sizeHint().height();
        item_->setGeometry(QRect(rect.topLeft(), QSize(rect.width(), full)));
    }

private:
    int shown(int height) const { return int(std::lround(height * fraction_)); }

    double fraction_ = 1;
};

// A section's controls, of which it shows the top `fraction`. Opening or closing under the
// cross-fade, the section grows or shrinks with it, so the headers below move along with the
// animation instead of jumping when it ends.
class RevealBox final : public QWidget {
public:
    explicit RevealBox(QWidget* parent) : QWidget(parent), layout_(new RevealLayout(this)) {
        setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    }
    void setColumn(QLayout* column) { layout_->setColumn(column); }
    void setFraction(double fraction) { layout_->setFraction(fraction); }

private:
    RevealLayout* layout_;
};

QFont valueFont() {
    return VantrelType::font(22, QFont::Bold);
}

// Brings every layout under `widget` up to date now, innermost first, so that a row added deep in a
// section reaches the column's size hint at once instead of one level per turn of the event loop.
void settle(QWidget* widget) {
    for (QWidget* child : widget->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        if (!child->isHidden()) settle(child);
    if (QLayout* layout = widget->layout()) layout->activate();
}

// The scroll view of the three sections: the column is as wide as the view and as tall as it asks
// to be (never less than the view), so the view scrolls it instead of squeezing its rows and
// buttons to fit.
class SectionScroll final : public QScrollArea {
public:
    explicit SectionScroll(QWidget* parent) : QScrollArea(parent) {
        // Tab goes to the controls it scrolls, not to itself: it shows no focus.
        setFocusPolicy(Qt::ClickFocus);
    }
    void setColumn(QWidget* column) {
        setWidget(column);
        // Set after: taking the widget makes it paint the window colour, which the card's dark
        // fill must show through instead.
        column->setAutoFillBackground(false);
        column->installEventFilter(this);
        fit();
    }

protected:
    void resizeEvent(QResizeEvent* event) override {
        QScrollArea::resizeEvent(event);
        fit();
    }
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == widget() && event->type() == QEvent::LayoutRequest) {
            // The column's layout settles first, then the column takes its new height.
            const bool handled = QScrollArea::eventFilter(watched, event);
            fit();
            return handled;
        }
        return QScrollArea::eventFilter(watched, event);
    }

public:
    void fit() {
        QWidget* column = widget();
        if (!column) return;
        settle(column);
        const int width = viewport()->width();
        column->resize(width, std::max(viewport()->height(), column->sizeHint().height()));
    }
};

} // namespace

HomeUtilityPanel::HomeUtilityPanel(const HomePageContext& context, HomeActions& actions, HomeUtility selected,
                                   QWidget* parent)
    : QWidget(parent), context_(context), actions_(actions), selected_(selected),
      escape_(new EscapeKeyMonitor([&actions] { actions.closeUtility(); }, this)) {
    setObjectName(QStringLiteral("quickControls"));
    setFixedSize(kWidth, kHeight);
    setAttribute(Qt::WA_NoMousePropagation);
    // The panel is dark whatever the window's appearance.
    VantrelTheme::setColorScheme(this, ColorScheme::dark);

    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    column->addWidget(buildHeader());
    column->addWidget(new Rule(0.10, this));

    // The sections scroll under the header when the open one is taller than the card leaves room
    // for (five shelf files with their buttons), with no scroll bar drawn.
    auto* scroll = new SectionScroll(this);
    scroll_ = scroll;
    scroll_->setObjectName(QStringLiteral("sections"));
    scroll_->setFrameShape(QFrame::NoFrame);
    scroll_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scroll_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scroll_->setWidgetResizable(false);
    // The view only holds the sections: Tab passes it for the controls inside.
    scroll_->setFocusPolicy(Qt::NoFocus);
    scroll_->setAutoFillBackground(false);
    scroll_->viewport()->setAutoFillBackground(false);
    auto* stack = new QWidget(scroll_->viewport());
    auto* sections = new QVBoxLayout(stack);
    sections->setContentsMargins(16, 16, 16, 16);
    sections->setSpacing(10);
    sections->addWidget(buildSection(HomeUtility::timer, buildTimerControls()));
    sections->addWidget(buildSection(HomeUtility::clipboard, buildClipboardControls()));
    sections->addWidget(buildSection(HomeUtility::files, buildFileControls()));
    sections->addStretch(1);
    scroll->setColumn(stack);
    column->addWidget(scroll_, 1);

    // The open section's controls fade in while the ones closing fade out.
    crossFade_ = new QVariantAnimation(this);
    crossFade_->setStartValue(0.0);
    crossFade_->setEndValue(1.0);
    connect(crossFade_, &QVariantAnimation::valueChanged, this,
            [this](const QVariant& value) { applyCrossFade(value.toDouble()); });
    connect(crossFade_, &QVariantAnimation::finished, this, [this] { applyCrossFade(1); });

    auto* shadow = new VantrelShadow(this, [](const QRectF& rect) { return cardShape(rect); });
    shadow->setLook({QColor(0, 0, 0, int(std::lround(0.55 * 255))), 38, QPointF(0, 18)});

    connect(&context_.focus, &FocusTimer::remainingSecondsChanged, this, &HomeUtilityPanel::refreshTimers);
    connect(&context_.focus, &FocusTimer::isRunningChanged, this, &HomeUtilityPanel::refreshTimers);
    connect(&context_.focus, &FocusTimer::durationMinutesChanged, this, &HomeUtilityPanel::refreshTimers);
    connect(&context_.stopwatch, &StopwatchStore::stopwatchElapsedChanged, this,
            &HomeUtilityPanel::refreshTimers);
    connect(&context_.stopwatch, &StopwatchStore::isStopwatchRunningChanged, this,
            &HomeUtilityPanel::refreshTimers);
    connect(&context_.stopwatch, &StopwatchStore::countdownRemainingChanged, this,
            &HomeUtilityPanel::refreshTimers);
    connect(&context_.stopwatch, &StopwatchStore::isCountdownRunningChanged, this,
            &HomeUtilityPanel::refreshTimers);
    connect(&context_.stopwatch, &StopwatchStore::countdownMinutesChanged, this,
            &HomeUtilityPanel::refreshTimers);
    connect(&context_.clipboard, &ClipboardStore::entriesChanged, this, &HomeUtilityPanel::rebuildClipboard);
    connect(&context_.clipboard, &ClipboardStore::searchTextChanged, this,
            &HomeUtilityPanel::rebuildClipboard);
    connect(&context_.shelf, &FileShelfStore::itemsChanged, this, &HomeUtilityPanel::rebuildFiles);
    context_.preferences.onChange(VantrelPreferences::Setting::accent, this, [this] { update(); });

    refreshTimers();
    rebuildClipboard();
    rebuildFiles();
    setSelected(selected);
}

HomeUtilityPanel::~HomeUtilityPanel() = default;

QColor HomeUtilityPanel::accent() const {
    return VantrelTheme::accent(context_.preferences.accent());
}

QWidget* HomeUtilityPanel::buildHeader() {
    auto* header = new QWidget(this);
    auto* row = new QHBoxLayout(header);
    row->setContentsMargins(18, 18, 18, 18);
    row->setSpacing(12);
    headerIcon_ = new VantrelIcon(context_.preferences, symbol(selected_), accent(), 38, header);
    row->addWidget(headerIcon_);
    auto* texts = new QVBoxLayout;
    texts->setSpacing(2);
    auto* title = label(QStringLiteral("Quick Controls"), VantrelType::font(18, QFont::Bold), 1.0, header);
    markAccessibleHeading(title, 2);
    texts->addWidget(title);
    texts->addWidget(
        label(QStringLiteral("Timer, clipboard, and temporary files"), VantrelType::caption(), 0.52, header));
    row->addLayout(texts);
    row->addStretch(1);
    close_ = new GlyphButton(QStringLiteral("xmark"), white(0.76), 11, QFont::DemiBold, QSize(30, 30),
                             GlyphButton::Backing::circle, white(0.075), 0, header);
    close_->setObjectName(QStringLiteral("close"));
    close_->setAccessibleName(QStringLiteral("Close quick controls"));
    connect(close_, &QAbstractButton::clicked, this, [this] { actions_.closeUtility(); });
    row->addWidget(close_);
    return header;
}

QWidget* HomeUtilityPanel::buildSection(HomeUtility utility, QWidget* controls) {
    const auto accentOf = [this] { return accent(); };
    auto* card = new SectionCard(accentOf, this);
    card->setObjectName(QStringLiteral("section ") + rawValue(utility));
    auto* column = new QVBoxLayout(card);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    auto* header = new SectionHeader(utility, accentOf, card);
    connect(header, &QAbstractButton::clicked, this, [this, utility] { actions_.selectUtility(utility); });
    column->addWidget(header);

    auto* body = new RevealBox(card);
    auto* bodyColumn = new QVBoxLayout;
    bodyColumn->setContentsMargins(0, 0, 0, 0);
    bodyColumn->setSpacing(0);
    auto* ruleRow = new QHBoxLayout;
    ruleRow->setContentsMargins(14, 0, 14, 0);
    ruleRow->addWidget(new Rule(0.08, body));
    bodyColumn->addLayout(ruleRow);
    controls->setParent(body);
    controls->layout()->setContentsMargins(14, 14, 14, 14);
    bodyColumn->addWidget(controls);
    body->setColumn(bodyColumn);
    column->addWidget(body);
    sections_[utility] = {card, header, body};
    return card;
}

void HomeUtilityPanel::setSelected(HomeUtility utility) {
    const bool switching = utility != selected_ && crossFade_ && isVisible();
    const HomeUtility previous = selected_;
    selected_ = utility;
    crossFade_->stop();
    closing_.reset();
    for (auto& [u, section] : sections_) {
        const bool open = u == utility;
        static_cast<SectionCard*>(section.card)->setSelected(open);
        static_cast<SectionHeader*>(section.header)->setSelected(open);
        section.body->setVisible(open);
    }
    const std::optional<VantrelAnimation> fade =
        switching ? context_.motion.resolve(VantrelMotion::Kind::transition, VantrelAnimation::easeOut(0.15))
                  : std::nullopt;
    if (fade) {
        closing_ = previous;
        sections_.at(previous).body->setVisible(true);
        fade->run(*crossFade_, 0.0, 1.0);
        applyCrossFade(0);
    } else {
        applyCrossFade(1);
    }
    fitSections();
    // The header's icon shows the open utility.
    auto* old = static_cast<VantrelIcon*>(headerIcon_);
    if (old->systemName() != symbol(utility)) {
        auto* icon =
            new VantrelIcon(context_.preferences, symbol(utility), accent(), 38, old->parentWidget());
        old->parentWidget()->layout()->replaceWidget(old, icon);
        delete old;
        headerIcon_ = icon;
        icon->show();
    }
}

bool HomeUtilityPanel::isExpanded(HomeUtility utility) const {
    return utility == selected_;
}

double HomeUtilityPanel::controlsOpacity(HomeUtility utility) const {
    const QWidget* body = sections_.at(utility).body;
    if (body->isHidden()) return 0;
    const auto* effect = qobject_cast<const QGraphicsOpacityEffect*>(body->graphicsEffect());
    return effect ? effect->opacity() : 1;
}

void HomeUtilityPanel::fitSections() {
    static_cast<SectionScroll*>(scroll_)->fit();
}

void HomeUtilityPanel::applyCrossFade(double progress) {
    const auto setOpacity = [](QWidget* body, double opacity) {
        static_cast<RevealBox*>(body)->setFraction(opacity);
        if (opacity >= 1) {
            body->setGraphicsEffect(nullptr);
            return;
        }
        auto* effect = qobject_cast<QGraphicsOpacityEffect*>(body->graphicsEffect());
        if (!effect) {
            effect = new QGraphicsOpacityEffect(body);
            body->setGraphicsEffect(effect);
        }
        effect->setOpacity(opacity);
    };
    setOpacity(sections_.at(selected_).body, progress);
    if (closing_) {
        QWidget* leaving = sections_.at(*closing_).body;
        if (progress >= 1) {
            leaving->setGraphicsEffect(nullptr);
            leaving->setVisible(false);
            closing_.reset();
            fitSections();
        } else {
            setOpacity(leaving, 1 - progress);
        }
    }
    if (closing_) fitSections();
}

QString HomeUtilityPanel::headerSymbol() const {
    return static_cast<VantrelIcon*>(headerIcon_)->systemName();
}

QString HomeUtilityPanel::countdownText(double remaining, qint64 minutes) {
    if (remaining > 0) return StopwatchStore::format(remaining, false);
    return QString::number(minutes) + QStringLiteral(":00");
}

int HomeUtilityPanel::presetIndex(qint64 minutes) {
    for (int i = 0; i < int(std::size(kCountdownPresets)); ++i)
        if (kCountdownPresets[i] == minutes) return i;
    return -1;
}

QString HomeUtilityPanel::oneLine(const QString& text) {
    QString line = text;
    line.replace(QStringLiteral("\r\n"), QStringLiteral(" "));
    for (QChar breakChar : {QChar(u'\n'), QChar(u'\r'), QChar(0x2028), QChar(0x2029)})
        line.replace(breakChar, QLatin1Char(' '));
    return line;
}

QPainterPath HomeUtilityPanel::cardShape(const QRectF& rect) {
    return ContinuousRoundedRectangle{kCornerRadius}.path(rect);
}

QWidget* HomeUtilityPanel::buildTimerControls() {
    auto* controls = new QWidget(this);
    auto* column = new QVBoxLayout(controls);
    column->setSpacing(14);
    VantrelHaptics* haptics = &context_.haptics;
    const auto pill = [this, haptics](QWidget* parent) {
        auto* button = new VantrelButton(QStringLiteral("Start"),
                                         std::make_shared<VantrelPillButtonStyle>(accent(), haptics), parent);
        button->setMotion(&context_.motion);
        return button;
    };
    const auto secondary = [](const QString& text, QWidget* parent) {
        return new VantrelButton(text, std::make_shared<VantrelSecondaryButtonStyle>(), parent);
    };
    const auto row = [&](const QString& title, QLabel*& value, QWidget* trailing, VantrelButton*& primary,
                         std::function<void()> toggle, std::function<void()> reset, const QString& name) {
        auto* line = new QWidget(controls);
        line->setObjectName(name);
        auto* h = new QHBoxLayout(line);
        h->setContentsMargins(0, 0, 0, 0);
        h->setSpacing(12);
        auto* texts = new QVBoxLayout;
        texts->setSpacing(2);
        texts->addWidget(label(title, VantrelType::caption(), 0.52, line));
        auto* figures = label(QString(), valueFont(), 1.0, line);
        figures->setTabularDigits(true);
        value = figures;
        value->setFixedWidth(112);
        value->setObjectName(name + QStringLiteral(".value"));
        texts->addWidget(value);
        h->addLayout(texts);
        trailing->setParent(line);
        h->addWidget(trailing);
        h->addSpacing(8);
        h->addStretch(1);
        primary = pill(line);
        primary->setObjectName(name + QStringLiteral(".primary"));
        connect(primary, &QAbstractButton::clicked, this, std::move(toggle));
        h->addWidget(primary);
        auto* resetButton = secondary(QStringLiteral("Reset"), line);
        resetButton->setObjectName(name + QStringLiteral(".reset"));
        connect(resetButton, &QAbstractButton::clicked, this, std::move(reset));
        h->addWidget(resetButton);
        column->addWidget(line);
    };

    // The focus minutes: a stepper held within 1 to 120 and still while the timer runs.
    auto* stepper = new QWidget;
    auto* steps = new QHBoxLayout(stepper);
    steps->setContentsMargins(0, 0, 0, 0);
    steps->setSpacing(5);
    const auto step = [&](const QString& symbol, std::function<void()> action) {
        auto* button = new GlyphButton(symbol, white(0.72), 8, QFont::Bold, QSize(26, 26),
                                       GlyphButton::Backing::rounded, white(0.075), 7, stepper);
        connect(button, &QAbstractButton::clicked, this, std::move(action));
        return button;
    };
    minus_ = step(QStringLiteral("minus"), [this] { actions_.decreaseFocusDuration(); });
    minus_->setObjectName(QStringLiteral("focus.minus"));
    minus_->setAccessibleName(QStringLiteral("Shorter"));
    auto* minutes = label(QString(), VantrelType::font(10.5, QFont::DemiBold), 1.0, stepper);
    minutes->setTabularDigits(true);
    minutes_ = minutes;
    minutes_->setFixedWidth(48);
    minutes_->setAlignment(Qt::AlignCenter);
    plus_ = step(QStringLiteral("plus"), [this] { actions_.increaseFocusDuration(); });
    plus_->setObjectName(QStringLiteral("focus.plus"));
    plus_->setAccessibleName(QStringLiteral("Longer"));
    steps->addWidget(minus_);
    steps->addWidget(minutes_);
    steps->addWidget(plus_);
    row(
        QStringLiteral("Timer"), timerValue_, stepper, timerPrimary_, [this] { actions_.toggleFocus(); },
        [this] { actions_.resetFocus(); }, QStringLiteral("timer"));
    column->addWidget(new Rule(0.08, controls));

    lap_ = secondary(QStringLiteral("Lap"), nullptr);
    lap_->setObjectName(QStringLiteral("lap"));
    connect(lap_, &QAbstractButton::clicked, this, [this] { actions_.recordLap(); });
    row(
        QStringLiteral("Stopwatch"), stopwatchValue_, lap_, stopwatchPrimary_,
        [this] { actions_.toggleStopwatch(); }, [this] { actions_.resetStopwatch(); },
        QStringLiteral("stopwatch"));
    column->addWidget(new Rule(0.08, controls));

    QStringList presets;
    for (qint64 minutes : kCountdownPresets) presets << QStringLiteral("%1 min").arg(minutes);
    // The store plays the controls haptic of a new length itself.
    minutesMenu_ = new VantrelMenuPicker(QStringLiteral("Minutes"), presets, context_.menus, nullptr);
    minutesMenu_->setObjectName(QStringLiteral("minutes"));
    minutesMenu_->setFixedWidth(92);
    connect(minutesMenu_, &VantrelMenuPicker::chosen, this,
            [this](int index) { actions_.chooseCountdownMinutes(kCountdownPresets[index]); });
    row(
        QStringLiteral("Countdown"), countdownValue_, minutesMenu_, countdownPrimary_,
        [this] { actions_.toggleCountdown(); }, [this] { actions_.resetCountdown(); },
        QStringLiteral("countdown"));
    return controls;
}

void HomeUtilityPanel::refreshTimers() {
    const FocusTimer& focus = context_.focus;
    const StopwatchStore& stopwatch = context_.stopwatch;
    timerValue_->setText(focus.timeText());
    timerPrimary_->setText(focus.isRunning() ? QStringLiteral("Pause") : QStringLiteral("Start"));
    minutes_->setText(QStringLiteral("%1 min").arg(focus.durationMinutes()));
    minus_->setEnabled(focus.durationMinutes() > 1 && !focus.isRunning());
    plus_->setEnabled(focus.durationMinutes() < 120 && !focus.isRunning());

    stopwatchValue_->setText(StopwatchStore::format(stopwatch.stopwatchElapsed(), true));
    stopwatchPrimary_->setText(stopwatch.isStopwatchRunning() ? QStringLiteral("Pause")
                                                              : QStringLiteral("Start"));
    lap_->setEnabled(stopwatch.isStopwatchRunning());

    countdownValue_->setText(countdownText(stopwatch.countdownRemaining(), stopwatch.countdownMinutes()));
    countdownPrimary_->setText(stopwatch.isCountdownRunning() ? QStringLiteral("Pause")
                                                              : QStringLiteral("Start"));
    minutesMenu_->setCurrentIndex(presetIndex(stopwatch.countdownMinutes()));
    for (VantrelButton* button : {timerPrimary_, stopwatchPrimary_, countdownPrimary_})
        button->updateGeometry();
}

QWidget* HomeUtilityPanel::emptyState(const QString& message, const QString& symbol) {
    auto* row = new QWidget;
    row->setObjectName(QStringLiteral("empty"));
    row->setAccessibleName(message);
    auto* h = new QHBoxLayout(row);
    h->setContentsMargins(0, 10, 0, 10);
    h->setSpacing(10);
    h->addWidget(new VantrelGlyph(symbol, accent(), 14, QFont::DemiBold, 32, 32, row));
    h->addWidget(label(message, VantrelType::label(), 0.64, row));
    h->addStretch(1);
    return row;
}

namespace {
void clearLayout(QLayout* layout) {
    while (QLayoutItem* item = layout->takeAt(0)) {
        if (QWidget* widget = item->widget()) {
            widget->hide();
            widget->deleteLater();
        }
        delete item;
    }
}
} // namespace

QWidget* HomeUtilityPanel::buildClipboardControls() {
    auto* controls = new QWidget(this);
    clipboardList_ = new QVBoxLayout(controls);
    clipboardList_->setSpacing(8);
    return controls;
}

void HomeUtilityPanel::rebuildClipboard() {
    clearLayout(clipboardList_);
    QWidget* owner = clipboardList_->parentWidget();
    const QList<ClipboardEntry> entries = context_.clipboard.filteredEntries();
    if (entries.isEmpty()) {
        clipboardList_->addWidget(
            emptyState(QStringLiteral("Nothing copied yet"), QStringLiteral("doc.on.clipboard")));
        return;
    }
    for (const ClipboardEntry& entry : entries.mid(0, kListLimit)) {
        auto* row = new QWidget(owner);
        row->setObjectName(QStringLiteral("clipboard.row"));
        auto* h = new QHBoxLayout(row);
        h->setContentsMargins(0, 3, 0, 3);
        h->setSpacing(10);
        auto* text = label(oneLine(entry.text), VantrelType::caption(), 1.0, row);
        text->setObjectName(QStringLiteral("clipboard.text"));
        text->setWordWrap(false);
        text->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
        h->addWidget(text, 1);
        auto* copy =
            new VantrelButton(QStringLiteral("Copy"), std::make_shared<VantrelSecondaryButtonStyle>(), row);
        connect(copy, &QAbstractButton::clicked, this, [this, entry] { actions_.copyEntry(entry); });
        h->addWidget(copy);
        row->show();
        clipboardList_->addWidget(row);
    }
    fitSections();
}

QWidget* HomeUtilityPanel::buildFileControls() {
    auto* controls = new QWidget(this);
    auto* column = new QVBoxLayout(controls);
    column->setSpacing(9);
    auto* intro = new QHBoxLayout;
    intro->addWidget(label(QStringLiteral("Vantrel keeps references to the latest 10 items."),
                           VantrelType::caption(), 0.5, controls));
    intro->addStretch(1);
    auto* add =
        new VantrelButton(QStringLiteral("Add Files…"),
                          std::make_shared<VantrelPillButtonStyle>(accent(), &context_.haptics), controls);
    add->setObjectName(QStringLiteral("addFiles"));
    add->setMotion(&context_.motion);
    connect(add, &QAbstractButton::clicked, this, [this] { actions_.addFile(); });
    intro->addWidget(add);
    column->addLayout(intro);
    fileList_ = new QVBoxLayout;
    fileList_->setSpacing(9);
    column->addLayout(fileList_);
    return controls;
}

void HomeUtilityPanel::rebuildFiles() {
    clearLayout(fileList_);
    QWidget* owner = fileList_->parentWidget();
    const QList<QUrl>& items = context_.shelf.items();
    if (items.isEmpty()) {
        fileList_->addWidget(
            emptyState(QStringLiteral("Drop or add a file to begin"), QStringLiteral("tray.and.arrow.down")));
        fitSections();
        return;
    }
    for (const QUrl& url : items.mid(0, kListLimit)) {
        const bool exists = context_.files.fileExists(url.toLocalFile());
        auto* row = new QWidget(owner);
        row->setObjectName(QStringLiteral("file.row"));
        auto* h = new QHBoxLayout(row);
        h->setContentsMargins(0, 0, 0, 0);
        h->setSpacing(10);
        auto* glyph =
            exists ? new VantrelGlyph(QStringLiteral("doc"), accent(), 11, QFont::DemiBold, 24, 24, row)
                   : new VantrelGlyph(QStringLiteral("exclamationmark.triangle"), QColor(255, 69, 58), 11,
                                      QFont::DemiBold, 24, 24, row);
        glyph->setObjectName(QStringLiteral("file.glyph"));
        h->addWidget(glyph);
        auto* name = label(url.fileName(), VantrelType::caption(), 1.0, row);
        name->setObjectName(QStringLiteral("file.name"));
        name->setWordWrap(false);
        h->addWidget(name);
        h->addStretch(1);
        auto* open =
            new VantrelButton(QStringLiteral("Open"), std::make_shared<VantrelSecondaryButtonStyle>(), row);
        open->setObjectName(QStringLiteral("file.open"));
        open->setEnabled(exists);
        connect(open, &QAbstractButton::clicked, this, [this, url] { actions_.openFile(url); });
        h->addWidget(open);
        auto* remove = new GlyphButton(QStringLiteral("xmark"), white(0.58), 9, QFont::DemiBold,
                                       QSize(28, 28), GlyphButton::Backing::none, QColor(), 0, row);
        remove->setObjectName(QStringLiteral("file.remove"));
        remove->setAccessibleName(QStringLiteral("Remove"));
        remove->setToolTip(
            QStringLiteral("Remove this reference from Vantrel; the original file is not deleted"));
        connect(remove, &QAbstractButton::clicked, this, [this, url] { actions_.removeFile(url); });
        h->addWidget(remove);
        // Shown now, not a turn later, so the sections take their full height at once.
        row->show();
        fileList_->addWidget(row);
    }
    fitSections();
}

QList<QWidget*> HomeUtilityPanel::tabStops() const {
    // The window's focus chain holds the panel's controls in their order, among the page's.
    QList<QWidget*> stops;
    for (QWidget* w = nextInFocusChain(); w != this; w = w->nextInFocusChain()) {
        if (!isAncestorOf(w) || w->focusProxy()) continue;
        if ((w->focusPolicy() & Qt::TabFocus) == Qt::TabFocus && w->isEnabled() && w->isVisibleTo(this))
            stops << w;
    }
    // A section's controls are made before its header, and its rows whenever they change: each
    // section's header leads, then its controls in their order, section by section from the top.
    const auto rank = [this](const QWidget* w) {
        int place = 0;
        for (const auto& [utility, section] : sections_) {
            ++place;
            if (w == section.header) return 2 * place;
            if (section.card->isAncestorOf(w)) return 2 * place + 1;
        }
        return 0;
    };
    std::stable_sort(stops.begin(), stops.end(),
                     [&rank](const QWidget* a, const QWidget* b) { return rank(a) < rank(b); });
    return stops;
}

bool HomeUtilityPanel::focusNextPrevChild(bool next) {
    // Tab from any control of the panel ends here, so it never passes to the page below.
    QWidget* stop = FocusHandOff::cycle(tabStops(), next);
    if (stop && scroll_->widget() && scroll_->widget()->isAncestorOf(stop))
        scroll_->ensureWidgetVisible(stop);
    return true;
}

void HomeUtilityPanel::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF frame = QRectF(rect()).adjusted(0.4, 0.4, -0.4, -0.4);
    const QPainterPath shape = cardShape(frame);
    // The frosted material under the card's black: the page beneath shows only as a faint haze.
    painter.fillPath(shape, VantrelTheme::withOpacity(VantrelTheme::surface().dark, 0.7));
    painter.fillPath(shape, QColor(0, 0, 0, int(std::lround(0.89 * 255))));
    QLinearGradient outline(frame.topLeft(), frame.bottomRight());
    outline.setColorAt(0, white(0.23));
    outline.setColorAt(0.5, VantrelTheme::withOpacity(accent(), 0.18));
    outline.setColorAt(1, white(0.07));
    painter.strokePath(shape, QPen(QBrush(outline), 0.8));
}

} // namespace vantrel
