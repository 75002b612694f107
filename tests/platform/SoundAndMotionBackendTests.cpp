#include "platform/linux/LoggingHapticPerformer.h"
#include "platform/linux/QtSoundPlayer.h"
#include "support/FakeEnvironment.h"
#include "support/RecordingSystemLog.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace vantrel;
using namespace vantrel::test;

TEST(LoggingHapticPerformer, WritesOneDebugLinePerPulse) {
    RecordingSystemLog log;
    LoggingHapticPerformer(log).perform(HapticFeedbackPattern::levelChange);
    ASSERT_EQ(log.lines().size(), 1u);
    EXPECT_EQ(log.lines()[0].level, LogLevel::debug);
    EXPECT_EQ(log.lines()[0].message, "perform levelChange");
}

namespace {
// Whether QtMultimedia is mapped into this process (each test runs in a process of its own).
bool mediaFrameworkLoaded() {
    QFile maps(QStringLiteral("/proc/self/maps"));
    return maps.open(QIODevice::ReadOnly) && maps.readAll().contains("libQt6Multimedia");
}
} // namespace

TEST(QtSoundPlayer, KnowsTheGeneratedTonesAndSurvivesAMissingAudioDevice) {
    RecordingSystemLog log;
    QTemporaryDir runtime;
    const FakeEnvironment environment{{"XDG_RUNTIME_DIR", runtime.path()}};
    auto player = std::make_unique<QtSoundPlayer>(log, environment);
    EXPECT_EQ(player->soundNamed("Basso"), nullptr);
    EXPECT_FALSE(mediaFrameworkLoaded()) << "nothing played yet";
    // Whether or not this machine has an audio device, playing, looping and stopping work or stay
    // silent; they never fail, not even when the player goes first.
    auto glass = player->soundNamed("Glass");
    ASSERT_NE(glass, nullptr);
    EXPECT_TRUE(mediaFrameworkLoaded());
    glass->setLoops(true);
    glass->play();
    QCoreApplication::processEvents();
    glass->stop();
    glass->play();
    player.reset();
    glass.reset();
    EXPECT_TRUE(log.messages().isEmpty());
}

TEST(QtSoundPlayer, WithoutItsModuleThereIsNoSoundAndOneLogLine) {
    RecordingSystemLog log;
    const FakeEnvironment environment;
    QtSoundPlayer player(log, environment, QStringLiteral("/nonexistent/libvantrel_sound.so"));
    EXPECT_EQ(player.soundNamed("Glass"), nullptr);
    EXPECT_EQ(player.soundNamed("Ping"), nullptr);
    ASSERT_EQ(log.lines().size(), 1u);
    EXPECT_EQ(log.lines()[0].level, LogLevel::error);
    EXPECT_TRUE(log.lines()[0].message.startsWith("no sound module: "))
        << log.lines()[0].message.toStdString();
}

TEST(QtSoundPlayer, KeepsItsTonesWhereLoggingOutClearsThemAndMakesNoFolderUntilOneIsNeeded) {
    RecordingSystemLog log;
    QTemporaryDir runtime, temporary;
    const auto folders = [](const QTemporaryDir& base) {
        return QDir(base.path()).entryList({QStringLiteral("vantrel-sounds-*")}, QDir::Dirs);
    };
    {
        const FakeEnvironment environment{{"XDG_RUNTIME_DIR", runtime.path()}, {"TMPDIR", temporary.path()}};
        QtSoundPlayer player(log, environment, QStringLiteral("/nonexistent/libvantrel_sound.so"));
        EXPECT_TRUE(folders(runtime).isEmpty()) << "no tone yet, no folder";
        EXPECT_EQ(player.soundNamed("Glass"), nullptr);
        const QStringList made = folders(runtime);
        ASSERT_EQ(made.size(), 1);
        EXPECT_TRUE(QFile::exists(runtime.filePath(made[0] + "/Glass.wav")));
        EXPECT_TRUE(folders(temporary).isEmpty());
    }
    EXPECT_TRUE(folders(runtime).isEmpty()) << "removed with the player";

    // Without a runtime folder (or with one that is not there), the temporary folder.
    const FakeEnvironment without{{"XDG_RUNTIME_DIR", runtime.filePath("gone")},
                                  {"TMPDIR", temporary.path()}};
    QtSoundPlayer player(log, without, QStringLiteral("/nonexistent/libvantrel_sound.so"));
    EXPECT_EQ(player.soundNamed("Ping"), nullptr);
    EXPECT_EQ(folders(temporary).size(), 1);
}
