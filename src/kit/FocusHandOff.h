#pragma once

#include <QPointer>
#include <QWidget>

namespace vantrel::FocusHandOff {

// Keeping the keyboard focus where the user was when the control that held it goes away: Qt
// itself would hand it to the next control in the window's Tab order, wrapping round to the
// window's first control, far from where the user was working.

// Whether the keyboard focus is on `widget` or inside it.
bool holds(const QWidget* widget);

// Whether `widget` can take the focus from the keyboard now: on screen, enabled, a Tab stop.
bool canTake(const QWidget* widget);

// The control that follows `from` in the Tab order inside `scope`, or when none does the nearest
// one before it; null when `scope` has no other. `from` may be hidden or disabled already.
QWidget* neighbour(const QWidget* from, const QWidget* scope);

// Gives the focus, as `from` had it (a ring only when it came from the keyboard), to `to`, or
// when `to` cannot take it to `from`'s neighbour in `scope`. Answers the control that took it.
QWidget* pass(const QWidget* from, QWidget* to, const QWidget* scope);

// Moves the focus round `stops`, as Tab (`next`) or Shift+Tab does in a panel that keeps it
// inside: from the focused stop to the one after (before) it, or, when none of them has it, to
// the first (last). Answers the stop that took it; none when `stops` is empty.
QWidget* cycle(const QList<QWidget*>& stops, bool next);

// Enables or disables `control`. Disabled with the focus (the button pressed turns busy), it hands
// the focus to its neighbour in `scope`, which gives it back when `control` is enabled again,
// unless the user has moved it on meanwhile.
void setEnabled(QWidget* control, bool enabled, const QWidget* scope);

// Where the focus was inside a view that is about to rebuild its controls: the control's place
// among the rebuilt ones is the view's to tell.
struct Held {
    QPointer<QWidget> widget;
    bool byClick = false;
};
// The focused control when it is inside `scope`; an empty Held otherwise.
Held take(const QWidget* scope);
// Gives `to` the focus the way `held` had it.
void give(const Held& held, QWidget* to);

} // namespace vantrel::FocusHandOff
