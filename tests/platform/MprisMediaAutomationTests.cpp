#include "modules/MediaController.h"
#include "platform/linux/MprisMediaAutomation.h"
#include "support/FakeMprisPlayer.h"
#include "support/PrivateSessionBus.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace vantrel;
using namespace vantrel::test;

namespace {

QVariantMap metadata(const QString& title, qlonglong lengthUs, const QString& url = {},
                     const QString& artUrl = {}) {
    QVariantMap m{{QStringLiteral("xesam:title"), title},
                  {QStringLiteral("xesam:artist"), QStringList{QStringLiteral("A1"), QStringLiteral("A2")}},
                  {QStringLiteral("xesam:album"), QStringLiteral("Album")},
                  {QStringLiteral("mpris:length"), lengthUs}};
    if (!url.isEmpty()) m.insert(QStringLiteral("xesam:url"), url);
    if (!artUrl.isEmpty()) m.insert(QStringLiteral("mpris:artUrl"), artUrl);
    return m;
}

QVariantMap playerProps(const QString& status, const QVariantMap& meta, qlonglong positionUs) {
    return {{QStringLiteral("PlaybackStatus"), status},
            {QStringLiteral("Metadata"), meta},
            {QStringLiteral("Position"), positionUs}};
}

} // namespace

TEST(MprisMapping, PlayersAndBrowsersAreSortedIntoTheControllersTables) {
    using mpris::Role;
    for (const auto& [name, role] : {std::pair{"org.mpris.MediaPlayer2.spotify", Role::spotify},
                                     {"org.mpris.MediaPlayer2.chromium.instance42", Role::chrome},
                                     {"org.mpris.MediaPlayer2.firefox.instance_1_7", Role::otherBrowser},
                                     {"org.mpris.MediaPlayer2.vlc", Role::player},
                                     {"org.mpris.MediaPlayer2.playerctld", Role::ignored},
                                     {"org.mpris.MediaPlayer2.", Role::ignored},
                                     {"org.freedesktop.Notifications", Role::ignored}})
        EXPECT_EQ(mpris::roleOf(QString::fromLatin1(name)), role) << name;

    const QString prefix = mpris::kBusPrefix;
    const auto roster = mpris::rosterOf({prefix + "vlc", prefix + "firefox.instance_1",
                                         prefix + "chromium.i9", prefix + "audacious", prefix + "spotify"});
    EXPECT_EQ(roster.spotify, prefix + "spotify");
    EXPECT_EQ(roster.music, prefix + "audacious") << "first by name";
    EXPECT_EQ(roster.chrome, QStringList{prefix + "chromium.i9"});
    EXPECT_TRUE(mpris::runningBundleIdentifiers(mpris::rosterOf({prefix + "firefox.instance_1"})).isEmpty())
        << "a browser alone is no Music player";
}

TEST(MprisMapping, PlayerPropertiesBecomeTheSixTextsTheControllerParses) {
    const auto playing =
        playerProps(QStringLiteral("Playing"), metadata(QStringLiteral("T"), 215'000'000), 12'500'000);
    const QStringList music = mpris::playerFields(playing, false);
    EXPECT_EQ(music, (QStringList{QStringLiteral("T"), QStringLiteral("A1, A2"), QStringLiteral("Album"),
                                  QStringLiteral("playing"), QStringLiteral("12.5"), QStringLiteral("215")}));
    // Read back by the policy, both give the same track length.
    EXPECT_DOUBLE_EQ(
        MediaPlaybackPolicy::snapshot(mpris::playerFields(playing, true), QStringLiteral("Spotify"))
            ->duration,
        215);
    EXPECT_EQ(mpris::playerFields(playerProps(QStringLiteral("Paused"), metadata(QStringLiteral("T"), 0), -5),
                                  false)
                  .mid(3),
              (QStringList{QStringLiteral("paused"), QStringLiteral("0"), QStringLiteral("0")}));
    EXPECT_TRUE(mpris::playerFields(
                    playerProps(QStringLiteral("Stopped"), metadata(QStringLiteral("T"), 1), 0), false)
                    .isEmpty());
    EXPECT_TRUE(mpris::playerFields(playerProps(QStringLiteral("Playing"), {}, 0), false).isEmpty())
        << "no current item";
}

TEST(MprisMapping, TabRecordsAndArtwork) {
    const QString url = QStringLiteral("https://www.youtube.com/watch?v=1");
    EXPECT_EQ(mpris::tabRecord(metadata(QStringLiteral("Clip"), 0, url)),
              QStringLiteral("Clip") + QChar(0x1F) + url + QChar(0x1E));
    EXPECT_TRUE(mpris::tabRecord(metadata(QStringLiteral("No address"), 0)).isEmpty());
    // A page title cannot forge a second record.
    const QString forged =
        QStringLiteral("x") + QChar(0x1F) + QStringLiteral("https://twitch.tv/") + QChar(0x1E);
    EXPECT_FALSE(MediaController::firstMediaTab(
        mpris::tabRecord(metadata(forged, 0, QStringLiteral("https://example.com/"))), {}, {}));

    const auto art = [](const QString& address) {
        return mpris::artworkPayload(metadata({}, 0, {}, address), 100);
    };
    EXPECT_EQ(art(QStringLiteral("https://i.example/a.jpg")).address,
              QStringLiteral("https://i.example/a.jpg"));
    QTemporaryDir dir;
    for (const auto& [name, size] : {std::pair{"small.png", 100}, {"big.png", 101}}) {
        QFile f(dir.filePath(QString::fromLatin1(name)));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(QByteArray(size, 'x'));
    }
    EXPECT_EQ(art(QUrl::fromLocalFile(dir.filePath(QStringLiteral("small.png"))).toString()).data,
              QByteArray(100, 'x'));
    const auto tooBig = art(QUrl::fromLocalFile(dir.filePath(QStringLiteral("big.png"))).toString());
    EXPECT_FALSE(tooBig.data || tooBig.address) << "files over the cap are not read";
}

