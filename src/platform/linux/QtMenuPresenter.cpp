#include "platform/linux/QtMenuPresenter.h"

#include <QAction>
#include <QMenu>

namespace vantrel {

void QtMenuPresenter::present(const Request& request, std::function<void(int index)> chosen) {
    if (!request.anchor) return;
    auto* menu = new QMenu(request.anchor);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    for (int index = 0; index < request.items.size(); ++index) {
        if (request.items[index].isEmpty()) {
            menu->addSeparator();
            continue;
        }
        QAction* action = menu->addAction(itemText(request.items[index]));
        // Only a menu of choices marks one; an action menu shows no check boxes.
        action->setCheckable(request.checked >= 0);
        action->setChecked(index == request.checked);
        QObject::connect(action, &QAction::triggered, menu, [chosen, index] {
            if (chosen) chosen(index);
        });
    }
    QWidget* anchor = request.anchor;
    menu->popup(anchor->mapToGlobal(QPoint(0, anchor->height())));
}

QString QtMenuPresenter::itemText(const QString& text) {
    QString escaped = text;
    escaped.replace(QLatin1Char('&'), QLatin1String("&&"));
    return escaped;
}

} // namespace vantrel
