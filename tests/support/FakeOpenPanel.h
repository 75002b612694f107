#pragma once

#include "platform/OpenPanel.h"

#include <vector>

namespace vantrel::test {

// Answers with the path the test chose (none: the user cancelled) and keeps every request.
class FakeOpenPanel final : public OpenPanel {
public:
    std::optional<QString> run(const OpenPanelRequest& request) override {
        requests.push_back(request);
        return answer;
    }

    std::optional<QString> answer;
    std::vector<OpenPanelRequest> requests;
};

} // namespace vantrel::test
