#include "kit/VantrelShadow.h"

#include <QEvent>
#include <QPainter>
#include <algorithm>
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
    // Three box blurs of width w approach a Gaussian of variance 3 (w² − 1) / 12.
    const double sigma = std::max(0.0, radius) / 2;
    const int half = int(std::lround((std::sqrt(4 * sigma * sigma + 1) - 1) / 2));
    for (int pass = 0; pass < 3; ++pass) {
        boxBlur(coverage, half, true);
        boxBlur(coverage, half, false);
    }
    return coverage;
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
    }
    return QWidget::eventFilter(watched, event);
}

void VantrelShadow::follow() {
    if (!target_) {
        hide();
        return;
    }
    if (parentWidget() != target_->parentWidget()) setParent(target_->parentWidget());
    if (!parentWidget()) {
        hide();
        return;
    }
    const int m = reach(look_);
    const QRect wanted = target_->geometry().adjusted(-m, -m, m, m);
    if (wanted.size() != size()) mask_ = QImage();
    setGeometry(wanted);
    stackUnder(target_);
    setVisible(target_->isVisibleTo(parentWidget()) && look_.color.alpha() > 0);
}

void VantrelShadow::paintEvent(QPaintEvent*) {
    if (!target_ || look_.color.alpha() == 0) return;
    QColor opaque = look_.color;
    opaque.setAlpha(255);
    if (mask_.isNull() || mask_.size() != size() || maskColor_ != opaque) {
        const int m = reach(look_);
        const QRectF shapeRect = QRectF(QPointF(m, m), QSizeF(target_->size())).translated(look_.offset);
        QImage coverage =
            blurredMask(shape_(QRectF(QPointF(), shapeRect.size())).translated(shapeRect.topLeft()), size(),
                        look_.radius);
        if (opaque == QColor(Qt::black)) {
            // An alpha-only image is drawn black: the coverage itself is the shadow, at a quarter
            // of the memory of a coloured copy.
            mask_ = std::move(coverage);
        } else {
            mask_ = QImage(size(), QImage::Format_ARGB32_Premultiplied);
            mask_.fill(opaque);
            QPainter p(&mask_);
            p.setCompositionMode(QPainter::CompositionMode_DestinationIn);
            p.drawImage(0, 0, coverage);
        }
        maskColor_ = opaque;
    }
    QPainter painter(this);
    painter.setOpacity(look_.color.alphaF());
    painter.drawImage(0, 0, mask_);
}

} // namespace vantrel
