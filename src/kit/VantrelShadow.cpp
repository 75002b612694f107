#include "kit/VantrelShadow.h"

#include <QEvent>
#include <QPainter>
#include <algorithm>
#include <cmath>
#include <vector>

namespace vantrel {

namespace {

// One box blur of half-width `r` along rows (horizontal) or columns of an 8-bit image.
void boxBlur(QImage& image, int r, bool horizontal) {
    if (r <= 0) return;
    const int w = image.width(), h = image.height();
    const int lines = horizontal ? h : w;
    const int length = horizontal ? w : h;
    const int window = 2 * r + 1;
    std::vector<int> source(static_cast<std::size_t>(length));
    for (int line = 0; line < lines; ++line) {
        auto at = [&](int i) -> uchar& {
            return horizontal ? image.scanLine(line)[i] : image.scanLine(i)[line];
        };
        for (int i = 0; i < length; ++i) source[std::size_t(i)] = at(i);
        // Running sum over the window, with zeros beyond the edges.
        int sum = 0;
        for (int i = 0; i <= std::min(r, length - 1); ++i) sum += source[std::size_t(i)];
        for (int i = 0; i < length; ++i) {
            at(i) = uchar((sum + window / 2) / window);
            const int add = i + r + 1, drop = i - r;
            if (add < length) sum += source[std::size_t(add)];
            if (drop >= 0) sum -= source[std::size_t(drop)];
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
        const QImage coverage =
            blurredMask(shape_(QRectF(QPointF(), shapeRect.size())).translated(shapeRect.topLeft()), size(),
                        look_.radius);
        mask_ = QImage(size(), QImage::Format_ARGB32_Premultiplied);
        mask_.fill(opaque);
        QPainter p(&mask_);
        p.setCompositionMode(QPainter::CompositionMode_DestinationIn);
        p.drawImage(0, 0, coverage);
        maskColor_ = opaque;
    }
    QPainter painter(this);
    painter.setOpacity(look_.color.alphaF());
    painter.drawImage(0, 0, mask_);
}

} // namespace vantrel
