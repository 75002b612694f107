#include "dock/FloatingDockPanel.h"

#include "platform/WindowStacking.h"

namespace vantrel {

FloatingDockPanel::FloatingDockPanel(QWidget* parent)
    : QWidget(parent,
              Qt::Tool | Qt::FramelessWindowHint | Qt::WindowDoesNotAcceptFocus | Qt::WindowStaysOnTopHint) {
    setAttribute(Qt::WA_TranslucentBackground);
    setAttribute(Qt::WA_ShowWithoutActivating);
    // Qt keeps the dock type among the window types it writes whenever it sets them again.
    setAttribute(Qt::WA_X11NetWmWindowTypeDock);
    setAttribute(Qt::WA_X11DoNotAcceptFocus);
    setFocusPolicy(Qt::NoFocus);
    setWindowTitle(QStringLiteral("Vantrel Dock"));
    resize(540, 78);
}

void FloatingDockPanel::setContentView(QWidget* view) {
    delete content_;
    content_ = view;
    if (!view) return;
    view->setParent(this);
    view->setGeometry(rect());
    view->show();
}

void FloatingDockPanel::setFrame(const QRect& frame) {
    setGeometry(frame);
    if (content_) content_->setGeometry(rect());
    update();
}

void FloatingDockPanel::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    if (content_) content_->setGeometry(rect());
}

void FloatingDockPanel::orderFront() {
    if (!prepared_ && stacking_) {
        prepared_ = true;
        // Before the first mapping, so the window manager sees a dock from the start.
        markedAsDock_ = stacking_->markAsDock(*this);
    }
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
    hide();
}

void FloatingDockPanel::setLevel(int level) {
    level_ = level;
    if (level_ == kOverviewLevel && isVisible()) raise();
}

} // namespace vantrel
