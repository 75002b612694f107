#include "kit/VantrelShadow.h"

#include "kit/KitPaint.h"

#include <QEvent>
#include <QPainter>
#include <algorithm>
#include <array>
#include <cmath>
#include <utility>
#include <vector>

namespace vantrel {

namespace {

// One box blur of half-width `r` along rows (horizontal) or columns of an 8-bit image, with zeros
// beyond the edges. The pixels are reached through one pointer (scanLine() checks for sharing on
// every call), and columns are swept a row at a time with one running sum per column, so that
// memory is read in order: a window-sized shadow is blurred within the first frame.
void boxBlur(QImage& image, int r, bool horizontal) {
    if (r <= 0) return;
    const int w = image.width(), h = image.height();
    if (w <= 0 || h <= 0) return;
    const int window = 2 * r + 1;
    // The rounded average of every possible window sum, looked up rather than divided per pixel.
    std::vector<uchar> average(static_cast<std::size_t>(255 * window + 1));
    for (std::size_t sum = 0; sum < average.size(); ++sum)
        average[sum] = uchar((int(sum) + window / 2) / window);
    const qsizetype stride = image.bytesPerLine();
    uchar* const bits = image.bits();
    if (horizontal) {
        std::vector<int> source(static_cast<std::size_t>(w));
        for (int y = 0; y < h; ++y) {
            uchar* const row = bits + y * stride;
            for (int x = 0; x < w; ++x) source[std::size_t(x)] = row[x];
            int sum = 0;
            for (int x = 0; x <= std::min(r, w - 1); ++x) sum += source[std::size_t(x)];
            for (int x = 0; x < w; ++x) {
                row[x] = average[std::size_t(sum)];
                const int add = x + r + 1, drop = x - r;
                if (add < w) sum += source[std::size_t(add)];
                if (drop >= 0) sum -= source[std::size_t(drop)];
            }
        }
        return;
    }
    // The untouched column values, row by row, and one running sum per column.
    std::vector<uchar> source(static_cast<std::size_t>(w) * std::size_t(h));
    for (int y = 0; y < h; ++y) std::copy_n(bits + y * stride, w, source.begin() + std::ptrdiff_t(y) * w);
    std::vector<int> sums(static_cast<std::size_t>(w), 0);
    for (int y = 0; y <= std::min(r, h - 1); ++y)
        for (int x = 0; x < w; ++x)
            sums[std::size_t(x)] += source[std::size_t(y) * std::size_t(w) + std::size_t(x)];
    for (int y = 0; y < h; ++y) {
        uchar* const row = bits + y * stride;
        for (int x = 0; x < w; ++x) row[x] = average[std::size_t(sums[std::size_t(x)])];
        const int add = y + r + 1, drop = y - r;
        if (add < h) {
            const uchar* const in = source.data() + std::ptrdiff_t(add) * w;
            for (int x = 0; x < w; ++x) sums[std::size_t(x)] += in[x];
        }
        if (drop >= 0) {
            const uchar* const out = source.data() + std::ptrdiff_t(drop) * w;
            for (int x = 0; x < w; ++x) sums[std::size_t(x)] -= out[x];
        }
    }
}

// The half-width of the box blurs that make a blur of `radius`: three box blurs of width w
// approach a Gaussian of variance 3 (w² − 1) / 12, and the Gaussian's standard deviation is
// radius / 2.
int boxHalfWidth(double radius) {
    const double sigma = std::max(0.0, radius) / 2;
    return int(std::lround((std::sqrt(4 * sigma * sigma + 1) - 1) / 2));
}

bool samePoint(QPointF a, QPointF b) {
    return std::abs(a.x() - b.x()) <= 1e-6 * std::max(1.0, std::abs(b.x())) &&
           std::abs(a.y() - b.y()) <= 1e-6 * std::max(1.0, std::abs(b.y()));
}

// Per axis of a stretched image: the part before the middle line, the middle line stretched, the
// part after it.
struct Span {
    int from, length, to, drawn;
};

std::array<Span, 3> spans(int length, int wanted) {
    const int middle = length / 2, grow = std::max(0, wanted - length);
    return std::array<Span, 3>{Span{0, middle, 0, middle}, Span{middle, 1, middle, grow + 1},
                               Span{middle + 1, length - middle - 1, middle + 1 + grow, length - middle - 1}};
}

// How long a strip of a stretched edge is: edges longer than it are laid in several.
constexpr int kEdgeStrip = 128;

} // namespace

VantrelShadow::VantrelShadow(QWidget* target, Shape shape)
    : QWidget(target ? target->parentWidget() : nullptr), target_(target), shape_(std::move(shape)) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_NoSystemBackground);
    setFocusPolicy(Qt::NoFocus);
    if (target) target->installEventFilter(this);
    follow();
}

