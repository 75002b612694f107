#include "notch/NotchTimersView.h"

#include "kit/GlyphCatalogue.h"
#include "kit/KeyActivation.h"
#include "kit/KitPaint.h"
#include "kit/VantrelButton.h"
#include "kit/VantrelScrollIndicator.h"
#include "kit/VantrelSelectionButtonStyle.h"
#include "kit/VantrelTheme.h"
#include "kit/VantrelType.h"
#include "modules/StopwatchStore.h"
#include "notch/NotchTabText.h"
#include "platform/MenuPresenter.h"

#include <QAbstractButton>
#include <QFontMetricsF>
#include <QPainter>
#include <QPointer>
#include <QScrollArea>
#include <algorithm>
#include <cmath>

namespace vantrel {

using NotchTabText::labelFont;
using NotchTabText::paintLabel;

namespace {

constexpr double kButtonSpacing = 7;
constexpr double kPresetSpacing = 5;
constexpr double kLapRowSpacing = 3;
constexpr double kMenuChevronWidth = 8;
constexpr double kMenuChevronGap = 3;
constexpr double kProgressHeight = 4;
constexpr double kTimeMinimumScale = 0.6;
constexpr double kTightestRowSpacing = 2;

// The times in the monospaced design, so a running time keeps its width.
QFont timeFont(double size) {
    return VantrelType::monospaced(size, QFont::DemiBold);
}
QFont summaryFont() {
    return VantrelType::font(9.5, QFont::Medium);
}
QFont lapFont() {
    return VantrelType::font(10, QFont::Normal);
}
QFont lapTimeFont() {
    return VantrelType::monospaced(10, QFont::Normal);
}

double lineHeight(const QFont& font) {
    return QFontMetricsF(font).height();
}

double buttonHeight() {
    return VantrelButton::fittingSize(
               QStringLiteral("Start"),
               VantrelSelectionButtonStyle(false, Qt::black).look(0, ColorScheme::dark))
        .height();
}

double buttonWidth(const QString& text) {
    return VantrelButton::fittingSize(
               text, VantrelSelectionButtonStyle(false, Qt::black).look(0, ColorScheme::dark))
        .width();
}

QString minutesTitle(qint64 minutes) {
    return QStringLiteral("%1 min").arg(minutes);
}

// Row `count` buttons across `width` from `x`, sharing it equally; the first is at least
// `firstMinimum` wide.
std::vector<QRectF> shareRow(double x, double y, double width, int count, double spacing, double h,
                             double firstMinimum = 0) {
    std::vector<QRectF> out;
    const double available = std::max(width - spacing * (count - 1), 0.0);
    double first = available / count;
    double others = first;
    if (first < firstMinimum && count > 1) {
        first = std::min(firstMinimum, available);
        others = (available - first) / (count - 1);
    }
    double cx = x;
    for (int i = 0; i < count; ++i) {
        const double w = i == 0 ? first : others;
        out.emplace_back(cx, y, w, h);
        cx += w + spacing;
    }
    return out;
}

// The time shrunk down to 0.6 of its size to fit, then elided.
void paintTime(QPainter& painter, const QRectF& rect, const QString& text, double size, const QColor& color) {
    painter.setPen(color);
    NotchTabText::paintFittedLine(painter, rect, text, timeFont(size), kTimeMinimumScale);
}

// The compact countdown's minutes menu: its title with the pop-up mark, in the accent, no frame.
class MinutesMenuButton final : public QAbstractButton {
public:
    MinutesMenuButton(QColor accent, QWidget* parent) : QAbstractButton(parent), accent_(accent) {
        setFocusPolicy(Qt::StrongFocus);
        KitPaint::watchFocusReason(this);
        KeyActivation::pressOnReturn(this);
        setCursor(Qt::PointingHandCursor);
    }
    static double fittingWidth(const QString& text) {
        return QFontMetricsF(labelFont()).horizontalAdvance(text) + kMenuChevronGap + kMenuChevronWidth;
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        const QRectF area(rect());
        painter.setFont(labelFont());
        painter.setPen(accent_);
        const QRectF textRect = area.adjusted(0, 0, -(kMenuChevronGap + kMenuChevronWidth), 0);
        painter.drawText(textRect, Qt::AlignLeft | Qt::AlignVCenter,
                         QFontMetricsF(labelFont()).elidedText(text(), Qt::ElideRight, textRect.width()));
        GlyphCatalogue::paint(painter, u"chevron.up.chevron.down",
                              QRectF(area.right() - kMenuChevronWidth,
                                     area.center().y() - kMenuChevronWidth / 2, kMenuChevronWidth,
                                     kMenuChevronWidth),
                              accent_, QFont::Bold);
        if (KitPaint::showsFocusRing(this)) {
            KitPaint::paintFocusRingInside(painter, area, 6,
                                           KitPaint::ringColor(KitPaint::surfaceBehind(this), accent_));
        }
    }

private:
    QColor accent_;
};

// The regular stopwatch's lap rows, newest first: the lap's number and its time.
class LapRows final : public QWidget {
public:
    explicit LapRows(const StopwatchStore& store, QWidget* parent) : QWidget(parent), store_(store) {}
    static double rowHeight() { return std::max(lineHeight(lapFont()), lineHeight(lapTimeFont())); }
    static double contentHeight(qsizetype rows) {
        return rows > 0 ? double(rows) * rowHeight() + double(rows - 1) * kLapRowSpacing : 0;
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        const ColorScheme scheme = VantrelTheme::colorScheme(this);
        const QStringList labels = NotchTimersView::lapLabels(store_);
        const QList<double>& laps = store_.laps();
        double y = 0;
        for (qsizetype i = 0; i < laps.size() && i < labels.size(); ++i) {
            const QRectF row(0, y, width(), rowHeight());
            painter.setFont(lapFont());
            painter.setPen(VantrelTheme::secondaryText().resolve(scheme));
            painter.drawText(row, Qt::AlignLeft | Qt::AlignVCenter, labels[i]);
            painter.setFont(lapTimeFont());
            painter.setPen(VantrelTheme::primary(scheme));
            painter.drawText(row, Qt::AlignRight | Qt::AlignVCenter, StopwatchStore::format(laps[i], true));
            y += rowHeight() + kLapRowSpacing;
        }
    }

private:
    const StopwatchStore& store_;
};

void setButton(VantrelButton* button, const QString& title, bool selected, bool enabled, QColor accent) {
    button->setText(title);
    button->setAccessibleName(title);
    const auto* style = dynamic_cast<const VantrelSelectionButtonStyle*>(&button->buttonStyle());
    if (!style || style->isSelected() != selected)
        button->setButtonStyle(std::make_shared<VantrelSelectionButtonStyle>(selected, accent));
    // The button's own look fades it back while it cannot be pressed.
    button->setEnabled(enabled);
    button->update();
}

} // namespace

NotchTimersView::NotchTimersView(StopwatchStore& store, MenuPresenter& menus, QColor accent, QWidget* parent)
    : QWidget(parent), store_(store), menus_(menus), accent_(accent) {
    const auto make = [this](const QString& title) {
        return new VantrelButton(title, std::make_shared<VantrelSelectionButtonStyle>(false, accent_), this);
    };
    stopwatchStart_ = make(QStringLiteral("Start"));
    lap_ = make(QStringLiteral("Lap"));
    stopwatchReset_ = make(QStringLiteral("Reset"));
    for (int i = 0; i < kPresetCount; ++i) {
        const qint64 minutes = StopwatchStore::presetMinutes[std::size_t(i)];
        presets_[std::size_t(i)] = make(QStringLiteral("%1m").arg(minutes));
        connect(presets_[std::size_t(i)], &QAbstractButton::clicked, this,
                [this, minutes] { store_.setCountdown(minutes); });
    }
    minutesMenu_ = new MinutesMenuButton(accent_, this);
    countdownStart_ = make(QStringLiteral("Start"));
    countdownReset_ = make(QStringLiteral("Reset"));

    // The running flag is read when the button is pressed.
    connect(stopwatchStart_, &QAbstractButton::clicked, this, [this] {
        if (store_.isStopwatchRunning())
            store_.pauseStopwatch();
        else
            store_.startStopwatch();
    });
    connect(lap_, &QAbstractButton::clicked, this, [this] { store_.recordLap(); });
    connect(stopwatchReset_, &QAbstractButton::clicked, this, [this] { store_.resetStopwatch(); });
    connect(countdownStart_, &QAbstractButton::clicked, this, [this] {
        if (store_.isCountdownRunning())
            store_.pauseCountdown();
        else
            store_.startCountdown();
    });
    connect(countdownReset_, &QAbstractButton::clicked, this, [this] { store_.resetCountdown(); });
    connect(minutesMenu_, &QAbstractButton::clicked, this, &NotchTimersView::openMinutesMenu);

    lapArea_ = new QScrollArea(this);
    lapArea_->setFocusPolicy(Qt::ClickFocus); // shows no focus: Tab passes it by
    lapArea_->setFrameShape(QFrame::NoFrame);
    lapArea_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    lapArea_->setWidgetResizable(false);
    lapRows_ = new LapRows(store_, lapArea_);
    lapArea_->setWidget(lapRows_);
    // The rows lie on the panel's own surface, midnight black or crystal glass: neither the
    // scroll area nor its viewport paints the window colour of the palette under them.
    lapArea_->setAutoFillBackground(false);
    lapArea_->viewport()->setAutoFillBackground(false);
    lapRows_->setAutoFillBackground(false);
    VantrelScrollIndicator::install(lapArea_);

    connect(&store_, &StopwatchStore::stopwatchElapsedChanged, this, &NotchTimersView::storeChanged);
    connect(&store_, &StopwatchStore::isStopwatchRunningChanged, this, &NotchTimersView::storeChanged);
    connect(&store_, &StopwatchStore::lapsChanged, this, &NotchTimersView::storeChanged);
    connect(&store_, &StopwatchStore::countdownRemainingChanged, this, &NotchTimersView::storeChanged);
    connect(&store_, &StopwatchStore::isCountdownRunningChanged, this, &NotchTimersView::storeChanged);
    connect(&store_, &StopwatchStore::countdownDidFinishChanged, this, &NotchTimersView::storeChanged);
    connect(&store_, &StopwatchStore::countdownMinutesChanged, this, &NotchTimersView::storeChanged);
    storeChanged();
}

QString NotchTimersView::countdownText(const StopwatchStore& store) {
    if (showsRemaining(store)) return StopwatchStore::format(store.countdownRemaining(), false);
    return QString::number(store.countdownMinutes()) + QStringLiteral(":00");
}

bool NotchTimersView::showsRemaining(const StopwatchStore& store) {
    return store.countdownRemaining() > 0 || store.isCountdownRunning();
}

bool NotchTimersView::isCountdownResetEnabled(const StopwatchStore& store) {
    // A finished countdown keeps Reset, the one control that silences a repeating alarm without
    // starting a new run.
    return store.isCountdownRunning() || store.countdownRemaining() != 0 || store.countdownDidFinish();
}

QString NotchTimersView::lapSummary(qsizetype count) {
    return QString::number(count) + QStringLiteral(" lap") + (count == 1 ? QString() : QStringLiteral("s")) +
           QStringLiteral(" saved");
}

QStringList NotchTimersView::lapLabels(const StopwatchStore& store) {
    QStringList labels;
    for (qint64 number : store.lapNumbers()) labels.append(QStringLiteral("Lap %1").arg(number));
    return labels;
}

NotchTimersView::Layout NotchTimersView::layout(const QSizeF& size, const StopwatchStore& store) {
    Layout l;
    l.compact = isCompact(size.height());
    const double columnSpacing = l.compact ? 10 : 14;
    l.timeFontSize = l.compact ? 23 : 27;
    const double columnWidth = std::max((size.width() - columnSpacing) / 2, 0.0);
    const double labelHeight = lineHeight(labelFont());
    const double timeHeight = lineHeight(timeFont(l.timeFontSize));
    const double buttons = buttonHeight();

    // The countdown column is the taller one. Where its rows would run past the bottom edge (a
    // paused or finished countdown in the shorter panels), the rows of both columns close up
    // evenly, down to kTightestRowSpacing, so the alarm hint and "Time's up" stay whole and the
    // two columns stay level.
    double rowSpacing = l.compact ? 6 : 10;
    {
        double rows = labelHeight + timeHeight + labelHeight + (l.compact ? buttons : 2 * buttons);
        int gaps = l.compact ? 3 : 4;
        if (showsRemaining(store)) {
            rows += kProgressHeight;
            ++gaps;
        }
        if (store.countdownDidFinish()) {
            rows += labelHeight;
            ++gaps;
        }
        const double fitting = (size.height() - rows) / gaps;
        if (fitting < rowSpacing) rowSpacing = std::max(fitting, kTightestRowSpacing);
    }

    // Stopwatch.
    l.stopwatchColumn = QRectF(0, 0, columnWidth, size.height());
    double y = 0;
    l.stopwatchLabel = QRectF(0, y, columnWidth, labelHeight);
    y += labelHeight + rowSpacing;
    l.stopwatchTime = QRectF(0, y, columnWidth, timeHeight);
    y += timeHeight + rowSpacing;
    const auto row = shareRow(0, y, columnWidth, 3, kButtonSpacing, buttons, kStartMinimumWidth);
    l.stopwatchStart = row[0];
    l.lap = row[1];
    l.stopwatchReset = row[2];
    y += buttons + rowSpacing;
    if (!store.laps().isEmpty()) {
        if (l.compact) {
            l.lapSummary = QRectF(0, y, columnWidth, lineHeight(summaryFont()));
        } else {
            const double wanted =
                std::min(LapRows::contentHeight(store.laps().size()), kLapListMaximumHeight);
            l.lapList = QRectF(0, y, columnWidth, std::max(std::min(wanted, size.height() - y), 0.0));
        }
    }

    // Countdown.
    const double x = columnWidth + columnSpacing;
    l.countdownColumn = QRectF(x, 0, columnWidth, size.height());
    y = 0;
    l.countdownLabel = QRectF(x, y, columnWidth, labelHeight);
    y += labelHeight + rowSpacing;
    l.countdownTime = QRectF(x, y, columnWidth, timeHeight);
    y += timeHeight + rowSpacing;
    if (showsRemaining(store)) {
        l.progress = QRectF(x, y, columnWidth, kProgressHeight);
        y += kProgressHeight + rowSpacing;
    }
    const double startWidth = std::max(
        {buttonWidth(QStringLiteral("Start")), buttonWidth(QStringLiteral("Pause")), kStartMinimumWidth});
    if (l.compact) {
        // The menu on the leading side, the actions pushed to the trailing edge.
        const double resetWidth = buttonWidth(QStringLiteral("Reset"));
        l.countdownReset = QRectF(x + columnWidth - resetWidth, y, resetWidth, buttons);
        l.countdownStart =
            QRectF(l.countdownReset.left() - kButtonSpacing - startWidth, y, startWidth, buttons);
        const double menuWidth = MinutesMenuButton::fittingWidth(minutesTitle(store.countdownMinutes()));
        l.minutesMenu = QRectF(
            x, y, std::min(menuWidth, std::max(l.countdownStart.left() - kButtonSpacing - x, 0.0)), buttons);
        y += buttons + rowSpacing;
    } else {
        const auto presets = shareRow(x, y, columnWidth, kPresetCount, kPresetSpacing, buttons);
        std::copy(presets.begin(), presets.end(), l.presets.begin());
        y += buttons + rowSpacing;
        const auto actions = shareRow(x, y, columnWidth, 2, kButtonSpacing, buttons, kStartMinimumWidth);
        l.countdownStart = actions[0];
        l.countdownReset = actions[1];
        y += buttons + rowSpacing;
    }
    l.alarmHint = QRectF(x, y, columnWidth, labelHeight);
    y += labelHeight + rowSpacing;
    if (store.countdownDidFinish()) l.timesUp = QRectF(x, y, columnWidth, labelHeight);
    return l;
}

void NotchTimersView::storeChanged() {
    const bool stopwatchRunning = store_.isStopwatchRunning();
    setButton(stopwatchStart_, stopwatchRunning ? QStringLiteral("Pause") : QStringLiteral("Start"),
              stopwatchRunning, true, accent_);
    setButton(lap_, QStringLiteral("Lap"), false, stopwatchRunning, accent_);
    setButton(stopwatchReset_, QStringLiteral("Reset"), false, store_.stopwatchElapsed() != 0, accent_);
    for (int i = 0; i < kPresetCount; ++i) {
        const qint64 minutes = StopwatchStore::presetMinutes[std::size_t(i)];
        setButton(presets_[std::size_t(i)], QStringLiteral("%1m").arg(minutes),
                  store_.countdownMinutes() == minutes, true, accent_);
    }
    minutesMenu_->setText(minutesTitle(store_.countdownMinutes()));
    minutesMenu_->setAccessibleName(minutesTitle(store_.countdownMinutes()));
    const bool countdownRunning = store_.isCountdownRunning();
    setButton(countdownStart_, countdownRunning ? QStringLiteral("Pause") : QStringLiteral("Start"),
              countdownRunning, true, accent_);
    setButton(countdownReset_, QStringLiteral("Reset"), false, isCountdownResetEnabled(store_), accent_);
    relayout();
    lapRows_->update();
    update();
}

void NotchTimersView::openMinutesMenu() {
    QStringList items;
    int current = -1;
    for (qint64 minutes : StopwatchStore::presetMinutes) {
        if (minutes == store_.countdownMinutes()) current = int(items.size());
        items.append(QStringLiteral("%1 minutes").arg(minutes));
    }
    // The menu opens on the value now set, marked, as a picker's menu does.
    menus_.present({minutesMenu_, items, current, {}},
                   [this, guard = QPointer<NotchTimersView>(this)](int index) {
                       if (!guard || index < 0 || index >= kPresetCount) return;
                       store_.setCountdown(StopwatchStore::presetMinutes[std::size_t(index)]);
                   });
}

void NotchTimersView::relayout() {
    const Layout l = layout(QSizeF(size()), store_);
    const auto place = [](QWidget* widget, const QRectF& rect) {
        widget->setVisible(!rect.isEmpty());
        if (!rect.isEmpty()) widget->setGeometry(rect.toAlignedRect());
    };
    place(stopwatchStart_, l.stopwatchStart);
    place(lap_, l.lap);
    place(stopwatchReset_, l.stopwatchReset);
    for (int i = 0; i < kPresetCount; ++i) place(presets_[std::size_t(i)], l.presets[std::size_t(i)]);
    place(minutesMenu_, l.minutesMenu);
    place(countdownStart_, l.countdownStart);
    place(countdownReset_, l.countdownReset);
    place(lapArea_, l.lapList);
    // The indicator lies over the rows, so they keep the list's whole width.
    if (!l.lapList.isEmpty())
        lapRows_->resize(lapArea_->width(), int(std::ceil(LapRows::contentHeight(store_.laps().size()))));
}

void NotchTimersView::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    relayout();
}

