// The built `vantrel` program run as a child process, headless, in a home of its own.

#include "support/HostileFiles.h"
#include "support/TempHome.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTest>
#include <csignal>
#include <gtest/gtest.h>

using vantrel::test::TempHome;

namespace {
constexpr int kTimeoutMs = 60000;

class ChildHome : public TempHome {
public:
    ChildHome() {
        QDir().mkpath(runtimeFolder());
        QFile::setPermissions(runtimeFolder(),
                              QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        // The replacement Dock is on and has suppressed the system Dock; only the stop at
        // termination restores it, so a restored Dock shows that the stop ran.
        writeFile(QStringLiteral("home/.config/Vantrel/defaults/com.vantrel.mac.json"), R"({
            "dock.customEnabled": true,
            "vantrelDock.systemDockRestorePending": true,
            "vantrelDock.originalAutohideWasSet": true, "vantrelDock.originalAutohide": false,
            "vantrelDock.originalDelayWasSet": false,
            "vantrelDock.originalAutohideAnimationWasSet": false})");
        writeFile(QStringLiteral("home/.config/Vantrel/defaults/com.apple.dock.json"),
                  R"({"autohide": true, "autohide-delay": 1000, "autohide-time-modifier": 0})");
    }
    QString runtimeFolder() const { return root() + QStringLiteral("/run"); }

    // Starts `vantrel` in this home.
    std::unique_ptr<QProcess> launch() const {
        auto process = std::make_unique<QProcess>();
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("HOME"), paths().home);
        environment.insert(QStringLiteral("XDG_CONFIG_HOME"), paths().configHome);
        environment.insert(QStringLiteral("XDG_DATA_HOME"), paths().dataHome);
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
        const QString socket = runtimeFolder() + QStringLiteral("/vantrel.instance");
        return QTest::qWaitFor(
                   [&] { return QFileInfo::exists(socket) || process.state() == QProcess::NotRunning; },
                   kTimeoutMs) &&
               process.state() == QProcess::Running;
    }
};
} // namespace

TEST(ApplicationProcess, ASecondLaunchHandsOverAndSigtermOrSigintStopTheApplicationInFullAndExitZero) {
    for (int signalNumber : {SIGTERM, SIGINT}) {
        SCOPED_TRACE(signalNumber);
        ChildHome home;
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

        const QJsonObject dock =
            QJsonDocument::fromJson(home.readFile(home.paths().defaultsFolder() + "/com.apple.dock.json"))
                .object();
        EXPECT_EQ(dock.value(QStringLiteral("autohide")), QJsonValue(false));
        EXPECT_FALSE(dock.contains(QStringLiteral("autohide-delay")));
    }
}

TEST(ApplicationProcess, HostileFilesInPlaceOfEveryStoreFileNeitherHoldUpStartNorGetTouched) {
    for (const vantrel::test::Hostile kind : vantrel::test::kEveryHostileKind) {
        SCOPED_TRACE(vantrel::test::nameOf(kind));
        ChildHome home;
        const QString outside = home.root() + QStringLiteral("/outside");
        const bool linkOutside = kind == vantrel::test::Hostile::linkOutside;
        const QString settings = home.paths().defaultsFolder() + QStringLiteral("/com.vantrel.mac.json");
        QFile::remove(settings);
        QStringList targets;
        for (const QString& file :
             {QStringLiteral("notes.json"), QStringLiteral("clipboard.json"),
              QStringLiteral("bookmarks.json"), QStringLiteral("com.vantrel.mac.json")}) {
            const bool isSettings = file == u"com.vantrel.mac.json";
            const QString path = isSettings ? settings : home.paths().dataFolder() + QLatin1Char('/') + file;
            const QString target = outside + QLatin1Char('/') + file;
            if (linkOutside) home.writeFile(QStringLiteral("outside/") + file, "{}");
            // 64 MB for data, 8 MB for settings: the most a read takes in.
            ASSERT_TRUE(vantrel::test::makeHostile(kind, path, target, (isSettings ? 8 : 64) * 1024 * 1024));
            targets.append(target);
        }
        auto process = home.launch();
        ASSERT_TRUE(process->waitForStarted(kTimeoutMs));
        ASSERT_TRUE(home.waitUntilRunning(*process)) << process->readAllStandardError().toStdString();
        ::kill(static_cast<pid_t>(process->processId()), SIGTERM);
        ASSERT_TRUE(process->waitForFinished(kTimeoutMs)) << "start-up was held up";
        EXPECT_EQ(process->exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(process->exitCode(), 0) << process->readAllStandardError().toStdString();

        // Nothing outside the folders was written or made, and nothing inside copied from outside.
        for (const QString& target : targets) {
            if (linkOutside)
                EXPECT_EQ(home.readFile(target), "{}") << target.toStdString();
            else
                EXPECT_FALSE(QFileInfo::exists(target)) << target.toStdString();
        }
        EXPECT_TRUE(QDir(home.paths().dataFolder())
                        .entryList({QStringLiteral("*previous*"), QStringLiteral("*corrupt*")})
                        .isEmpty());
    }
}
