#include "dock/FloatingDockPanel.h"

#include "dock/FloatingDockView.h"
#include "kit/OutlineWindowShape.h"
#include "platform/WindowStacking.h"

#include <QCloseEvent>
#include <QMoveEvent>
#include <algorithm>

namespace vantrel {

FloatingDockPanel::FloatingDockPanel(QWidget* parent)
    : QWidget(parent,
              Qt::Tool | Qt::FramelessWindowHint | Qt::WindowDoesNotAcceptFocus | Qt::WindowStaysOnTopHint),
      shape_(new OutlineWindowShape(*this, OutlineWindowShape::WhileCompositing::outlineCoverage)) {
    setAttribute(Qt::WA_TranslucentBackground);
    setAttribute(Qt::WA_ShowWithoutActivating);
    // Qt keeps the dock type among the window types it writes whenever it sets them again.
    setAttribute(Qt::WA_X11NetWmWindowTypeDock);
    setAttribute(Qt::WA_X11DoNotAcceptFocus);
    setFocusPolicy(Qt::NoFocus);
    // Qt shows tooltips only over the active window, which the Dock never is.
    setAttribute(Qt::WA_AlwaysShowToolTips);
    setWindowTitle(QStringLiteral("Vantrel Dock"));
    resize(540, 78);
    connect(shape_, &OutlineWindowShape::compositingChanged, this, [this] {
        // A window made while no compositor ran is drawn without transparency of its own, which
        // a compositor that starts then takes for clear: the panel gets a new one, marked again.
        hide();
        destroy(true, true);
        prepared_ = false;
        if (wantsShown_) orderFront();
    });
}

void FloatingDockPanel::setContentView(QWidget* view) {
    delete content_;
    content_ = view;
    if (!view) {
        followSurface();
        return;
    }
    view->setParent(this);
    view->setGeometry(rect());
    view->show();
    if (auto* dock = qobject_cast<FloatingDockView*>(view))
        connect(dock, &FloatingDockView::surfaceChanged, this, &FloatingDockPanel::followSurface);
    followSurface();
}

std::optional<QPainterPath> FloatingDockPanel::shapeAt(QPoint origin, QSize size, bool* cutAway) const {
    // The content fills the panel from its origin, so its coordinates are the panel's.
    auto* dock = qobject_cast<FloatingDockView*>(content_.data());
    std::optional<QPainterPath> outline =
        dock ? std::optional<QPainterPath>(dock->shownOutline()) : std::nullopt;
    *cutAway = false;
    if (!visibleArea_) return outline;
    const QRect whole(QPoint(0, 0), size);
    const QRect inside = visibleArea_->translated(-origin).intersected(whole);
    if (inside == whole) return outline;
    QPainterPath area;
    area.addRect(QRectF(inside));
    outline = outline ? outline->intersected(area) : area;
    // An empty shape is no shape at all to the desktop: the whole window would show.
    const QRectF left = outline->boundingRect();
    *cutAway = inside.isEmpty() || left.width() < 1 || left.height() < 1;
    return outline;
}

std::optional<QPainterPath> FloatingDockPanel::shapeWhereItMayStand(QPoint target, bool* cutAway) const {
    std::optional<QPainterPath> shape = shapeAt(target, size(), cutAway);
    if (!visibleArea_ || movesInFlight_.empty() || *cutAway) return shape;
    const auto orWhole = [this](const std::optional<QPainterPath>& path) {
        if (path) return *path;
        QPainterPath whole;
        whole.addRect(QRectF(rect()));
        return whole;
    };
    // Only what lies within the visible area wherever the window may stand.
    QPainterPath kept = orWhole(shape);
    bool ignored = false;
    kept = kept.intersected(orWhole(shapeAt(seenAt_, size(), &ignored)));
    for (const QPoint at : movesInFlight_) kept = kept.intersected(orWhole(shapeAt(at, size(), &ignored)));
    const QRectF left = kept.boundingRect();
    *cutAway = left.width() < 1 || left.height() < 1;
    return kept;
}

void FloatingDockPanel::followSurface() {
    bool cutAway = false;
    std::optional<QPainterPath> outline = shapeWhereItMayStand(geometry().topLeft(), &cutAway);
    // Unmapped before its shape is dropped, and shaped before it is mapped again: for a moment
    // in between the whole window would show.
    if (cutAway) setCutAway(true);
    shape_->setOutline(std::move(outline));
    if (!cutAway) setCutAway(false);
}

void FloatingDockPanel::setVisibleArea(std::optional<QRect> area) {
    if (area == visibleArea_) return;
    visibleArea_ = area;
    followSurface();
}

void FloatingDockPanel::setCutAway(bool cutAway) {
    if (cutAway == cutAway_) return;
    cutAway_ = cutAway;
    if (cutAway) {
        // Mapped again only after the moves asked before it, wherever they end.
        movesInFlight_.clear();
        hide();
    } else if (wantsShown_)
        orderFront();
}

void FloatingDockPanel::setCompositorState(CompositorState* compositor) {
    shape_->setCompositorState(compositor);
}

void FloatingDockPanel::setFrame(const QRect& frame) {
    // A window moving across the edge of its visible area (a hidden Dock sliding toward the
    // monitor below, or back) keeps to a shape that lies within the area both where it stands
    // and where it goes, until the desktop has moved it; with nothing left of it there, it is
    // unmapped first. An unmapped window is mapped again only after the moves asked before.
    if (!isVisible()) {
        movesInFlight_.clear();
    } else if (visibleArea_ && frame.topLeft() != geometry().topLeft()) {
        if (windowHandle() != heard_) {
            heard_ = windowHandle();
            if (heard_) heard_->installEventFilter(this);
        }
        if (movesInFlight_.empty()) seenAt_ = geometry().topLeft();
        movesInFlight_.push_back(frame.topLeft());
        // A desktop that never tells of its moves: the oldest is taken as done.
        if (movesInFlight_.size() > kMovesKeptInFlight) movesInFlight_.erase(movesInFlight_.begin());
        bool cutAway = false;
        std::optional<QPainterPath> shape = shapeWhereItMayStand(frame.topLeft(), &cutAway);
        if (cutAway)
            setCutAway(true);
        else
            shape_->setOutline(std::move(shape));
    }
    setGeometry(frame);
    if (content_) content_->setGeometry(rect());
    // A hidden view hears of its new size only when shown; the shape is wanted before that.
    followSurface();
    update();
}

void FloatingDockPanel::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    if (content_) content_->setGeometry(rect());
}

