#pragma once

#include "platform/AlertPresenter.h"
#include "support/CallLog.h"

#include <vector>

namespace vantrel::test {

// Answers every alert with `answer` (none: closed without one) and keeps what was asked; puts
// "alert <message>" on `log` when one is set.
class ScriptedAlertPresenter final : public AlertPresenter {
public:
    std::optional<int> run(const Request& request) override {
        requests.push_back(request);
        if (log) log->add(QStringLiteral("alert ") + request.messageText);
        return answer;
    }

    std::optional<int> answer;
    std::vector<Request> requests;
    CallLog* log = nullptr;
};

} // namespace vantrel::test
