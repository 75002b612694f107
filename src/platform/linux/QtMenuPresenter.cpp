#include "platform/linux/QtMenuPresenter.h"

#include <QAction>
#include <QMenu>

namespace vantrel {

void QtMenuPresenter::present(const Request& request, std::function<void(int index)> chosen) {
    if (!request.anchor) return;
    auto* menu = new QMenu(request.anchor);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    const auto addItem = [&chosen](QMenu* into, const QString& text, int checked, int position, int index) {
        QAction* action = into->addAction(itemText(text));
        // A menu of commands marks no item, so its items carry no check box either.
        action->setCheckable(checked >= 0);
        action->setChecked(position == checked);
        QObject::connect(action, &QAction::triggered, into, [chosen, index] {
            if (chosen) chosen(index);
        });
        return action;
    };
    const qsizetype count = request.items.size();
    const auto addSubmenu = [&] {
        QMenu* nested = menu->addMenu(itemText(request.submenu->title));
        for (int index = 0; index < request.submenu->items.size(); ++index)
            addItem(nested, request.submenu->items[index], request.submenu->checked, index,
                    int(count) + index);
    };
    QAction* current = nullptr;
    for (int index = 0; index < count; ++index) {
        if (index > 0 && request.dividersBefore.contains(index)) menu->addSeparator();
        if (request.submenu && request.submenuBefore == index) addSubmenu();
        QAction* action = addItem(menu, request.items[index], request.checked, index, index);
        action->setEnabled(!request.disabled.contains(index));
        if (index == request.checked && action->isEnabled()) current = action;
    }
    if (request.submenu && request.submenuBefore >= count) addSubmenu();
    QWidget* anchor = request.anchor;
    // A menu that opens under its control is at least as wide as the control.
    if (!request.position) menu->setMinimumWidth(anchor->width());
    menu->popup(request.position ? *request.position : anchor->mapToGlobal(QPoint(0, anchor->height())));
    // Opened from the keyboard, the arrow keys start from the item now chosen, not the first.
    if (current) menu->setActiveAction(current);
}

QString QtMenuPresenter::itemText(const QString& text) {
    QString escaped = text;
    escaped.replace(QLatin1Char('&'), QLatin1String("&&"));
    return escaped;
}

} // namespace vantrel