void VantrelShadow::setLook(const Look& look) {
    if (look == look_) return;
    const bool reshape = look.radius != look_.radius || look.offset != look_.offset;
    look_ = look;
    if (reshape) {
        mask_ = QImage();
        follow();
    }
    update();
}

void VantrelShadow::invalidateShape() {
    mask_ = QImage();
    update();
}

int VantrelShadow::reach(const Look& look) {
    const double offset = std::max(std::abs(look.offset.x()), std::abs(look.offset.y()));
    return int(std::ceil(std::max(0.0, look.radius) + offset)) + 1;
}

QImage VantrelShadow::blurredMask(const QPainterPath& shape, QSize size, double radius) {
    QImage coverage(size, QImage::Format_Alpha8);
    coverage.fill(0);
    {
        QPainter p(&coverage);
        p.setRenderHint(QPainter::Antialiasing);
        p.fillPath(shape, Qt::black);
    }
    const int half = boxHalfWidth(radius);
    for (int pass = 0; pass < 3; ++pass) {
        boxBlur(coverage, half, true);
        boxBlur(coverage, half, false);
    }
    return coverage;
}

std::optional<QSize> VantrelShadow::stretchableCopy(const Shape& shape, QSize size, const Look& look) {
    if (!shape || size.isEmpty()) return std::nullopt;
    const QPainterPath full = shape(QRectF(QPointF(), QSizeF(size)));
    const int count = full.elementCount();
    if (count == 0) return std::nullopt;
    // How far into the shape its outline's points reach from the nearest side, along each axis.
    double cornerX = 0, cornerY = 0;
    for (int i = 0; i < count; ++i) {
        const QPainterPath::Element e = full.elementAt(i);
        if (!std::isfinite(e.x) || !std::isfinite(e.y)) return std::nullopt;
        cornerX = std::max(cornerX, std::min(std::abs(e.x), std::abs(size.width() - e.x)));
        cornerY = std::max(cornerY, std::min(std::abs(e.y), std::abs(size.height() - e.y)));
    }
    // Three box blurs reach three half-widths; the middle line keeps one more pixel clear.
    const int support = 3 * boxHalfWidth(look.radius) + 1;
    const auto copyLength = [support](double corner, double offset, int length) {
        const double wanted = 2 * (std::ceil(corner) + support + std::ceil(std::abs(offset)) + 1);
        return wanted < length ? int(wanted) : length;
    };
    const QSize copy(copyLength(cornerX, look.offset.x(), size.width()),
                     copyLength(cornerY, look.offset.y(), size.height()));
    if (copy == size) return std::nullopt;
    const QPainterPath small = shape(QRectF(QPointF(), QSizeF(copy)));
    if (small.elementCount() != count) return std::nullopt;
    const double midX = copy.width() / 2.0, midY = copy.height() / 2.0;
    const QPointF shift(size.width() - copy.width(), size.height() - copy.height());
    const auto side = [midX, midY](QPointF p) { return std::pair(p.x() > midX, p.y() > midY); };
    // A straight edge may cross a middle line only along it, so that stretching leaves it straight.
    const auto stretchesStraight = [&side](QPointF from, QPointF to) {
        const auto [fromRight, fromBelow] = side(from);
        const auto [toRight, toBelow] = side(to);
        return (fromRight == toRight || from.y() == to.y()) && (fromBelow == toBelow || from.x() == to.x());
    };
    int subpathStart = 0;
    for (int i = 0; i < count; ++i) {
        const QPainterPath::Element a = small.elementAt(i), b = full.elementAt(i);
        if (a.type != b.type) return std::nullopt;
        const auto [right, below] = side(a);
        if (!samePoint(QPointF(a.x + (right ? shift.x() : 0), a.y + (below ? shift.y() : 0)), b))
            return std::nullopt;
        switch (a.type) {
        case QPainterPath::MoveToElement:
            // The filled outline closes every subpath, with a straight edge back to its start.
            if (i > 0 && !stretchesStraight(small.elementAt(i - 1), small.elementAt(subpathStart)))
                return std::nullopt;
            subpathStart = i;
            break;
        case QPainterPath::LineToElement:
            if (i > 0 && !stretchesStraight(small.elementAt(i - 1), a)) return std::nullopt;
            break;
        case QPainterPath::CurveToElement:
            // A curve moves whole, with its start and control points on one side of both lines.
            if (i == 0 || i + 2 >= count) return std::nullopt;
            for (int j = i - 1; j <= i + 2; ++j)
                if (side(small.elementAt(j)) != side(a)) return std::nullopt;
            break;
        case QPainterPath::CurveToDataElement:
            break;
        }
    }
    if (!stretchesStraight(small.elementAt(count - 1), small.elementAt(subpathStart))) return std::nullopt;
    return copy;
}

