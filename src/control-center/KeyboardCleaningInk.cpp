#include "control-center/KeyboardCleaningInk.h"

#include <QPainter>
#include <QPainterPath>
#include <QPointer>
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>

namespace vantrel {

namespace {

constexpr std::array<double, 7> kMarkWidths{6, 8, 5, 10, 7, 12, 6};
constexpr double kMarkHeight = 10;
constexpr double kMarkRadius = 2;
constexpr double kGap = 3.5;
constexpr double kWordGap = 10;
constexpr double kRowPitch = 21;
constexpr double kMarkTop = 4;
constexpr double kCaretWidth = 2;
constexpr double kCaretHeight = 16;
constexpr double kCaretTop = 1;
constexpr double kMarkOpacity = 0.36;
constexpr double kLastMarkOpacity = 0.54;
constexpr double kCaretOpacity = 0.92;
// 2001-01-01 00:00:00 UTC.
const WallTime kReferenceDate{std::chrono::seconds(978307200)};

} // namespace

KeyboardCleaningInk::Layout KeyboardCleaningInk::layout(int markCount, QSizeF size, bool caretShown) {
    Layout layout;
    const int count = std::clamp(markCount, 0, kMostMarks);
    const double width = size.width(), height = size.height();
    double x = 0, y = 0;
    for (int i = 0; i < count; ++i) {
        const double w = kMarkWidths[std::size_t(i) % kMarkWidths.size()];
        if (x + w > width) {
            x = 0;
            y += kRowPitch;
        }
        // Marks that would start below the canvas are dropped; the count elsewhere stays true.
        if (y + kMarkHeight > height) break;
        layout.marks.push_back(
            {QRectF(x, y + kMarkTop, w, kMarkHeight), i == count - 1 ? kLastMarkOpacity : kMarkOpacity});
        x += w + (i % 5 == 4 ? kWordGap : kGap);
    }
    if (caretShown) {
        if (x + kCaretWidth > width) {
            x = 0;
            y += kRowPitch;
        }
        layout.caret = QRectF(x, y + kCaretTop, kCaretWidth, kCaretHeight);
    }
    return layout;
}

bool KeyboardCleaningInk::caretVisible(WallTime at, bool reduceMotion) {
    if (reduceMotion) return true;
    // Counted in whole nanoseconds: seconds as a double since 1970 blur the period boundaries.
    const std::int64_t since =
        std::chrono::duration_cast<std::chrono::nanoseconds>(at - kReferenceDate).count();
    const std::int64_t period = std::int64_t(kBlinkSeconds * 1e9);
    std::int64_t periods = since / period;
    if (since % period != 0 && since < 0) --periods;
    return periods % 2 == 0;
}

KeyboardCleaningInk::KeyboardCleaningInk(const Clock& clock, Scheduler& scheduler, QWidget* parent)
    : QWidget(parent), clock_(clock), scheduler_(scheduler) {
    // Decoration: the sheet's text says what the marks mean.
    setAccessibleName(QString());
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void KeyboardCleaningInk::setMarkCount(int count) {
    if (markCount_ == count) return;
    markCount_ = count;
    update();
}

void KeyboardCleaningInk::setAccent(const QColor& accent) {
    if (accent_ == accent) return;
    accent_ = accent;
    update();
}

void KeyboardCleaningInk::setReduceMotion(bool reduceMotion) {
    if (reduceMotion_ == reduceMotion) return;
    reduceMotion_ = reduceMotion;
    updateBlink();
    update();
}

void KeyboardCleaningInk::setBlinking(bool blinking) {
    wantsBlink_ = blinking;
    updateBlink();
}

void KeyboardCleaningInk::updateBlink() {
    if (!wantsBlink_ || reduceMotion_) {
        blink_.cancel();
        return;
    }
    if (blink_.isActive()) return;
    const QPointer<KeyboardCleaningInk> self(this);
    blink_ =
        ScheduledTask(scheduler_, scheduler_.scheduleRepeating(Seconds(kBlinkSeconds), Seconds(0), [self] {
            if (self) self->update();
        }));
}

void KeyboardCleaningInk::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF well = QRectF(rect()).adjusted(0.35, 0.35, -0.35, -0.35);
    painter.setPen(QPen(QColor(0, 0, 0, int(std::lround(0.07 * 255))), 0.7));
    painter.setBrush(QColor(0, 0, 0, int(std::lround(0.025 * 255))));
    painter.drawRoundedRect(well, 10, 10);

    const QRectF canvas = QRectF(rect()).adjusted(kInset, kInset, -kInset, -kInset);
    const Layout marks = layout(markCount_, canvas.size(), caretVisible(clock_.now(), reduceMotion_));
    painter.setPen(Qt::NoPen);
    painter.translate(canvas.topLeft());
    for (const Mark& mark : marks.marks) {
        painter.setBrush(QColor::fromRgbF(0, 0, 0, float(mark.opacity)));
        painter.drawRoundedRect(mark.rect, kMarkRadius, kMarkRadius);
    }
    if (marks.caret) {
        QColor caret = accent_;
        caret.setAlphaF(float(kCaretOpacity));
        painter.fillRect(*marks.caret, caret);
    }
}

} // namespace vantrel
