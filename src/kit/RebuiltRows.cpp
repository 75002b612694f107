#include "kit/RebuiltRows.h"

#include "kit/KitPaint.h"

#include <QSet>
#include <algorithm>

namespace vantrel {

namespace {

// The stop of `stops` that holds `focus`, itself or as the control's part; -1 for none.
qsizetype stopHolding(const QList<QWidget*>& stops, const QWidget* focus) {
    for (qsizetype i = 0; i < stops.size(); ++i)
        if (stops[i] == focus || stops[i]->isAncestorOf(focus)) return i;
    return -1;
}

// Puts the Tab stops of `row` in `stops` (the row itself when it takes the focus, then its
// controls in Tab order) and, when given, the row and the widgets in it that take no focus in
// `others`.
void collect(const QWidget* row, QList<QWidget*>& stops, QList<QWidget*>* others) {
    if (!row) return;
    QWidget* self = const_cast<QWidget*>(row);
    if (row->focusPolicy() != Qt::NoFocus)
        stops << self;
    else if (others)
        *others << self;
    QSet<const QWidget*> controls;
    const QWidget* window = row->window();
    for (QWidget* child : row->findChildren<QWidget*>()) {
        if (child->window() != window) continue;
        if (child->focusPolicy() != Qt::NoFocus)
            controls.insert(child);
        else if (others)
            *others << child;
    }
    // Round the window's Tab order from the row on: a row's controls usually follow it, and the
    // walk ends with the last of them rather than going round the whole window.
    for (QWidget* w = row->nextInFocusChain(); !controls.isEmpty() && w && w != row;
         w = w->nextInFocusChain())
        if (controls.remove(w)) stops << w;
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
    collect(row, stops, nullptr);
    return stops;
}

void RebuiltRows::order(QWidget* list, const QList<QWidget*>& rows) {
    if (!list) return;
    QList<QWidget*> stops;
    QList<QWidget*> lent;
    for (const QWidget* row : rows) collect(row, stops, &lent);
    // Qt orders only widgets that take the focus, and looks for where a stop stood back past every
    // widget before it that takes none: the rows' labels left behind by the stops moved before it,
    // a walk as long as the rows moved so far. For as long as the stops are put in order, the list
    // and every widget of the rows take the focus, so that look ends at once.
    if (list->focusPolicy() == Qt::NoFocus) lent << list;
    for (QWidget* w : lent) w->setFocusPolicy(Qt::TabFocus);
    QWidget* before = list;
    for (QWidget* stop : stops) {
        QWidget::setTabOrder(before, stop);
        before = stop;
    }
    for (QWidget* w : lent) w->setFocusPolicy(Qt::NoFocus);
}

void RebuiltRows::finish(QWidget* list, const QList<QWidget*>& rows, const QStringList& keys,
                         QWidget* fallback) const {
    order(list, rows);
    if (index_ < 0) return;
    QWidget* target = fallback;
    if (const std::optional<qsizetype> at = keptIndex(key_, index_, keys); at && *at < rows.size()) {
        QWidget* row = rows[*at];
        // Rows added to a list on screen show a turn later; the one that takes the focus must now.
        // Only that one: each row shown lays its list out again.
        if (row && row->isHidden() && !row->testAttribute(Qt::WA_WState_ExplicitShowHide) &&
            row->parentWidget() && row->parentWidget()->isVisible())
            row->show();
        const QList<QWidget*> stops = stopsOf(row);
        if (!stops.isEmpty()) {
            QWidget* same = stops[std::min(control_, stops.size() - 1)];
            const auto takes = std::ranges::find_if(stops, &FocusHandOff::canTake);
            target = FocusHandOff::canTake(same) ? same : takes != stops.end() ? *takes : fallback;
        }
    }
    if (target) FocusHandOff::give(held_, target);
}

} // namespace vantrel
