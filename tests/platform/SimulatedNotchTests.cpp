#include "platform/linux/QtScreens.h"
#include "platform/linux/SimulatedNotch.h"
#include "support/FakeEnvironment.h"
#include "support/RecordingSystemLog.h"

#include <QGuiApplication>
#include <QScreen>
#include <gtest/gtest.h>

using namespace vantrel;
using namespace vantrel::test;

TEST(SimulatedNotch, ReadsTheVariableAndFallsBackToTheDefaultWithOneLine) {
    RecordingSystemLog log;
    const SimulatedNotch standard{185, 32, std::nullopt};
    EXPECT_EQ(SimulatedNotch::parse(std::nullopt, log), standard);
    EXPECT_EQ(SimulatedNotch::parse(QStringLiteral(""), log), standard);
    EXPECT_EQ(SimulatedNotch::parse(QStringLiteral("off"), log), std::nullopt);
    EXPECT_EQ(SimulatedNotch::parse(QStringLiteral("OFF"), log), std::nullopt);
    EXPECT_EQ(SimulatedNotch::parse(QStringLiteral("200x38"), log), (SimulatedNotch{200, 38, std::nullopt}));
    EXPECT_EQ(SimulatedNotch::parse(QStringLiteral("180.5X30@1"), log), (SimulatedNotch{180.5, 30, 1}));
    EXPECT_TRUE(log.lines().empty());

    for (const char* bad : {"wide", "185x", "x32", "185x32@", "185x32@-1", "-185x32", "0x32", "185x0",
                            "185*32", "185x32@one", "1e400x32", "185x32x2"}) {
        log.clear();
        EXPECT_EQ(SimulatedNotch::parse(QString::fromLatin1(bad), log), standard) << bad;
        ASSERT_EQ(log.lines().size(), 1u) << bad;
        EXPECT_EQ(log.lines()[0].level, LogLevel::error);
        EXPECT_EQ(
            log.lines()[0].message,
            QStringLiteral("VANTREL_NOTCH=\"%1\" is not \"off\", \"<width>x<height>\" or "
                           "\"<width>x<height>@<screen index>\"; using a 185x32 notch on the primary screen")
                .arg(QString::fromLatin1(bad)));
    }
}

TEST(SimulatedNotch, PutsBandsBesideTheHousingOnTheChosenScreen) {
    ScreenInfo screen{QStringLiteral("eDP-1"), QRect(100, 0, 1512, 982), QRect(100, 0, 1512, 982), 1};
    SimulatedNotch{185, 32, std::nullopt}.applyTo(screen);
    EXPECT_EQ(screen.auxiliaryTopLeftArea, QRectF(100, 0, 663.5, 32));
    EXPECT_EQ(screen.auxiliaryTopRightArea, QRectF(948.5, 0, 663.5, 32));
    EXPECT_EQ(screen.topSafeAreaInset, 32);

    // A housing as wide as the screen leaves no bands.
    ScreenInfo narrow{QStringLiteral("tiny"), QRect(0, 0, 185, 100), QRect(0, 0, 185, 100), 2};
    SimulatedNotch{185, 32, std::nullopt}.applyTo(narrow);
    EXPECT_FALSE(narrow.auxiliaryTopLeftArea);
    EXPECT_EQ(narrow.topSafeAreaInset, 0);

    EXPECT_TRUE((SimulatedNotch{185, 32, std::nullopt}.isOn(3, true)));
    EXPECT_FALSE((SimulatedNotch{185, 32, std::nullopt}.isOn(0, false)));
    EXPECT_TRUE((SimulatedNotch{185, 32, 1}.isOn(1, false)));
    EXPECT_FALSE((SimulatedNotch{185, 32, 1}.isOn(0, true)));
}

TEST(QtScreens, TheOffscreenScreenCarriesTheSimulatedNotchUnlessSwitchedOff) {
    RecordingSystemLog log;
    const QScreen* primary = QGuiApplication::primaryScreen();
    ASSERT_NE(primary, nullptr);
    const QRect frame = primary->geometry();

    QtScreens notched(FakeEnvironment{}, log);
    const std::vector<ScreenInfo> all = notched.screens();
    ASSERT_EQ(all.size(), static_cast<std::size_t>(QGuiApplication::screens().size()));
    EXPECT_EQ(all[0].id, 1u);
    EXPECT_EQ(notched.mainScreen(), all[0]);
    EXPECT_EQ(all[0].frame, frame);
    EXPECT_EQ(all[0].topSafeAreaInset, 32);
    ASSERT_TRUE(all[0].auxiliaryTopLeftArea && all[0].auxiliaryTopRightArea);
    EXPECT_EQ(all[0].auxiliaryTopRightArea->left() - all[0].auxiliaryTopLeftArea->right(), 185);

    QtScreens off(FakeEnvironment{{QStringLiteral("VANTREL_NOTCH"), QStringLiteral("off")}}, log);
    EXPECT_FALSE(off.mainScreen()->auxiliaryTopLeftArea);
    EXPECT_EQ(off.mainScreen()->topSafeAreaInset, 0);
    // On a screen that is not connected: no screen has it.
    QtScreens elsewhere(FakeEnvironment{{QStringLiteral("VANTREL_NOTCH"), QStringLiteral("185x32@7")}}, log);
    EXPECT_EQ(elsewhere.mainScreen()->topSafeAreaInset, 0);
    EXPECT_TRUE(log.lines().empty());
}
