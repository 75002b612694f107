#pragma once

#include "platform/OpenPanel.h"

namespace vantrel::test {

// Answers with the path the test chose (none: the user cancelled) and keeps the last request.
class FakeOpenPanel final : public OpenPanel {
public:
    std::optional<QString> run(const OpenPanelRequest& request) override {
        lastRequest = request;
        return answer;
    }

    std::optional<QString> answer;
    std::optional<OpenPanelRequest> lastRequest;
};

} // namespace vantrel::test
