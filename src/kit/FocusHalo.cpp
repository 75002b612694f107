#include "kit/FocusHalo.h"

#include "kit/KitPaint.h"

#include <QEvent>
#include <QPainter>

namespace vantrel {

FocusHalo* FocusHalo::install(QWidget* control) {
    return new FocusHalo(control);
}

FocusHalo::FocusHalo(QWidget* control) : QWidget(control->parentWidget()), control_(control) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_NoSystemBackground);
    setFocusPolicy(Qt::NoFocus);
    control->setProperty(KitPaint::kRingOutsideProperty, true);
    control->installEventFilter(this);
    connect(control, &QObject::destroyed, this, &QObject::deleteLater);
    follow();
}

bool FocusHalo::eventFilter(QObject* watched, QEvent* event) {
    if (watched != control_) return QWidget::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::Move:
    case QEvent::Resize:
    case QEvent::Show:
    case QEvent::Hide:
    case QEvent::ParentChange:
    case QEvent::ZOrderChange:
        follow();
        break;
    case QEvent::FocusIn:
    case QEvent::FocusOut:
    case QEvent::Paint:
        // Only a change of the ring repaints: the halo lies over the control, and its repaint
        // paints the control again.
        if (KitPaint::showsFocusRing(control_) != ringShown_) update();
        break;
    default:
        break;
    }
    return QWidget::eventFilter(watched, event);
}

void FocusHalo::follow() {
    if (!control_) return;
    if (parentWidget() != control_->parentWidget()) setParent(control_->parentWidget());
    // Never a window of its own while the control has no parent yet.
    if (!parentWidget()) return;
    // Kept inside the parent, which would cut it: at an edge of the parent the ring lies on the
    // control's own edge, where such a control keeps room above or below its label.
    setGeometry(control_->geometry().adjusted(-kReach, -kReach, kReach, kReach) & parentWidget()->rect());
    setVisible(control_->isVisibleTo(parentWidget()));
    raise();
}

void FocusHalo::paintEvent(QPaintEvent*) {
    ringShown_ = control_ && KitPaint::showsFocusRing(control_);
    if (!ringShown_) return;
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    // Rounded only a little: a wider curve would cut across the corners of the label.
    KitPaint::paintFocusRingInside(painter, QRectF(rect()), kReach + 1, KitPaint::focusRingColor(control_));
}

} // namespace vantrel
