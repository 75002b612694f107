#include "platform/linux/LoggingHapticPerformer.h"
#include "platform/linux/QtSoundPlayer.h"
#include "support/RecordingSystemLog.h"

#include <QCoreApplication>
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

TEST(QtSoundPlayer, KnowsTheGeneratedTonesAndSurvivesAMissingAudioDevice) {
    RecordingSystemLog log;
    auto player = std::make_unique<QtSoundPlayer>(log);
    EXPECT_EQ(player->soundNamed("Basso"), nullptr);
    // Whether or not this machine has an audio device, playing, looping and stopping work or stay
    // silent; they never fail, not even when the player goes first.
    auto glass = player->soundNamed("Glass");
    ASSERT_NE(glass, nullptr);
    glass->setLoops(true);
    glass->play();
    QCoreApplication::processEvents();
    glass->stop();
    glass->play();
    player.reset();
    glass.reset();
    EXPECT_TRUE(log.messages().isEmpty());
}
