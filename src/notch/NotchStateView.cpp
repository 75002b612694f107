#include "notch/NotchStateView.h"

#include "kit/GlyphCatalogue.h"
#include "kit/VantrelButton.h"
#include "kit/VantrelPillButtonStyle.h"
#include "kit/VantrelTheme.h"
#include "kit/VantrelType.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QTextLayout>
#include <algorithm>
#include <cmath>

namespace vantrel {

namespace {

constexpr double kSymbolWidth = 28;
constexpr double kSymbolHeight = 24;
constexpr double kSymbolPointSize = 20;

} // namespace

NotchStateView::NotchStateView(QString symbol, QString title, QString message, QColor accent,
                               std::optional<QString> actionTitle, std::function<void()> action,
                               VantrelHaptics* haptics, QWidget* parent)
    : QWidget(parent), symbol_(std::move(symbol)), title_(std::move(title)), message_(std::move(message)),
      accent_(accent) {
    setAccessibleName(title_);
    setAccessibleDescription(message_);
    // A button needs both what it says and what it does.
    if (actionTitle && action) {
        auto* button =
            new VantrelButton(*actionTitle, std::make_shared<VantrelPillButtonStyle>(accent_, haptics), this);
        connect(button, &QAbstractButton::clicked, this, [action] { action(); });
        button_ = button;
    }
}

QFont NotchStateView::titleFont() {
    return VantrelType::font(12.5, QFont::DemiBold);
}

QFont NotchStateView::messageFont() {
    return VantrelType::font(10.5, QFont::Normal);
}

NotchStateView::Layout NotchStateView::layout(const QSizeF& size, double titleHeight, double messageHeight,
                                              const QSizeF& buttonSize) {
    const QRectF frame = QRectF(QPointF(0, 0), size).adjusted(kPadding, kPadding, -kPadding, -kPadding);
    const bool hasButton = !buttonSize.isEmpty();
    double total = kSymbolHeight + kSpacing + titleHeight + kSpacing + messageHeight;
    if (hasButton) total += kSpacing + buttonSize.height();

    Layout layout;
    double y = frame.top() + (frame.height() - total) / 2;
    const double midX = frame.center().x();
    layout.symbol = QRectF(midX - kSymbolWidth / 2, y, kSymbolWidth, kSymbolHeight);
    y += kSymbolHeight + kSpacing;
    layout.title = QRectF(frame.left(), y, frame.width(), titleHeight);
    y += titleHeight + kSpacing;
    layout.message = QRectF(frame.left(), y, frame.width(), messageHeight);
    y += messageHeight;
    if (hasButton) {
        y += kSpacing;
        layout.button = QRectF(midX - buttonSize.width() / 2, y, buttonSize.width(), buttonSize.height());
    }
    return layout;
}

QStringList NotchStateView::messageLines(const QString& message, const QFont& font, double width) {
    QStringList lines;
    if (message.isEmpty() || width <= 0) return lines;
    QTextLayout text(message, font);
    text.beginLayout();
    while (lines.size() < kMaximumMessageLines) {
        QTextLine line = text.createLine();
        if (!line.isValid()) break;
        line.setLineWidth(width);
        if (lines.size() == kMaximumMessageLines - 1) {
            // The last line takes the rest of the message, cut with an ellipsis where it overflows.
            const QString rest = message.mid(line.textStart()).trimmed();
            lines.append(QFontMetricsF(font).elidedText(rest, Qt::ElideRight, width));
            break;
        }
        lines.append(message.mid(line.textStart(), line.textLength()).trimmed());
    }
    text.endLayout();
    return lines;
}

NotchStateView::Layout NotchStateView::currentLayout() const {
    const QFontMetricsF titleMetrics(titleFont());
    const QFontMetricsF messageMetrics(messageFont());
    const double available = std::max(0.0, width() - 2 * kPadding);
    const qsizetype lineCount = messageLines(message_, messageFont(), available).size();
    const QSizeF buttonSize = button_ ? QSizeF(button_->sizeHint()) : QSizeF();
    return layout(QSizeF(size()), titleMetrics.height(), lineCount * messageMetrics.lineSpacing(),
                  buttonSize);
}

void NotchStateView::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    if (button_) button_->setGeometry(currentLayout().button.toAlignedRect());
}

void NotchStateView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const Layout l = currentLayout();
    const ColorScheme scheme = VantrelTheme::colorScheme(this);

    const QRectF glyph(l.symbol.center().x() - kSymbolPointSize / 2,
                       l.symbol.center().y() - kSymbolPointSize / 2, kSymbolPointSize, kSymbolPointSize);
    GlyphCatalogue::paint(painter, symbol_, glyph, accent_, QFont::Medium);

    painter.setPen(VantrelTheme::primary(scheme));
    painter.setFont(titleFont());
    painter.drawText(l.title, Qt::AlignHCenter | Qt::AlignVCenter,
                     QFontMetricsF(titleFont()).elidedText(title_, Qt::ElideRight, l.title.width()));

    painter.setPen(VantrelTheme::secondaryText().resolve(scheme));
    painter.setFont(messageFont());
    const double lineHeight = QFontMetricsF(messageFont()).lineSpacing();
    double y = l.message.top();
    for (const QString& line : messageLines(message_, messageFont(), l.message.width())) {
        painter.drawText(QRectF(l.message.left(), y, l.message.width(), lineHeight),
                         Qt::AlignHCenter | Qt::AlignTop, line);
        y += lineHeight;
    }
}

} // namespace vantrel
