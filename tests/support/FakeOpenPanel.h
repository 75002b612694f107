#pragma once

#include "platform/OpenPanel.h"

#include <functional>

namespace vantrel::test {

// Answers with the paths the test chose (none: the user cancelled) and keeps the last request.
class FakeOpenPanel final : public OpenPanel {
public:
    std::optional<QString> run(const OpenPanelRequest& request) override {
        lastRequest = request;
        if (opensIn) return opensIn->run(request);
        if (whileOpen) whileOpen();
        return answer;
    }

    std::optional<QStringList> runMultiple(const OpenPanelRequest& request) override {
        lastRequest = request;
        ++multipleRuns;
        return multipleAnswer;
    }

    std::optional<QStringList> runForItems(const OpenPanelRequest& request) override {
        lastRequest = request;
        ++itemRuns;
        return itemsAnswer;
    }

    // Where the single chooser really opens, as a window of its own; none: answered as below.
    OpenPanel* opensIn = nullptr;
    std::optional<QString> answer;
    // What happens while the single chooser is open (the desktop moving the focus, say).
    std::function<void()> whileOpen;
    // What a chooser of several items answers; none: the user cancelled.
    std::optional<QStringList> itemsAnswer;
    int itemRuns = 0;
    // What a chooser of several applications or folders answers; none: the user cancelled.
    std::optional<QStringList> multipleAnswer;
    int multipleRuns = 0;
    std::optional<OpenPanelRequest> lastRequest;
};

} // namespace vantrel::test
