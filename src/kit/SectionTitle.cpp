#include "kit/SectionTitle.h"

#include "core/VantrelPreferences.h"
#include "kit/TextAdvance.h"
#include "kit/VantrelTheme.h"
#include "kit/VantrelType.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QTextLayout>
#include <cmath>

namespace vantrel {

namespace {

constexpr double kStackSpacing = 7;
constexpr double kRowSpacing = 9;
constexpr QSizeF kCapsule(24, 3);
constexpr double kSubtitleLineSpacing = 2;

// Lays `text` out as plain text wrapped to `width`, with `extra` points between lines. Returns the
// height used.
double layoutText(QTextLayout& layout, double width, double extra) {
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout.setTextOption(option);
    const QFontMetricsF metrics(layout.font());
    double y = 0;
    layout.beginLayout();
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(std::max(1.0, width));
        if (y > 0) y += extra;
        line.setPosition(QPointF(0, y));
        y += metrics.height();
    }
    layout.endLayout();
    return y;
}

double textHeight(const QString& text, const QFont& font, double width, double extra) {
    QTextLayout layout(text, font);
    return layoutText(layout, width, extra);
}

void drawText(QPainter& painter, const QString& text, const QFont& font, const QRectF& rect, double extra) {
    QTextLayout layout(text, font);
    layoutText(layout, rect.width(), extra);
    layout.draw(&painter, rect.topLeft());
}

bool hasSubtitle(const std::optional<QString>& subtitle) {
    return subtitle && !subtitle->isEmpty();
}

} // namespace

SectionTitle::SectionTitle(VantrelPreferences& preferences, QString title, std::optional<QString> subtitle,
                           QWidget* parent)
    : QWidget(parent), preferences_(preferences), title_(std::move(title)), subtitle_(std::move(subtitle)) {
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Preferred);
    QSizePolicy policy = sizePolicy();
    policy.setHeightForWidth(true);
    setSizePolicy(policy);
    setAccessibleName(title_);
    connect(&preferences_, &VantrelPreferences::changed, this, [this](VantrelPreferences::Setting setting) {
        if (setting == VantrelPreferences::Setting::accent) update();
    });
}

void SectionTitle::setTitle(const QString& title) {
    title_ = title;
    setAccessibleName(title_);
    relayout();
}

void SectionTitle::setSubtitle(const std::optional<QString>& subtitle) {
    subtitle_ = subtitle;
    relayout();
}

void SectionTitle::relayout() {
    updateGeometry();
    update();
}

QFont SectionTitle::wordmarkFont() {
    QFont font = VantrelType::overline();
    font.setLetterSpacing(QFont::AbsoluteSpacing, 1.75);
    return font;
}

QFont SectionTitle::titleFont() {
    QFont font = VantrelType::pageTitle();
    font.setLetterSpacing(QFont::AbsoluteSpacing, -1.15);
    return font;
}

QFont SectionTitle::subtitleFont() {
    return VantrelType::subtitle();
}

SectionTitleLayout SectionTitle::layout(double width, const QString& title,
                                        const std::optional<QString>& subtitle) {
    SectionTitleLayout out;
    const QFontMetricsF wordmarkMetrics(wordmarkFont());
    const double rowHeight = std::max(kCapsule.height(), wordmarkMetrics.height());
    const double textWidth = TextAdvance::of(wordmarkFont(), wordmarkText());
    const double capsuleY = (rowHeight - kCapsule.height()) / 2;
    out.leadingCapsule = QRectF(QPointF(0, capsuleY), kCapsule);
    out.wordmark = QRectF(out.leadingCapsule.right() + kRowSpacing, 0, textWidth, rowHeight);
    out.trailingCapsule = QRectF(QPointF(out.wordmark.right() + kRowSpacing, capsuleY), kCapsule);

    double y = rowHeight + kStackSpacing;
    const double titleHeight = textHeight(title, titleFont(), width, 0);
    out.title = QRectF(0, y, width, titleHeight);
    y += titleHeight;
    if (hasSubtitle(subtitle)) {
        y += kStackSpacing;
        const double h = textHeight(*subtitle, subtitleFont(), width, kSubtitleLineSpacing);
        out.subtitle = QRectF(0, y, width, h);
        y += h;
    }
    out.height = y;
    return out;
}

int SectionTitle::heightForWidth(int width) const {
    return int(std::ceil(layout(width, title_, subtitle_).height));
}

QSize SectionTitle::sizeHint() const {
    const int width = 480;
    return {width, heightForWidth(width)};
}

void SectionTitle::paintEvent(QPaintEvent*) {
    const SectionTitleLayout l = layout(width(), title_, subtitle_);
    const ColorScheme scheme = VantrelTheme::colorScheme(this);
    const QColor accent = VantrelTheme::accent(preferences_.accent());
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);

    // The capsules are filled with the accent, and the row's foreground (the wordmark) is the
    // accent at 0.92; a fill given explicitly is not changed by the row's foreground.
    for (const QRectF& capsule : {l.leadingCapsule, l.trailingCapsule}) {
        painter.setPen(Qt::NoPen);
        painter.setBrush(accent);
        painter.drawRoundedRect(capsule, capsule.height() / 2, capsule.height() / 2);
    }
    painter.setPen(VantrelTheme::withOpacity(accent, 0.92));
    painter.setFont(wordmarkFont());
    painter.drawText(l.wordmark, Qt::AlignLeft | Qt::AlignVCenter, wordmarkText());

    painter.setPen(VantrelTheme::primary(scheme));
    drawText(painter, title_, titleFont(), l.title, 0);
    if (l.subtitle) {
        painter.setPen(VantrelTheme::secondaryText().resolve(scheme));
        drawText(painter, *subtitle_, subtitleFont(), *l.subtitle, kSubtitleLineSpacing);
    }
}

} // namespace vantrel
