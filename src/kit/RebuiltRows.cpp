#include "kit/RebuiltRows.h"

#include <QApplication>
#include <algorithm>

namespace vantrel {

namespace {

// The stop of `stops` that holds `focus`, itself or as the control's part; -1 for none.
qsizetype stopHolding(const QList<QWidget*>& stops, const QWidget* focus) {
    for (qsizetype i = 0; i < stops.size(); ++i)
        if (stops[i] == focus || stops[i]->isAncestorOf(focus)) return i;
    return -1;
}

} // namespace

RebuiltRows::RebuiltRows(const QList<QWidget*>& rows, const QStringList& keys) {
    QWidget* focus = QApplication::focusWidget();
    if (!focus) return;
    for (qsizetype i = 0; i < rows.size() && i < keys.size(); ++i) {
        QWidget* row = rows[i];
        if (!row || (row != focus && !row->isAncestorOf(focus))) continue;
        held_ = FocusHandOff::take(row);
        key_ = keys[i];
        index_ = i;
        control_ = std::max<qsizetype>(0, stopHolding(stopsOf(row), focus));
        // The window is in no scroll area: parked there, the focus makes no page scroll to it.
        row->window()->setFocus(Qt::OtherFocusReason);
        return;
    }
}

std::optional<qsizetype> RebuiltRows::keptIndex(const QString& key, qsizetype index,
                                                const QStringList& keys) {
    if (const qsizetype at = keys.indexOf(key); at >= 0) return at;
    if (keys.isEmpty()) return std::nullopt;
    return std::clamp<qsizetype>(index, 0, keys.size() - 1);
}

QList<QWidget*> RebuiltRows::stopsOf(const QWidget* row) {
    QList<QWidget*> stops;
    if (!row) return stops;
    if (row->focusPolicy() != Qt::NoFocus) stops << const_cast<QWidget*>(row);
    for (QWidget* w = row->nextInFocusChain(); w && w != row; w = w->nextInFocusChain())
        if (row->isAncestorOf(w) && w->focusPolicy() != Qt::NoFocus) stops << w;
    return stops;
}

void RebuiltRows::order(QWidget* list, const QList<QWidget*>& rows) {
    if (!list) return;
    QList<QWidget*> stops;
    for (const QWidget* row : rows) stops << stopsOf(row);
    // Qt orders only widgets that take the focus: the list does for as long as its rows are put
    // after it.
    const Qt::FocusPolicy policy = list->focusPolicy();
    if (policy == Qt::NoFocus) list->setFocusPolicy(Qt::TabFocus);
    QWidget* before = list;
    for (QWidget* stop : stops) {
        QWidget::setTabOrder(before, stop);
        before = stop;
    }
    list->setFocusPolicy(policy);
}

void RebuiltRows::finish(QWidget* list, const QList<QWidget*>& rows, const QStringList& keys,
                         QWidget* fallback) const {
    order(list, rows);
    if (index_ < 0) return;
    // Rows added to a list on screen show a turn later; the one that takes the focus must now.
    for (QWidget* row : rows)
        if (row->isHidden() && !row->testAttribute(Qt::WA_WState_ExplicitShowHide) && row->parentWidget() &&
            row->parentWidget()->isVisible())
            row->show();
    QWidget* target = fallback;
    if (const std::optional<qsizetype> at = keptIndex(key_, index_, keys); at && *at < rows.size()) {
        const QList<QWidget*> stops = stopsOf(rows[*at]);
        if (!stops.isEmpty()) {
            QWidget* same = stops[std::min(control_, stops.size() - 1)];
            const auto takes = std::ranges::find_if(stops, &FocusHandOff::canTake);
            target = FocusHandOff::canTake(same) ? same : takes != stops.end() ? *takes : fallback;
        }
    }
    if (target) FocusHandOff::give(held_, target);
}

} // namespace vantrel