TEST(MprisMediaAutomation, WithoutASessionBusNothingIsRunning) {
    MprisMediaAutomation automation(QDBusConnection::connectToBus(
        QStringLiteral("unix:path=/nonexistent/vantrel-bus"), QStringLiteral("vantrel-no-bus")));
    EXPECT_TRUE(automation.runningBundleIdentifiers().isEmpty());
    EXPECT_EQ(automation.playerState(QStringLiteral("Music")), QStringList{});
    EXPECT_FALSE(automation.artwork(QStringLiteral("Spotify")).address);
    automation.send(QStringLiteral("Music"), MediaCommand::playPause); // harmless
    QDBusConnection::disconnectFromBus(QStringLiteral("vantrel-no-bus"));
}

namespace {

class MprisBusTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!bus_.isRunning()) GTEST_SKIP() << "dbus-daemon could not be started";
        thread_.start();
        connection_ = std::make_unique<QDBusConnection>(
            QDBusConnection::connectToBus(bus_.address(), QStringLiteral("vantrel-backend")));
        ASSERT_TRUE(connection_->isConnected());
        automation_ = std::make_unique<MprisMediaAutomation>(*connection_);
    }
    void TearDown() override {
        automation_.reset();
        connection_.reset();
        QDBusConnection::disconnectFromBus(QStringLiteral("vantrel-backend"));
        // Players die on their own thread, which runs their deferred deletion as it finishes.
        for (auto& player : players_)
            player.release()->deleteLater();
        thread_.quit();
        thread_.wait();
    }
    FakeMprisPlayer& addPlayer(const QString& name, FakeMprisPlayer::State state) {
        players_.push_back(
            std::make_unique<FakeMprisPlayer>(bus_.address(), mpris::kBusPrefix + name, thread_));
        EXPECT_TRUE(players_.back()->isRegistered()) << name.toStdString();
        players_.back()->setState(std::move(state));
        return *players_.back();
    }

    PrivateSessionBus bus_;
    QThread thread_;
    std::vector<std::unique_ptr<FakeMprisPlayer>> players_;
    std::unique_ptr<QDBusConnection> connection_;
    std::unique_ptr<MprisMediaAutomation> automation_;
};

} // namespace

TEST_F(MprisBusTest, AnswersThePlayerQuestionsOverTheBus) {
    EXPECT_TRUE(automation_->runningBundleIdentifiers().isEmpty());
    const QString tabUrl = QStringLiteral("https://music.youtube.com/watch?v=9");
    auto& spotify =
        addPlayer(QStringLiteral("spotify"),
                  {QStringLiteral("Playing"),
                   metadata(QStringLiteral("Song"), 215'000'000, {}, QStringLiteral("https://i.scdn.co/1")),
                   30'000'000});
    auto& vlc =
        addPlayer(QStringLiteral("vlc"), {QStringLiteral("Paused"), metadata(QStringLiteral("Film"), 0), 0});
    auto& chromium = addPlayer(QStringLiteral("chromium.instance77"),
                               {QStringLiteral("Playing"), metadata(QStringLiteral("Tune"), 0, tabUrl), 0});

    EXPECT_EQ(automation_->runningBundleIdentifiers(),
              (QSet<QString>{QStringLiteral("com.apple.Music"), QStringLiteral("com.spotify.client"),
                             QStringLiteral("com.google.Chrome")}));
    EXPECT_EQ(automation_->playerState(QStringLiteral("Spotify")),
              (QStringList{QStringLiteral("Song"), QStringLiteral("A1, A2"), QStringLiteral("Album"),
                           QStringLiteral("playing"), QStringLiteral("30"), QStringLiteral("215000")}));
    EXPECT_EQ(automation_->playerState(QStringLiteral("Music"))->first(), QStringLiteral("Film"));
    EXPECT_EQ(automation_->artwork(QStringLiteral("Spotify")).address, QStringLiteral("https://i.scdn.co/1"));
    EXPECT_EQ(automation_->browserTabListing(QStringLiteral("Google Chrome")),
              QStringLiteral("Tune") + QChar(0x1F) + tabUrl + QChar(0x1E));
    EXPECT_FALSE(automation_->browserTabListing(QStringLiteral("Safari")));

    automation_->send(QStringLiteral("Spotify"), MediaCommand::nextTrack);
    automation_->send(QStringLiteral("Spotify"), MediaCommand::previousTrack);
    automation_->send(QStringLiteral("Music"), MediaCommand::playPause);
    automation_->revealCurrentItem(QStringLiteral("Music"));
    automation_->activateTab(QStringLiteral("Google Chrome"), QStringLiteral("https://other.example/"));
    automation_->activateTab(QStringLiteral("Google Chrome"), tabUrl);
    EXPECT_EQ(spotify.calls(), (QStringList{QStringLiteral("Next"), QStringLiteral("Previous")}));
    EXPECT_EQ(vlc.calls(), (QStringList{QStringLiteral("PlayPause"), QStringLiteral("Raise")}));
    EXPECT_EQ(chromium.calls(), QStringList{QStringLiteral("Raise")});

    spotify.setState({QStringLiteral("Stopped"), {}, 0});
    EXPECT_EQ(automation_->playerState(QStringLiteral("Spotify")), QStringList{});
}
