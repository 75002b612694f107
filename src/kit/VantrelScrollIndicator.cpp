#include "kit/VantrelScrollIndicator.h"

#include "kit/KitPaint.h"

#include <QAbstractScrollArea>
#include <QEvent>
#include <QPainter>
#include <QScrollBar>
#include <algorithm>

namespace vantrel {

namespace {
constexpr double kHandleOpacity = 0.34;
}

VantrelScrollIndicator* VantrelScrollIndicator::install(QAbstractScrollArea* area) {
    if (auto* existing = area->findChild<VantrelScrollIndicator*>(QString(), Qt::FindDirectChildrenOnly))
        return existing;
    return new VantrelScrollIndicator(area);
}

VantrelScrollIndicator::VantrelScrollIndicator(QAbstractScrollArea* area) : QWidget(area), area_(area) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_TranslucentBackground);
    setFocusPolicy(Qt::NoFocus);
    // The bar stays as the model of the range and position, and is never shown.
    area->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    QScrollBar* bar = area->verticalScrollBar();
    connect(bar, &QScrollBar::rangeChanged, this, &VantrelScrollIndicator::follow);
    connect(bar, &QScrollBar::valueChanged, this, &VantrelScrollIndicator::reveal);
    const double total = kShownSeconds + kFadeSeconds;
    fade_.setDuration(int(total * 1000));
    fade_.setStartValue(1.0);
    fade_.setKeyValueAt(kShownSeconds / total, 1.0);
    fade_.setEndValue(0.0);
    connect(&fade_, &QVariantAnimation::valueChanged, this, [this](const QVariant& value) {
        opacity_ = value.toDouble();
        follow();
    });
    area->installEventFilter(this);
    area->viewport()->installEventFilter(this);
    follow();
}

QRectF VantrelScrollIndicator::handleRect(const QRectF& track, int minimum, int maximum, int pageStep,
                                          int value) {
    const double range = double(maximum) - double(minimum);
    if (range <= 0 || track.height() <= 0) return {};
    const double page = std::max(pageStep, 1);
    const double length =
        std::min(track.height(), std::max(kMinimumHandleLength, track.height() * page / (range + page)));
    const double fraction = std::clamp((double(value) - minimum) / range, 0.0, 1.0);
    return QRectF(track.left(), track.top() + (track.height() - length) * fraction, track.width(), length);
}

void VantrelScrollIndicator::follow() {
    const QScrollBar* bar = area_->verticalScrollBar();
    const QRect view = area_->viewport()->geometry();
    const int width = int(kHandleWidth + kInset);
    setGeometry(view.right() + 1 - width, view.top(), width, view.height());
    const bool shown = bar->maximum() > bar->minimum() && opacity_ > 0;
    if (shown) raise();
    setVisible(shown);
    update();
}

void VantrelScrollIndicator::reveal() {
    fade_.stop();
    opacity_ = 1;
    if (!hovered_) fade_.start();
    follow();
}

bool VantrelScrollIndicator::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
    case QEvent::Resize:
    case QEvent::Move:
        follow();
        break;
    case QEvent::Enter:
        if (watched == area_->viewport()) {
            hovered_ = true;
            reveal();
        }
        break;
    case QEvent::Leave:
        if (watched == area_->viewport() && hovered_) {
            hovered_ = false;
            fade_.start();
        }
        break;
    default:
        break;
    }
    return QWidget::eventFilter(watched, event);
}

void VantrelScrollIndicator::paintEvent(QPaintEvent*) {
    const QScrollBar* bar = area_->verticalScrollBar();
    const QRectF track = QRectF(rect()).adjusted(0, kInset, -kInset, -kInset);
    const QRectF handle = handleRect(track, bar->minimum(), bar->maximum(), bar->pageStep(), bar->value());
    if (handle.isEmpty()) return;
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setOpacity(opacity_);
    painter.setPen(Qt::NoPen);
    painter.setBrush(KitPaint::primary(KitPaint::scheme(this), kHandleOpacity));
    const double radius = handle.width() / 2;
    painter.drawRoundedRect(handle, radius, radius);
}

} // namespace vantrel
