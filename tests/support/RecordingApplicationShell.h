#pragma once

#include "platform/ApplicationShell.h"
#include "support/CallLog.h"

#include <QPointer>
#include <QWidget>

namespace vantrel::test {

class RecordingApplicationShell final : public ApplicationShell {
public:
    explicit RecordingApplicationShell(CallLog& log) : log_(log) {}

    void activateIgnoringOtherApps() override { log_.add(QStringLiteral("app.activate")); }
    void makeKeyAndOrderFront(QWidget& window) override { frontWindow = &window; }
    void terminate() override { log_.add(QStringLiteral("app.terminate")); }

    QPointer<QWidget> frontWindow;

private:
    CallLog& log_;
};

} // namespace vantrel::test
