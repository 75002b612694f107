#include "notch/NotchFocusView.h"

#include "kit/TabularFigures.h"
#include "kit/VantrelButton.h"
#include "kit/VantrelPillButtonStyle.h"
#include "kit/VantrelSegmentedControl.h"
#include "kit/VantrelTheme.h"
#include "kit/VantrelType.h"
#include "modules/FocusTimer.h"
#include "notch/NotchSurfaceButton.h"

#include <QFontMetricsF>
#include <QLinearGradient>
#include <QPainter>
#include <algorithm>

namespace vantrel {

namespace {

QFont titleFont() {
    return VantrelType::font(13, QFont::Bold);
}
QFont hintFont() {
    return VantrelType::font(NotchFocusView::kHintSize, QFont::Normal);
}
QFont timeFont() {
    return VantrelType::font(NotchFocusView::kTimeSize, QFont::Bold);
}
QFont finishedFont() {
    return VantrelType::font(NotchFocusView::kFinishedSize, QFont::DemiBold);
}
QFont resetFont() {
    return VantrelType::font(12.5, QFont::Medium);
}

constexpr double kResetHorizontalPadding = 16;
constexpr double kResetVerticalPadding = 9;

} // namespace

double NotchFocusView::ringDiameter(double height) {
    return std::min(std::max(height - 135, 128.0), 210.0);
}

double NotchFocusView::arcFraction(double progress) {
    return std::max(progress, 0.01);
}

int NotchFocusView::presetIndex(qint64 minutes) {
    const auto it = std::find(kPresets.begin(), kPresets.end(), minutes);
    return it == kPresets.end() ? -1 : int(it - kPresets.begin());
}

QStringList NotchFocusView::presetLabels() {
    QStringList labels;
    for (int minutes : kPresets) labels << QString::number(minutes) + QLatin1Char('m');
    return labels;
}

NotchFocusView::Layout NotchFocusView::layout(const QSizeF& size, bool running, const QSizeF& resetSize,
                                              const QSizeF& startSize) {
    Layout l;
    const double width = size.width();
    const double titleWidth = QFontMetricsF(titleFont()).horizontalAdvance(QStringLiteral("Timer"));
    l.title = QRectF(0, 0, titleWidth, kRowHeight);
    const double pickerWidth = std::clamp(width - titleWidth - 8, 0.0, kPickerMaximumWidth);
    l.picker = QRectF(width - pickerWidth, 0, pickerWidth, kRowHeight);
    double y = kRowHeight + kSpacing;
    if (running) {
        const double hintHeight = QFontMetricsF(hintFont()).height();
        l.hint = QRectF(0, y, width, hintHeight);
        y += hintHeight + kSpacing;
    }
    const double d = ringDiameter(size.height());
    l.ring = QRectF((width - d) / 2, y, d, d);
    y += d + kSpacing;
    const double controlsHeight = std::max(resetSize.height(), startSize.height());
    const double controlsWidth = resetSize.width() + kControlSpacing + startSize.width();
    const double left = (width - controlsWidth) / 2;
    l.reset =
        QRectF(left, y + (controlsHeight - resetSize.height()) / 2, resetSize.width(), resetSize.height());
    l.startPause = QRectF(l.reset.right() + kControlSpacing, y + (controlsHeight - startSize.height()) / 2,
                          startSize.width(), startSize.height());
    return l;
}

NotchFocusView::NotchFocusView(FocusTimer& timer, QColor accent, VantrelHaptics* haptics, QWidget* parent)
    : QWidget(parent), timer_(timer), accent_(accent) {
    setAccessibleName(QStringLiteral("Timer"));
    picker_ = new VantrelSegmentedControl(QStringLiteral("Timer duration"), presetLabels(), haptics, this);
    connect(picker_, &VantrelSegmentedControl::chosen, this, [this](int index) {
        if (index >= 0 && index < int(kPresets.size())) timer_.updateDuration(kPresets[std::size_t(index)]);
    });
    reset_ = new NotchSurfaceButton(
        QStringLiteral("Reset"),
        [this](QPainter& painter, const QRectF& rect, bool, bool pressed) {
            const ColorScheme scheme = VantrelTheme::colorScheme(this);
            painter.setPen(Qt::NoPen);
            painter.setBrush(QColor::fromRgbF(1, 1, 1, pressed ? 0.14f : 0.08f));
            painter.drawRoundedRect(rect, rect.height() / 2, rect.height() / 2);
            painter.setPen(VantrelTheme::primary(scheme));
            painter.setFont(resetFont());
            painter.drawText(rect, Qt::AlignCenter, QStringLiteral("Reset"));
        },
        this);
    connect(reset_, &QAbstractButton::clicked, this, [this] { timer_.reset(); });
    startPause_ = new VantrelButton(QStringLiteral("Start"),
                                    std::make_shared<VantrelPillButtonStyle>(accent_, haptics), this);
    connect(startPause_, &QAbstractButton::clicked, this, &NotchFocusView::startOrPause);

    connect(&timer_, &FocusTimer::remainingSecondsChanged, this, &NotchFocusView::sync);
    connect(&timer_, &FocusTimer::isRunningChanged, this, &NotchFocusView::sync);
    connect(&timer_, &FocusTimer::hasFinishedChanged, this, &NotchFocusView::sync);
    connect(&timer_, &FocusTimer::durationMinutesChanged, this, &NotchFocusView::sync);
    sync();
}

QAbstractButton* NotchFocusView::startPauseButton() const {
    return startPause_;
}

void NotchFocusView::startOrPause() {
    // A finished run has no second left to count: Start begins a fresh run of the chosen length
    // rather than doing nothing until Reset.
    if (!timer_.isRunning() && timer_.hasFinished()) timer_.reset();
    timer_.toggle();
}

QSizeF NotchFocusView::resetSize() const {
    const QFontMetricsF metrics(resetFont());
    return {metrics.horizontalAdvance(QStringLiteral("Reset")) + 2 * kResetHorizontalPadding,
            metrics.height() + 2 * kResetVerticalPadding};
}

NotchFocusView::Layout NotchFocusView::currentLayout() const {
    return layout(QSizeF(size()), timer_.isRunning(), resetSize(), QSizeF(startPause_->sizeHint()));
}

void NotchFocusView::sync() {
    const bool running = timer_.isRunning();
    picker_->setSelectedIndex(presetIndex(timer_.durationMinutes()));
    // The duration cannot change under a running countdown.
    picker_->setEnabled(!running);
    startPause_->setText(running ? QStringLiteral("Pause") : QStringLiteral("Start"));
    startPause_->setAccessibleName(startPause_->text());
    const Layout l = currentLayout();
    picker_->setGeometry(l.picker.toAlignedRect());
    reset_->setGeometry(l.reset.toAlignedRect());
    startPause_->setGeometry(l.startPause.toAlignedRect());
    update();
}

void NotchFocusView::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    sync();
}

