#pragma once

#include <QPoint>
#include <QPointer>
#include <QStringList>
#include <QWidget>
#include <functional>
#include <optional>

namespace vantrel {

// Shows a pop-up menu of choices under a control without waiting for it: the answer comes later
// through a callback, so nothing ever blocks on a menu's event loop.
class MenuPresenter {
public:
    struct Request {
        // A plain menu of `items`; the further parts are set as members.
        Request(QPointer<QWidget> anchor = {}, QStringList items = {}, int checked = -1,
                QList<int> dividersBefore = {})
            : anchor(std::move(anchor)), items(std::move(items)), checked(checked),
              dividersBefore(std::move(dividersBefore)) {}

        QPointer<QWidget> anchor;  // the menu opens under it
        QStringList items;         // plain text, shown as given; an empty item is a divider
        int checked;               // the item marked as the current one, or none
        QList<int> dividersBefore; // the items that a divider line sets apart from the ones above
        QList<int> disabled;       // the items shown greyed out, which cannot be chosen
        // Where the menu opens, in global coordinates, instead of under the anchor (a context
        // menu opens at the pointer).
        std::optional<QPoint> position;
        // One nested menu, shown before the item `submenuBefore` (after a divider set before that
        // item; `items.size()`: at the end). Its items answer with `items.size()` plus their own
        // index.
        struct Submenu {
            QString title;
            QStringList items;
            int checked = -1;
        };
        std::optional<Submenu> submenu;
        int submenuBefore = 0;
    };

    virtual ~MenuPresenter() = default;
    // `chosen` receives the index of the item the user picks; it is not called when the menu is
    // dismissed without a choice.
    virtual void present(const Request& request, std::function<void(int index)> chosen) = 0;
};

} // namespace vantrel