void VantrelShadow::drawStretched(QPainter& painter, const QImage& image, QSize size) {
    const std::array<Span, 3> columns = spans(image.width(), size.width());
    const std::array<Span, 3> rows = spans(image.height(), size.height());
    for (const Span& c : columns)
        for (const Span& r : rows)
            if (c.length > 0 && r.length > 0)
                painter.drawImage(QRect(c.to, r.to, c.drawn, r.drawn), image,
                                  QRect(c.from, r.from, c.length, r.length));
}

bool VantrelShadow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == target_) {
        switch (event->type()) {
        case QEvent::Move:
        case QEvent::Resize:
        case QEvent::Show:
        case QEvent::Hide:
        case QEvent::ZOrderChange:
        case QEvent::ParentChange:
            follow();
            break;
        default:
            break;
        }
    } else if (ancestors_.contains(watched) && event->type() == QEvent::Move) {
        // An ancestor in between carries the target with it as it moves.
        follow();
    }
    return QWidget::eventFilter(watched, event);
}

void VantrelShadow::follow() {
    if (!target_ || !target_->parentWidget()) {
        hide();
        return;
    }
    // The shadow lies in the nearest ancestor with room for all of it: a parent as narrow as the
    // target (a column of cards) would cut it square at its edge. It stays inside a scrolled page
    // and its window. The ancestors in between are watched, as they move the target too.
    const int m = reach(look_);
    QRect wanted = target_->geometry().adjusted(-m, -m, m, m);
    QWidget* host = target_->parentWidget();
    QWidget* branch = target_;
    QList<QObject*> between;
    while (look_.color.alpha() > 0 && !host->rect().contains(wanted) && !host->isWindow() &&
           host->parentWidget() &&
           host->parentWidget()->objectName() != QLatin1String("qt_scrollarea_viewport")) {
        between << host;
        wanted.translate(host->pos());
        branch = host;
        host = host->parentWidget();
    }
    // Once lifted it stays: a parent with room at one size may have none at the next, and each
    // move to another parent hides the shadow and shows it again, which lays out the ancestors.
    if (QWidget* current = parentWidget(); current && current != host && current->isAncestorOf(host))
        while (host != current) {
            between << host;
            wanted.translate(host->pos());
            branch = host;
            host = host->parentWidget();
        }
    for (QObject* ancestor : std::as_const(ancestors_))
        if (ancestor && !between.contains(ancestor)) ancestor->removeEventFilter(this);
    for (QObject* ancestor : std::as_const(between))
        if (!ancestors_.contains(ancestor)) ancestor->installEventFilter(this);
    ancestors_.clear();
    for (QObject* ancestor : std::as_const(between)) ancestors_ << QPointer<QObject>(ancestor);
    if (parentWidget() != host) setParent(host);
    if (wanted.size() != size()) mask_ = QImage();
    // Only what changed: showing a widget lays out its ancestors again, which in the middle of
    // their own resizing undoes it.
    if (geometry() != wanted) setGeometry(wanted);
    // Restacked only when out of place.
    const QObjectList& siblings = host->children();
    if (siblings.indexOf(this) > siblings.indexOf(branch)) stackUnder(branch);
    const bool visible = target_->isVisibleTo(host) && look_.color.alpha() > 0;
    if (isHidden() == visible) setVisible(visible);
}

void VantrelShadow::hideEvent(QHideEvent* event) {
    QWidget::hideEvent(event);
    // A hidden shadow (its card's window closed) lets go of its image; the last holder of a
    // shared one frees it, and the next paint makes it again.
    mask_ = QImage();
    edges_ = {};
}

