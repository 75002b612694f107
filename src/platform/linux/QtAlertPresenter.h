#pragma once

#include "platform/AlertPresenter.h"

namespace vantrel {

// A modal QMessageBox whose texts are always plain text.
class QtAlertPresenter final : public AlertPresenter {
public:
    std::optional<int> run(const Request& request) override;
};

} // namespace vantrel
