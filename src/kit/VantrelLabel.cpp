#include "kit/VantrelLabel.h"

#include "kit/KitPaint.h"
#include "kit/TabularFigures.h"
#include "kit/TextAdvance.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QFontMetricsF>
#include <QPainter>
#include <QTextLayout>
#include <cmath>

namespace vantrel {

namespace {
constexpr char kHeadingProperty[] = "vantrelHeadingLevel";

QAccessibleInterface* headingFactory(const QString&, QObject* object) {
    auto* widget = qobject_cast<QWidget*>(object);
    if (!widget || widget->property(kHeadingProperty).toInt() <= 0) return nullptr;
    return new QAccessibleWidget(widget, QAccessible::Heading);
}
} // namespace

void markAccessibleHeading(QWidget* widget, int level) {
    static const bool installed = [] {
        QAccessible::installFactory(headingFactory);
        return true;
    }();
    Q_UNUSED(installed);
    widget->setProperty(kHeadingProperty, std::clamp(level, 0, 6));
    // A widget may have been described already while it was being built (a label announces its
    // text); that description is dropped so that the next question gets the heading.
    if (QAccessibleInterface* described = QAccessible::queryAccessibleInterface(widget);
        described && (described->role() == QAccessible::Heading) != (level > 0))
        QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(described));
}

VantrelLabel::VantrelLabel(const QString& text, const QFont& font, AdaptiveColor color, QWidget* parent)
    : QLabel(parent), color_(std::move(color)) {
    setTextFormat(Qt::PlainText);
    setFont(font);
    setText(text);
    setAttribute(Qt::WA_TranslucentBackground);
}

void VantrelLabel::setText(const QString& text) {
    QLabel::setText(text);
    setAccessibleName(text);
}

void VantrelLabel::setColor(AdaptiveColor color, double opacity) {
    color_ = std::move(color);
    opacity_ = opacity;
    update();
}

QColor VantrelLabel::resolvedColor() const {
    return VantrelTheme::withOpacity(color_.resolve(VantrelTheme::colorScheme(this)), opacity_);
}

void VantrelLabel::setHeadingLevel(int level) {
    markAccessibleHeading(this, level);
}

void VantrelLabel::setLineSpacing(double spacing) {
    lineSpacing_ = std::max(0.0, spacing);
    updateGeometry();
    update();
}

double VantrelLabel::layOut(QTextLayout& layout, double width) const {
    QTextOption option(alignment());
    option.setWrapMode(wordWrap() ? QTextOption::WordWrap : QTextOption::NoWrap);
    layout.setTextOption(option);
    layout.setFont(font());
    layout.beginLayout();
    double y = 0;
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(width);
        if (y > 0) y += lineSpacing_;
        line.setPosition(QPointF(0, y));
        // The font's own height, unrounded, so the spacing between lines is exactly the one asked.
        y += line.ascent() + line.descent();
    }
    layout.endLayout();
    return y;
}

QList<QRectF> VantrelLabel::lineRects() const {
    QTextLayout layout(text());
    layOut(layout, contentsRect().width());
    QList<QRectF> rects;
    for (int i = 0; i < layout.lineCount(); ++i)
        rects.append(layout.lineAt(i).naturalTextRect().translated(contentsRect().topLeft()));
    return rects;
}

int VantrelLabel::heightForWidth(int width) const {
    Heights& h = heights_;
    if (h.text != text() || h.font != font() || h.lineSpacing != lineSpacing_ ||
        h.margins != contentsMargins() || h.margin != margin() || h.indent != indent() ||
        h.wordWrap != wordWrap()) {
        h = Heights{text(), font(), lineSpacing_, contentsMargins(), margin(), indent(), wordWrap(), {}};
    }
    for (const auto& [known, height] : h.byWidth)
        if (known == width) return height;
    const int height = measuredHeightForWidth(width);
    // A few widths are enough: a window being built or resized asks about one or two at a time.
    if (h.byWidth.size() >= 8) h.byWidth.erase(h.byWidth.begin());
    h.byWidth.emplace_back(width, height);
    return height;
}

int VantrelLabel::measuredHeightForWidth(int width) const {
    if (lineSpacing_ <= 0 || !wordWrap()) return QLabel::heightForWidth(width);
    const QMargins margins = contentsMargins();
    QTextLayout layout(text());
    const double height = layOut(layout, std::max(0, width - margins.left() - margins.right()));
    return int(std::ceil(height)) + margins.top() + margins.bottom();
}

void VantrelLabel::setTabularDigits(bool on) {
    if (tabularDigits_ == on) return;
    tabularDigits_ = on;
    updateGeometry();
    update();
}

void VantrelLabel::setElided(bool on) {
    if (elided_ == on) return;
    elided_ = on;
    update();
}

QSize VantrelLabel::sizeHint() const {
    if (tabularDigits_ && !wordWrap()) {
        const QMargins margins = contentsMargins();
        return QSize(int(std::ceil(TabularFigures::advance(font(), text()))) + margins.left() +
                         margins.right(),
                     QLabel::sizeHint().height());
    }
    if (!wordWrap()) return QLabel::sizeHint();
    const QMargins margins = contentsMargins();
    const int width = int(std::ceil(TextAdvance::of(font(), text()))) + margins.left() + margins.right();
    return QSize(width, heightForWidth(width));
}

QSize VantrelLabel::minimumSizeHint() const {
    if (!wordWrap()) return QLabel::minimumSizeHint();
    const int width = std::min(sizeHint().width(), 80);
    return QSize(width, heightForWidth(width));
}

AdaptiveColor VantrelLabel::primary() {
    return {QColor(Qt::white), QColor(Qt::black)};
}

void VantrelLabel::paintEvent(QPaintEvent*) {
    // Drawn here rather than by QLabel so that the colour is resolved for the appearance now in
    // force, not the one of the palette last set.
    QPainter painter(this);
    // A label in a row that cannot be used now fades back with the row's control, unless the row
    // is drawn faded as a whole already.
    if (!KitPaint::fadedByDisabledGroup(this)) KitPaint::fadeIfDisabled(painter, this);
    painter.setFont(font());
    painter.setPen(resolvedColor());
    if (tabularDigits_ && !wordWrap()) {
        TabularFigures::draw(painter, contentsRect(), alignment(), text());
        return;
    }
    if (elided_ && !wordWrap()) {
        const QRectF area(contentsRect());
        painter.drawText(area, int(alignment()) | Qt::TextSingleLine,
                         TextAdvance::elidedRight(font(), text(), area.width()));
        return;
    }
    if (lineSpacing_ > 0) {
        QTextLayout layout(text());
        layOut(layout, contentsRect().width());
        layout.draw(&painter, contentsRect().topLeft());
        return;
    }
    int flags = int(alignment());
    if (wordWrap()) flags |= Qt::TextWordWrap;
    painter.drawText(contentsRect(), flags, text());
}

} // namespace vantrel
