#pragma once

#include "platform/MenuPresenter.h"

namespace vantrel {

// Menus as QMenu pop-ups, opened without a nested event loop and deleted once they close.
class QtMenuPresenter final : public MenuPresenter {
public:
    void present(const Request& request, std::function<void(int index)> chosen) override;

    // `text` as a menu item shows it: ampersands doubled, so none becomes a mnemonic.
    static QString itemText(const QString& text);
};

} // namespace vantrel