void NotchTimersView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const ColorScheme scheme = VantrelTheme::colorScheme(this);
    const QColor primary = VantrelTheme::primary(scheme);
    const QColor secondary = VantrelTheme::secondaryText().resolve(scheme);
    const Layout l = layout(QSizeF(size()), store_);

    paintLabel(painter, l.stopwatchLabel, QStringLiteral("stopwatch"), QStringLiteral("Stopwatch"),
               secondary);
    paintTime(painter, l.stopwatchTime, StopwatchStore::format(store_.stopwatchElapsed(), true),
              l.timeFontSize, primary);
    if (!l.lapSummary.isEmpty()) {
        painter.setFont(summaryFont());
        painter.setPen(secondary);
        painter.drawText(l.lapSummary, Qt::AlignLeft | Qt::AlignVCenter, lapSummary(store_.laps().size()));
    }

    paintLabel(painter, l.countdownLabel, QStringLiteral("timer"), QStringLiteral("Countdown"), secondary);
    paintTime(painter, l.countdownTime, countdownText(store_), l.timeFontSize,
              store_.countdownDidFinish() ? accent_ : primary);
    if (!l.progress.isEmpty()) {
        const double radius = l.progress.height() / 2;
        painter.setPen(Qt::NoPen);
        painter.setBrush(VantrelTheme::withOpacity(primary, 0.14));
        painter.drawRoundedRect(l.progress, radius, radius);
        const double fraction = std::clamp(store_.countdownProgress(), 0.0, 1.0);
        if (fraction > 0) {
            painter.setBrush(accent_);
            painter.drawRoundedRect(
                QRectF(l.progress.topLeft(), QSizeF(l.progress.width() * fraction, l.progress.height())),
                radius, radius);
        }
    }
    paintLabel(painter, l.alarmHint, QStringLiteral("bell"),
               QStringLiteral("Uses your global alarm settings"), secondary);
    if (!l.timesUp.isEmpty())
        paintLabel(painter, l.timesUp, QStringLiteral("bell.fill"), QStringLiteral("Time's up"), accent_);
}

} // namespace vantrel
