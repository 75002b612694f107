#pragma once

#include <QPointer>
#include <QStringList>
#include <QWidget>
#include <functional>

namespace vantrel {

// Shows a pop-up menu of choices under a control without waiting for it: the answer comes later
// through a callback, so nothing ever blocks on a menu's event loop.
class MenuPresenter {
public:
    struct Request {
        QPointer<QWidget> anchor;  // the menu opens under it
        QStringList items;         // plain text, shown as given; an empty item is a divider
        int checked = -1;          // the item marked as the current one, or none
        QList<int> dividersBefore; // the items that a divider line sets apart from the ones above
    };

    virtual ~MenuPresenter() = default;
    // `chosen` receives the index of the item the user picks; it is not called when the menu is
    // dismissed without a choice.
    virtual void present(const Request& request, std::function<void(int index)> chosen) = 0;
};

} // namespace vantrel
