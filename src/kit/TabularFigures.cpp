#include "kit/TabularFigures.h"

#include "kit/TextAdvance.h"

#include <QFontMetricsF>
#include <QPainter>
#include <algorithm>

namespace vantrel {

namespace {

bool isDigit(QChar c) {
    return c >= u'0' && c <= u'9';
}

// Calls `digit(index)` for each digit and `run(from, length)` for each stretch of other characters,
// in order.
template <typename Digit, typename Run> void forEachPiece(const QString& text, Digit digit, Run run) {
    qsizetype start = 0;
    for (qsizetype i = 0; i <= text.size(); ++i) {
        if (i < text.size() && !isDigit(text[i])) continue;
        if (i > start) run(start, i - start);
        if (i < text.size()) digit(i);
        start = i + 1;
    }
}

} // namespace

double TabularFigures::digitWidth(const QFont& font) {
    double widest = 0;
    for (char16_t d = u'0'; d <= u'9'; ++d)
        widest = std::max(widest, TextAdvance::of(font, QString(QChar(d))));
    return widest;
}

double TabularFigures::advance(const QFont& font, const QString& text) {
    const double cell = digitWidth(font);
    double width = 0;
    forEachPiece(
        text, [&](qsizetype) { width += cell; },
        [&](qsizetype from, qsizetype length) { width += TextAdvance::of(font, text.mid(from, length)); });
    return width;
}

QString TabularFigures::elided(const QFont& font, const QString& text, double width) {
    if (advance(font, text) <= width) return text;
    const QString ellipsis(QChar(0x2026));
    for (qsizetype keep = text.size() - 1; keep > 0; --keep) {
        if (text[keep - 1].isHighSurrogate()) continue;
        const QString candidate = text.left(keep) + ellipsis;
        if (advance(font, candidate) <= width) return candidate;
    }
    return ellipsis;
}

void TabularFigures::draw(QPainter& painter, const QRectF& rect, Qt::Alignment alignment,
                          const QString& text) {
    const QFont font = painter.font();
    const QFontMetricsF metrics(font);
    const QString shown = elided(font, text, rect.width());
    const double width = advance(font, shown);
    double x = rect.left();
    if (alignment & Qt::AlignRight)
        x = rect.right() - width;
    else if (alignment & Qt::AlignHCenter)
        x = rect.left() + (rect.width() - width) / 2;
    double top = rect.top();
    if (alignment & Qt::AlignBottom)
        top = rect.bottom() - metrics.height();
    else if (alignment & Qt::AlignVCenter)
        top = rect.top() + (rect.height() - metrics.height()) / 2;
    const double baseline = top + metrics.ascent();
    const double cell = digitWidth(font);
    forEachPiece(
        shown,
        [&](qsizetype i) {
            const QString digit(shown[i]);
            painter.drawText(QPointF(x + (cell - TextAdvance::of(font, digit)) / 2, baseline), digit);
            x += cell;
        },
        [&](qsizetype from, qsizetype length) {
            const QString run = shown.mid(from, length);
            painter.drawText(QPointF(x, baseline), run);
            x += TextAdvance::of(font, run);
        });
}

} // namespace vantrel