bool FloatingDockPanel::eventFilter(QObject* watched, QEvent* event) {
    // The native window hears of every move the desktop has carried out (the widget only of one
    // to elsewhere than it was last sent).
    if (watched != heard_ || event->type() != QEvent::Move || movesInFlight_.empty()) return false;
    const QPoint at = static_cast<QMoveEvent*>(event)->pos();
    const auto done = std::find(movesInFlight_.begin(), movesInFlight_.end(), at);
    // Placed elsewhere than asked: what was asked before no longer counts.
    movesInFlight_.erase(movesInFlight_.begin(), done == movesInFlight_.end() ? done : std::next(done));
    seenAt_ = at;
    followSurface();
    return false;
}

void FloatingDockPanel::closeEvent(QCloseEvent* event) {
    // Only a request from outside: the program's own close goes through as ever.
    if (event->spontaneous())
        event->ignore();
    else
        QWidget::closeEvent(event);
}

void FloatingDockPanel::orderFront() {
    if (!prepared_ && stacking_) {
        prepared_ = true;
        // Before the first mapping, so the window manager sees a dock from the start.
        markedAsDock_ = stacking_->markAsDock(*this);
    }
    wantsShown_ = true;
    if (cutAway_) return;
    if (!isVisible()) show();
    raise();
    if (stacking_) stacking_->keepAbove(*this);
}

void FloatingDockPanel::setStacking(WindowStacking* stacking) {
    if (stacking_) stacking_->release(*this);
    stacking_ = stacking;
    if (stacking_ && isVisible()) stacking_->keepAbove(*this);
}

void FloatingDockPanel::orderOut() {
    wantsShown_ = false;
    hide();
}

void FloatingDockPanel::setLevel(int level) {
    level_ = level;
    if (level_ == kOverviewLevel && isVisible()) raise();
}

} // namespace vantrel
