#include "kit/RebuiltRows.h"

#include "kit/KitPaint.h"

#include <QHash>
#include <algorithm>

namespace vantrel {

namespace {

// The stop of `stops` that holds `focus`, itself or as the control's part; -1 for none.
qsizetype stopHolding(const QList<QWidget*>& stops, const QWidget* focus) {
    for (qsizetype i = 0; i < stops.size(); ++i)
        if (stops[i] == focus || stops[i]->isAncestorOf(focus)) return i;
    return -1;
}

// The Tab stops of each of `rows`, as stopsOf tells them, from one walk round the window's Tab
// order rather than one walk per row.
QList<QList<QWidget*>> stopsOfEach(const QList<QWidget*>& rows) {
    QList<QList<QWidget*>> stops(rows.size());
    QHash<const QWidget*, qsizetype> rowAt;
    QWidget* window = nullptr;
    for (qsizetype i = 0; i < rows.size(); ++i) {
        if (!rows[i]) continue;
        rowAt.insert(rows[i], i);
        if (!window) window = rows[i]->window();
    }
    if (!window) return stops;
    // Each row's controls with their places in the walk, and the row's own place.
    QList<QList<std::pair<qsizetype, QWidget*>>> found(rows.size());
    QList<qsizetype> rowPlace(rows.size(), -1);
    qsizetype place = 0;
    QWidget* w = window;
    do {
        for (const QWidget* up = w; up && up != window; up = up->parentWidget()) {
            const auto row = rowAt.constFind(up);
            if (row == rowAt.cend()) continue;
            if (up == w)
                rowPlace[*row] = place;
            else if (w->focusPolicy() != Qt::NoFocus)
                found[*row].append({place, w});
            break;
        }
        ++place;
        w = w->nextInFocusChain();
    } while (w && w != window);
    for (qsizetype i = 0; i < rows.size(); ++i) {
        if (!rows[i]) continue;
        if (rowPlace[i] < 0) {
            // Not in this window's order: told on its own.
            stops[i] = RebuiltRows::stopsOf(rows[i]);
            continue;
        }
        if (rows[i]->focusPolicy() != Qt::NoFocus) stops[i] << rows[i];
        // Read from the row on, round the ring: those after it, then those before it.
        QList<std::pair<qsizetype, QWidget*>>& controls = found[i];
        const auto after = std::ranges::partition_point(
            controls, [&](const std::pair<qsizetype, QWidget*>& c) { return c.first < rowPlace[i]; });
        std::rotate(controls.begin(), after, controls.end());
        for (const auto& control : controls) stops[i] << control.second;
    }
    return stops;
}

} // namespace

RebuiltRows::RebuiltRows(const QList<QWidget*>& rows, const QStringList& keys) {
    // The window's own focus, whether or not it is the active window: in one that is not, the
    // application has none of it, and the row would lose it to the window's first control when
    // the window comes back.
    const auto first = std::ranges::find_if(rows, [](const QWidget* row) { return row != nullptr; });
    QWidget* focus = first == rows.end() ? nullptr : (*first)->window()->focusWidget();
    if (!focus) return;
    for (qsizetype i = 0; i < rows.size() && i < keys.size(); ++i) {
        QWidget* row = rows[i];
        if (!row || (row != focus && !row->isAncestorOf(focus))) continue;
        held_ = {focus, KitPaint::focusCameByClick(focus)};
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
    for (const QList<QWidget*>& ofRow : stopsOfEach(rows)) stops << ofRow;
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