void NotchFocusView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const ColorScheme scheme = VantrelTheme::colorScheme(this);
    const Layout l = currentLayout();

    painter.setPen(VantrelTheme::primary(scheme));
    painter.setFont(titleFont());
    painter.drawText(l.title, Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Timer"));
    if (!l.hint.isEmpty()) {
        painter.setPen(VantrelTheme::tertiaryText().resolve(scheme));
        painter.setFont(hintFont());
        painter.drawText(l.hint, Qt::AlignCenter, QStringLiteral("Pause to change the duration"));
    }

    // The track, then the arc from the top, clockwise.
    painter.setBrush(Qt::NoBrush);
    painter.setPen(
        QPen(QColor::fromRgbF(1, 1, 1, 0.08f), kLineWidth, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin));
    painter.drawEllipse(l.ring);
    QLinearGradient gradient(l.ring.topLeft(), l.ring.bottomLeft());
    gradient.setColorAt(0, accent_.lighter(118));
    gradient.setColorAt(1, accent_);
    painter.setPen(QPen(QBrush(gradient), kLineWidth, Qt::SolidLine, Qt::RoundCap, Qt::MiterJoin));
    const int span = -int(std::lround(arcFraction(timer_.progress()) * 360 * 16));
    painter.drawArc(l.ring, 90 * 16, span);

    const QFontMetricsF timeMetrics(timeFont());
    const QFontMetricsF finishedMetrics(finishedFont());
    const bool finished = timer_.hasFinished();
    const double stack = timeMetrics.height() + (finished ? 4 + finishedMetrics.height() : 0);
    const double top = l.ring.center().y() - stack / 2;
    painter.setPen(VantrelTheme::primary(scheme));
    painter.setFont(timeFont());
    TabularFigures::draw(painter, QRectF(l.ring.left(), top, l.ring.width(), timeMetrics.height()),
                         Qt::AlignCenter, timer_.timeText());
    if (finished) {
        painter.setPen(accent_);
        painter.setFont(finishedFont());
        painter.drawText(
            QRectF(l.ring.left(), top + timeMetrics.height() + 4, l.ring.width(), finishedMetrics.height()),
            Qt::AlignCenter, QStringLiteral("Finished"));
    }
}

} // namespace vantrel
