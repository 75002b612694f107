#include "app/CrashDockRestore.h"
#include "platform/linux/JsonFileDefaults.h"
#include "platform/linux/QtScheduler.h"
#include "platform/linux/SyslogSystemLog.h"
#include "support/TempHome.h"

#include <QCoreApplication>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <cstdio>
#include <gtest/gtest.h>
#include <thread>

using namespace vantrel;

namespace {
struct Boom {};

// The main thread's provider, saying on stderr whenever anything reaches into it; its independent
// instance is the real one's.
class MainThreadDefaults final : public UserDefaultsProvider {
public:
    explicit MainThreadDefaults(JsonDefaultsProvider& real) : real_(real) {}
    UserDefaults& standard() override {
        touched();
        return real_.standard();
    }
    UserDefaults& suite(const QString& domain) override {
        touched();
        return real_.suite(domain);
    }
    std::unique_ptr<UserDefaultsProvider> makeIndependentInstance() const override {
        return real_.makeIndependentInstance();
    }

private:
    static void touched() { std::fputs("main thread's defaults touched\n", stderr); }
    JsonDefaultsProvider& real_;
};
} // namespace

TEST(CrashDockRestore, DescribesStandardAndOtherExceptions) {
    EXPECT_EQ(describeException(std::make_exception_ptr(std::runtime_error("disk on fire"))),
              QStringLiteral("disk on fire"));
    EXPECT_EQ(describeException(std::make_exception_ptr(Boom{})),
              QStringLiteral("exception of type (anonymous namespace)::Boom"));
}

// Runs only inside the child process started by the test below: installs the handler over the
// configuration folder named in the environment and lets an exception escape a thread.
TEST(CrashDockRestore, DISABLED_ChildThrowsOutOfAThread) {
    static SystemClock clock;
    static QtScheduler scheduler;
    static SyslogSystemLog log;
    static JsonDefaultsProvider real(qEnvironmentVariable("VANTREL_CRASH_DEFAULTS"), scheduler, clock, log);
    // The main thread holds a change its scheduler has yet to write.
    real.standard().setBool(QStringLiteral("onboarding.complete"), true);
    static MainThreadDefaults defaults(real);
    installCrashDockRestore(defaults, log);
    std::thread([] { throw std::runtime_error("escaped from a worker"); }).join();
}

TEST(CrashDockRestore, AnEscapingExceptionRestoresTheDockAndLogsTheCrashLine) {
    test::TempHome home;
    const QString folder = home.paths().defaultsFolder();
    // The Dock as suppression left it, and the snapshot of the user's own settings.
    home.writeFile(QStringLiteral("home/.config/Vantrel/defaults/com.apple.dock.json"),
                   R"({"autohide": true, "autohide-delay": 1000, "autohide-time-modifier": 0})");
    home.writeFile(QStringLiteral("home/.config/Vantrel/defaults/com.vantrel.mac.json"), R"({
        "vantrelDock.systemDockRestorePending": true,
        "vantrelDock.originalAutohideWasSet": true, "vantrelDock.originalAutohide": false,
        "vantrelDock.originalDelayWasSet": true, "vantrelDock.originalDelay": 0.25,
        "vantrelDock.originalAutohideAnimationWasSet": false})");

    QProcess child;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("VANTREL_CRASH_DEFAULTS"), folder);
    child.setProcessEnvironment(environment);
    child.start(QCoreApplication::applicationFilePath(),
                {QStringLiteral("--gtest_also_run_disabled_tests"),
                 QStringLiteral("--gtest_filter=CrashDockRestore.DISABLED_ChildThrowsOutOfAThread")});
    ASSERT_TRUE(child.waitForFinished(60000));
    EXPECT_EQ(child.exitStatus(), QProcess::CrashExit);
    const QString errors = QString::fromUtf8(child.readAllStandardError());
    EXPECT_TRUE(
        errors.contains(QStringLiteral("Vantrel crashed, native Dock restored: escaped from a worker")))
        << errors.toStdString();
    // The process still ended the way an uncaught exception ends it.
    EXPECT_TRUE(errors.contains(QStringLiteral("terminate called"))) << errors.toStdString();
    // The restore went through an instance of its own, never the main thread's.
    EXPECT_FALSE(errors.contains(QStringLiteral("touched"))) << errors.toStdString();

    const QJsonObject dock =
        QJsonDocument::fromJson(home.readFile(folder + QStringLiteral("/com.apple.dock.json"))).object();
    EXPECT_EQ(dock.value(QStringLiteral("autohide")), QJsonValue(false));
    EXPECT_FALSE(dock.contains(QStringLiteral("autohide-time-modifier")));
    const QJsonObject own =
        QJsonDocument::fromJson(home.readFile(folder + QStringLiteral("/com.vantrel.mac.json"))).object();
    EXPECT_EQ(own.value(QStringLiteral("vantrelDock.systemDockRestorePending")), QJsonValue(false));
    EXPECT_FALSE(own.contains(QStringLiteral("onboarding.complete")));
}
