#include "platform/linux/QtApplicationShell.h"

#include "support/QtPrinters.h"
#include <QApplication>
#include <QWidget>
#include <functional>
#include <gtest/gtest.h>

using namespace vantrel;

namespace {
struct RecordingDelegate final : ApplicationDelegate {
    QStringList calls;
    std::function<void()> onLaunch;
    void applicationDidFinishLaunching() override {
        calls << QStringLiteral("launched");
        if (onLaunch) onLaunch();
    }
    void applicationDidBecomeActive() override { calls << QStringLiteral("active"); }
    bool applicationShouldHandleReopen(bool visible) override {
        calls << (visible ? QStringLiteral("reopen visible") : QStringLiteral("reopen"));
        return true;
    }
    void applicationWillTerminate() override { calls << QStringLiteral("terminate"); }
};
} // namespace

TEST(QtApplicationShell, ClosingTheLastWindowKeepsTheApplicationAndTerminateEndsItThroughTheDelegate) {
    auto& app = *qobject_cast<QApplication*>(QCoreApplication::instance());
    QtApplicationShell shell(app);
    EXPECT_FALSE(QApplication::quitOnLastWindowClosed());

    RecordingDelegate delegate;
    QWidget window;
    // Once launched: show and close the only window, ask for a reopen, then quit.
    delegate.onLaunch = [&] {
        window.show();
        window.close();
        shell.reopen();
        window.show();
        shell.reopen();
        shell.terminate();
    };
    EXPECT_EQ(shell.run(delegate), 0);
    // Becoming active depends on the window system; everything else comes in this order.
    delegate.calls.removeAll(QStringLiteral("active"));
    EXPECT_EQ(delegate.calls, (QStringList{"launched", "reopen", "reopen visible", "terminate"}));

    // A request after the end reaches nobody.
    shell.reopen();
    EXPECT_EQ(delegate.calls.size(), 4);
}
