#pragma once

#include "platform/ApplicationShell.h"
#include "support/CallLog.h"

#include <QPointer>
#include <QWidget>
#include <functional>
#include <vector>

namespace vantrel::test {

class RecordingApplicationShell final : public ApplicationShell {
public:
    explicit RecordingApplicationShell(CallLog& log) : log_(log) {}

    void activateIgnoringOtherApps() override { log_.add(QStringLiteral("app.activate")); }
    void makeKeyAndOrderFront(QWidget& window) override { frontWindow = &window; }
    void terminate() override { log_.add(QStringLiteral("app.terminate")); }
    void observeDeactivation(std::function<void()> observer) override {
        deactivationObservers.push_back(std::move(observer));
    }
    // Another program takes the focus.
    void resignActive() {
        for (const auto& observer : deactivationObservers) observer();
    }

    std::vector<std::function<void()>> deactivationObservers;

    QPointer<QWidget> frontWindow;

private:
    CallLog& log_;
};

} // namespace vantrel::test
