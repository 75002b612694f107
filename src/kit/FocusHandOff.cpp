#include "kit/FocusHandOff.h"

#include "kit/KitPaint.h"

#include <QApplication>
#include <QVariant>

namespace vantrel::FocusHandOff {

bool holds(const QWidget* widget) {
    const QWidget* focus = QApplication::focusWidget();
    return widget && focus && (focus == widget || widget->isAncestorOf(focus));
}

bool canTake(const QWidget* widget) {
    return widget && widget->isVisible() && widget->isEnabled() && !widget->focusProxy() &&
           (widget->focusPolicy() & Qt::TabFocus) == Qt::TabFocus;
}

QWidget* neighbour(const QWidget* from, const QWidget* scope) {
    if (!from || !scope) return nullptr;
    // The window's Tab order is a ring through it, starting from the window itself.
    QWidget* window = from->window();
    QWidget* before = nullptr;
    bool passed = false;
    for (QWidget* w = window->nextInFocusChain(); w && w != window; w = w->nextInFocusChain()) {
        if (w == from) {
            passed = true;
            continue;
        }
        if (w == scope || !scope->isAncestorOf(w) || !canTake(w)) continue;
        if (passed) return w;
        before = w;
    }
    return before;
}

QWidget* pass(const QWidget* from, QWidget* to, const QWidget* scope) {
    QWidget* target = canTake(to) ? to : neighbour(from, scope);
    if (target) KitPaint::passFocus(from, target);
    return target;
}

QWidget* cycle(const QList<QWidget*>& stops, bool next) {
    if (stops.isEmpty()) return nullptr;
    const qsizetype at = stops.indexOf(QApplication::focusWidget());
    const qsizetype count = stops.size();
    QWidget* stop = stops.at(at < 0 ? (next ? 0 : count - 1) : (at + (next ? 1 : count - 1)) % count);
    stop->setFocus(next ? Qt::TabFocusReason : Qt::BacktabFocusReason);
    return stop;
}

namespace {

constexpr char kStandIn[] = "vantrelFocusStandIn";

} // namespace

void setEnabled(QWidget* control, bool enabled, const QWidget* scope) {
    if (!control || control->isEnabled() == enabled) return;
    if (!enabled) {
        QWidget* standIn = control->hasFocus() ? pass(control, nullptr, scope) : nullptr;
        control->setProperty(kStandIn, QVariant::fromValue(QPointer<QWidget>(standIn)));
        control->setEnabled(false);
        return;
    }
    control->setEnabled(true);
    const auto standIn = control->property(kStandIn).value<QPointer<QWidget>>();
    control->setProperty(kStandIn, QVariant());
    if (standIn && standIn->hasFocus() && canTake(control)) KitPaint::passFocus(standIn, control);
}

Held take(const QWidget* scope) {
    if (!holds(scope)) return {};
    QWidget* focus = QApplication::focusWidget();
    return {focus, KitPaint::focusCameByClick(focus)};
}

void give(const Held& held, QWidget* to) {
    if (!to) return;
    to->setFocus(held.byClick ? Qt::MouseFocusReason : Qt::TabFocusReason);
}

} // namespace vantrel::FocusHandOff
