#include "platform/linux/LoggingHapticPerformer.h"
#include "platform/linux/QtSoundPlayer.h"
#include "support/RecordingSystemLog.h"

#include <QCoreApplication>
#include <QFile>
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
    auto player = std::make_unique<QtSoundPlayer>(log);
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
    QtSoundPlayer player(log, QStringLiteral("/nonexistent/libvantrel_sound.so"));
    EXPECT_EQ(player.soundNamed("Glass"), nullptr);
    EXPECT_EQ(player.soundNamed("Ping"), nullptr);
    ASSERT_EQ(log.lines().size(), 1u);
    EXPECT_EQ(log.lines()[0].level, LogLevel::error);
    EXPECT_TRUE(log.lines()[0].message.startsWith("no sound module: "))
        << log.lines()[0].message.toStdString();
}
