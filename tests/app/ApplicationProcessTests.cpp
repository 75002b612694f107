// The built `vantrel` program run as a child process, headless, in a home of its own.

#include "support/QtPrinters.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>
#include <gtest/gtest.h>

namespace {
constexpr int kTimeoutMs = 60000;

class ChildHome {
public:
    ChildHome() {
        QDir().mkpath(defaultsFolder());
        QDir().mkpath(runtimeFolder());
        QFile::setPermissions(runtimeFolder(),
                              QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    }
    QString defaultsFolder() const { return dir_.path() + QStringLiteral("/config/Vantrel/defaults"); }
    QString runtimeFolder() const { return dir_.path() + QStringLiteral("/run"); }
    QString socketPath() const { return runtimeFolder() + QStringLiteral("/vantrel.instance"); }

    void writeDefaults(const QString& domain, const QByteArray& json) const {
        QFile file(defaultsFolder() + QLatin1Char('/') + domain + QStringLiteral(".json"));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(json);
    }
    QJsonObject readDefaults(const QString& domain) const {
        QFile file(defaultsFolder() + QLatin1Char('/') + domain + QStringLiteral(".json"));
        if (!file.open(QIODevice::ReadOnly)) return {};
        return QJsonDocument::fromJson(file.readAll()).object();
    }

    // Starts `vantrel` in this home.
    std::unique_ptr<QProcess> launch() const {
        auto process = std::make_unique<QProcess>();
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("HOME"), dir_.path());
        environment.insert(QStringLiteral("XDG_CONFIG_HOME"), dir_.path() + QStringLiteral("/config"));
        environment.insert(QStringLiteral("XDG_DATA_HOME"), dir_.path() + QStringLiteral("/data"));
        environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtimeFolder());
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        environment.insert(QStringLiteral("ASAN_OPTIONS"), QStringLiteral("detect_leaks=0"));
        process->setProcessEnvironment(environment);
        process->start(QStringLiteral(VANTREL_BINARY_DIR "/vantrel"), {});
        return process;
    }

    // True once the program listens for later launches, which it does only after its signal
    // handlers are in place.
    bool waitUntilRunning(QProcess& process) const {
        return QTest::qWaitFor(
                   [&] { return QFileInfo::exists(socketPath()) || process.state() == QProcess::NotRunning; },
                   kTimeoutMs) &&
               process.state() == QProcess::Running;
    }

private:
    QTemporaryDir dir_;
};

// The replacement Dock is on and has suppressed the system Dock; only the stop at termination
// restores it, so a restored Dock shows that the stop ran.
void seedSuppressedDock(const ChildHome& home) {
    home.writeDefaults(QStringLiteral("com.vantrel.mac"), R"({
        "dock.customEnabled": true,
        "vantrelDock.systemDockRestorePending": true,
        "vantrelDock.originalAutohideWasSet": true, "vantrelDock.originalAutohide": false,
        "vantrelDock.originalDelayWasSet": false,
        "vantrelDock.originalAutohideAnimationWasSet": false})");
    home.writeDefaults(QStringLiteral("com.apple.dock"),
                       R"({"autohide": true, "autohide-delay": 1000, "autohide-time-modifier": 0})");
}
} // namespace

TEST(ApplicationProcess, ASecondLaunchHandsOverAndSigtermOrSigintStopTheApplicationInFullAndExitZero) {
    for (int signalNumber : {SIGTERM, SIGINT}) {
        SCOPED_TRACE(signalNumber);
        ChildHome home;
        seedSuppressedDock(home);
        auto process = home.launch();
        ASSERT_TRUE(process->waitForStarted(kTimeoutMs));
        ASSERT_TRUE(home.waitUntilRunning(*process)) << process->readAllStandardError().toStdString();

        // A second launch hands over to the running one, which carries on, and exits 0.
        auto second = home.launch();
        ASSERT_TRUE(second->waitForFinished(kTimeoutMs));
        EXPECT_EQ(second->exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(second->exitCode(), 0);
        EXPECT_EQ(process->state(), QProcess::Running);

        ::kill(static_cast<pid_t>(process->processId()), signalNumber);
        ASSERT_TRUE(process->waitForFinished(kTimeoutMs));
        EXPECT_EQ(process->exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(process->exitCode(), 0) << process->readAllStandardError().toStdString();

        const QJsonObject dock = home.readDefaults(QStringLiteral("com.apple.dock"));
        EXPECT_EQ(dock.value(QStringLiteral("autohide")), QJsonValue(false));
        EXPECT_FALSE(dock.contains(QStringLiteral("autohide-delay")));
    }
}