void VantrelShadow::paintEvent(QPaintEvent*) {
    if (!target_ || look_.color.alpha() == 0) return;
    QColor opaque = look_.color;
    opaque.setAlpha(255);
    if (mask_.isNull() || maskSize_ != size() || maskColor_ != opaque) {
        const int m = reach(look_);
        const std::optional<QSize> copy = stretchableCopy(shape_, target_->size(), look_);
        const QSize shapeSize = copy.value_or(target_->size());
        const QPainterPath shape =
            shape_(QRectF(QPointF(), QSizeF(shapeSize))).translated(QPointF(m, m) + look_.offset);
        const QSize imageSize = shapeSize + QSize(2 * m, 2 * m);
        QByteArray key;
        KitPaint::appendKey(key, imageSize);
        KitPaint::appendKey(key, look_.radius);
        KitPaint::appendKey(key, opaque.rgba());
        for (int i = 0; i < shape.elementCount(); ++i) {
            const QPainterPath::Element e = shape.elementAt(i);
            KitPaint::appendKey(key, e.type);
            KitPaint::appendKey(key, e.x);
            KitPaint::appendKey(key, e.y);
        }
        maskKey_ = key;
        mask_ = KitPaint::sharedImage(key, [&] {
            QImage coverage = blurredMask(shape, imageSize, look_.radius);
            // An alpha-only image is drawn black: the coverage itself is the shadow, at a quarter
            // of the memory of a coloured copy. Stretched, it is drawn far faster in colour, and
            // small.
            if (opaque == QColor(Qt::black) && !copy) return coverage;
            QImage coloured(imageSize, QImage::Format_ARGB32_Premultiplied);
            coloured.fill(opaque);
            QPainter p(&coloured);
            p.setCompositionMode(QPainter::CompositionMode_DestinationIn);
            p.drawImage(0, 0, coverage);
            return coloured;
        });
        maskSize_ = size();
        maskColor_ = opaque;
        edges_ = {};
    }
    QPainter painter(this);
    painter.setOpacity(look_.color.alphaF());
    if (mask_.size() == size()) {
        painter.drawImage(0, 0, mask_);
        return;
    }
    // Scaled copies blend several times slower than plain ones (and round a little differently):
    // the corners come from the copy as they are, the edges from strips of the copy's middle
    // column or row stretched once, and only the middle, one pixel of the copy spread over most of
    // the shadow, is scaled.
    const std::array<Span, 3> columns = spans(mask_.width(), width());
    const std::array<Span, 3> rows = spans(mask_.height(), height());
    if (std::all_of(edges_.begin(), edges_.end(), [](const QImage& strip) { return strip.isNull(); })) {
        for (std::size_t edge = 0; edge < edges_.size(); ++edge) {
            const bool across = edge < 2; // the top and bottom edges run across
            const Span& band = across ? rows[edge == 0 ? 0 : 2] : columns[edge == 2 ? 0 : 2];
            const QRect from = across ? QRect(columns[1].from, band.from, 1, band.length)
                                      : QRect(band.from, rows[1].from, band.length, 1);
            const QSize strip = across ? QSize(kEdgeStrip, band.length) : QSize(band.length, kEdgeStrip);
            if (strip.isEmpty()) continue;
            QByteArray key = maskKey_;
            KitPaint::appendKey(key, edge);
            edges_[edge] = KitPaint::sharedImage(key, [&] {
                QImage image(strip, QImage::Format_ARGB32_Premultiplied);
                image.fill(Qt::transparent);
                QPainter p(&image);
                p.drawImage(image.rect(), mask_, from);
                return image;
            });
        }
    }
    for (const Span& c : {columns[0], columns[2]})
        for (const Span& r : {rows[0], rows[2]})
            if (c.length > 0 && r.length > 0)
                painter.drawImage(QPoint(c.to, r.to), mask_, QRect(c.from, r.from, c.length, r.length));
    for (std::size_t edge = 0; edge < edges_.size(); ++edge) {
        const QImage& strip = edges_[edge];
        if (strip.isNull()) continue;
        const bool across = edge < 2;
        const Span& band = across ? rows[edge == 0 ? 0 : 2] : columns[edge == 2 ? 0 : 2];
        const int length = across ? columns[1].drawn : rows[1].drawn;
        for (int at = 0; at < length; at += kEdgeStrip) {
            const int part = std::min(kEdgeStrip, length - at);
            if (across)
                painter.drawImage(QPoint(columns[1].to + at, band.to), strip, QRect(0, 0, part, band.length));
            else
                painter.drawImage(QPoint(band.to, rows[1].to + at), strip, QRect(0, 0, band.length, part));
        }
    }
    const QRect middle(columns[1].to, rows[1].to, columns[1].drawn, rows[1].drawn);
    if (columns[1].length > 0 && rows[1].length > 0)
        painter.drawImage(middle, mask_, QRect(columns[1].from, rows[1].from, 1, 1));
}

} // namespace vantrel
