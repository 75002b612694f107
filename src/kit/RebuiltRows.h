#pragma once

#include "kit/FocusHandOff.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QWidget>
#include <optional>

namespace vantrel {

// How a list that builds its rows anew on every change keeps the keyboard's place. Left to Qt, a
// row made anew joins its window's Tab order at the very end, after everything else in the
// window, and the focus on a row that goes is passed along that order, often to the window's
// first control. Around a rebuild this puts the new rows where their list stands in the Tab order
// and the focus back on the row acted on, or on the one that took its place when it went.
//
//     RebuiltRows kept(oldRows, oldKeys); // before the old rows go
//     ... the old rows go, the new ones are made ...
//     kept.finish(list, newRows, newKeys, fallback);
class RebuiltRows {
public:
    // Notes which of `rows` (each known by the key at its index in `keys`) holds the focus, and
    // which of its controls, and parks the focus on the window, outside every scroll area, so that
    // Qt does not pass it along the Tab order while the rows go and nothing scrolls to it.
    RebuiltRows(const QList<QWidget*>& rows, const QStringList& keys);

    // Puts `rows`, each followed by the controls inside it, in the Tab order where `list` stands,
    // in the order given; then, when a row held the focus, gives it back the way it had it to the
    // same control of the row of the same key or, when that row went, of the row that took its
    // place, and to `fallback` when no row is left.
    void finish(QWidget* list, const QList<QWidget*>& rows, const QStringList& keys, QWidget* fallback) const;

    // Where a row that stood at `index` with `key` stands among `keys` after a rebuild: at its
    // key's place; gone, at its old index, the last row taking the place of one past the end;
    // none when the list is empty.
    static std::optional<qsizetype> keptIndex(const QString& key, qsizetype index, const QStringList& keys);

    // The Tab stops of `row`: the row itself when it takes the focus, then its controls, in Tab
    // order.
    static QList<QWidget*> stopsOf(const QWidget* row);

    // Puts `rows` and their controls in the Tab order right after `list`'s own place in it.
    static void order(QWidget* list, const QList<QWidget*>& rows);

private:
    FocusHandOff::Held held_;
    QString key_;
    qsizetype index_ = -1;
    qsizetype control_ = 0;
};

} // namespace vantrel
