#include "dock/DockMenu.h"

namespace vantrel {

void DockMenu::add(const QString& title, std::function<void()> action, bool enabled) {
    if (pendingDivider_ && !items_.isEmpty()) dividersBefore_.append(int(items_.size()));
    pendingDivider_ = false;
    items_.append({title, enabled, std::move(action)});
}

void DockMenu::addDivider() {
    pendingDivider_ = true;
}

void DockMenu::addSubmenu(const QString& title, QList<Entry> entries, int checked) {
    if (pendingDivider_ && !items_.isEmpty()) dividersBefore_.append(int(items_.size()));
    pendingDivider_ = false;
    submenuTitle_ = title;
    submenu_ = std::move(entries);
    submenuChecked_ = checked;
    submenuBefore_ = int(items_.size());
}

QStringList DockMenu::describe() const {
    QStringList lines;
    const auto submenuLine = [this] {
        QStringList names;
        for (int i = 0; i < submenu_.size(); ++i)
            names.append(submenu_[i].title + (i == submenuChecked_ ? QStringLiteral(" \u2713") : QString()));
        return *submenuTitle_ + QStringLiteral(" \u25b8 ") + names.join(QStringLiteral(", "));
    };
    for (int i = 0; i < items_.size(); ++i) {
        if (dividersBefore_.contains(i)) lines.append(QStringLiteral("\u2014"));
        if (submenuTitle_ && submenuBefore_ == i) lines.append(submenuLine());
        lines.append(items_[i].title + (items_[i].enabled ? QString() : QStringLiteral(" (disabled)")));
    }
    if (submenuTitle_ && submenuBefore_ >= items_.size()) lines.append(submenuLine());
    if (pendingDivider_ && !items_.isEmpty()) lines.append(QStringLiteral("\u2014"));
    return lines;
}

MenuPresenter::Request DockMenu::request(QWidget* anchor, std::optional<QPoint> position) const {
    QStringList titles;
    MenuPresenter::Request request(anchor, {}, -1, dividersBefore_);
    for (int i = 0; i < items_.size(); ++i) {
        titles.append(items_[i].title);
        if (!items_[i].enabled) request.disabled.append(i);
    }
    request.items = titles;
    request.position = position;
    if (submenuTitle_) {
        QStringList nested;
        for (const Entry& entry : submenu_) nested.append(entry.title);
        request.submenu = MenuPresenter::Request::Submenu{*submenuTitle_, nested, submenuChecked_};
        request.submenuBefore = submenuBefore_;
    }
    return request;
}

void DockMenu::choose(int index) const {
    const Entry* entry = nullptr;
    if (index >= 0 && index < items_.size())
        entry = &items_[index];
    else if (index >= items_.size() && index - items_.size() < submenu_.size())
        entry = &submenu_[index - items_.size()];
    if (entry && entry->enabled && entry->action) entry->action();
}

void DockMenu::present(MenuPresenter& menus, QWidget* anchor, std::optional<QPoint> position) const {
    const DockMenu copy = *this;
    menus.present(request(anchor, position), [copy](int index) { copy.choose(index); });
}

} // namespace vantrel
