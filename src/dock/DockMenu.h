#pragma once

#include "platform/MenuPresenter.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

namespace vantrel {

// A Dock tile's context menu as a model: entries with their enabled state and action, dividers
// and one submenu, built by pure functions and shown through the injected menu presenter.
class DockMenu {
public:
    struct Entry {
        QString title;
        bool enabled = true;
        std::function<void()> action;
    };

    void add(const QString& title, std::function<void()> action, bool enabled = true);
    void addDivider();
    // A submenu at this place; `checked` marks one of its entries, -1 none.
    void addSubmenu(const QString& title, QList<Entry> entries, int checked);

    // The menu as text, for reading it at a glance: "Hide (disabled)", "—" for a divider,
    // "Colour ▸ Default ✓, Red, …" for the submenu.
    QStringList describe() const;
    // The entries that are items, in order (the submenu's after the others).
    const QList<Entry>& items() const { return items_; }
    const QList<Entry>& submenuEntries() const { return submenu_; }

    // The presenter's request, opening at `position` beside `anchor`.
    MenuPresenter::Request request(QWidget* anchor, std::optional<QPoint> position) const;
    // Runs the action of the presenter's answer `index`; nothing for a disabled or unknown one.
    void choose(int index) const;
    // Shows the menu; the answer runs its action later.
    void present(MenuPresenter& menus, QWidget* anchor, std::optional<QPoint> position) const;

private:
    QList<Entry> items_;
    QList<int> dividersBefore_;
    std::optional<QString> submenuTitle_;
    QList<Entry> submenu_;
    int submenuChecked_ = -1;
    int submenuBefore_ = 0;
    bool pendingDivider_ = false;
};

} // namespace vantrel
