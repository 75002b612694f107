#include "modules/MediaController.h"
#include "platform/linux/MprisMediaAutomation.h"
#include "support/FakeMprisPlayer.h"
#include "support/PrivateSessionBus.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sys/stat.h>

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

QVariantMap player(const char* status, const QVariantMap& meta, qlonglong positionUs) {
    return {{QStringLiteral("PlaybackStatus"), QString::fromLatin1(status)},
            {QStringLiteral("Metadata"), meta},
            {QStringLiteral("Position"), positionUs}};
}

QStringList fields(const char* status, const QVariantMap& meta, qlonglong positionUs) {
    return mpris::playerFields(player(status, meta, positionUs), false);
}

} // namespace

TEST(MprisMapping, RecordedPropertyMapsBecomeTheControllersTexts) {
    const QString p = mpris::kBusPrefix;
    EXPECT_EQ(mpris::rosterOf({p + "vlc", p + "firefox.i1", p + "playerctld", p + "audacious"}).players,
              (QStringList{p + "audacious", p + "vlc"}))
        << "players by name; browsers and the playerctld mirror are no players";
    EXPECT_EQ(fields("Playing", metadata(QStringLiteral("T"), 215'000'000), 12'500'000),
              (QStringList{QStringLiteral("T"), QStringLiteral("A1, A2"), QStringLiteral("Album"),
                           QStringLiteral("playing"), QStringLiteral("12.5"), QStringLiteral("215")}));
    EXPECT_EQ(fields("Paused", metadata(QStringLiteral("T"), 0), -5).at(4), QStringLiteral("0"));
    EXPECT_TRUE(fields("Stopped", metadata(QStringLiteral("T"), 1), 0).isEmpty());
    EXPECT_TRUE(fields("Playing", {}, 0).isEmpty()) << "no current item";

    // A page title cannot forge a second record.
    const QString forged =
        QStringLiteral("x") + QChar(0x1F) + QStringLiteral("https://twitch.tv/") + QChar(0x1E);
    EXPECT_FALSE(MediaController::firstMediaTab(
        mpris::tabRecord(metadata(forged, 0, QStringLiteral("https://example.com/"))), {}, {}));
    EXPECT_TRUE(mpris::tabRecord(metadata(QStringLiteral("No address"), 0)).isEmpty());

    // Local artwork is read up to the cap; a larger file is not read at all.
    QTemporaryDir dir;
    const auto art = [&](int size) {
        QFile f(dir.filePath(QString::number(size)));
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(QByteArray(size, 'x'));
        f.close();
        return mpris::artworkPayload(metadata({}, 0, {}, QUrl::fromLocalFile(f.fileName()).toString()), 100);
    };
    EXPECT_EQ(art(100).data, QByteArray(100, 'x'));
    const auto tooBig = art(101);
    EXPECT_FALSE(tooBig.data || tooBig.address);
}

TEST(MprisMediaAutomation, WithoutASessionBusNothingIsRunning) {
    MprisMediaAutomation automation(QDBusConnection::connectToBus(
        QStringLiteral("unix:path=/nonexistent/vantrel-bus"), QStringLiteral("vantrel-no-bus")));
    EXPECT_TRUE(automation.runningBundleIdentifiers().isEmpty());
    EXPECT_EQ(automation.playerState(QStringLiteral("Music")), QStringList{});
}

TEST(MprisMediaAutomation, AnswersThePlayerQuestionsOverAPrivateBus) {
    PrivateSessionBus bus;
    if (!bus.isRunning()) GTEST_SKIP() << "dbus-daemon could not be started";
    std::vector<std::unique_ptr<FakeMprisPlayer>> players;
    const QString tabUrl = QStringLiteral("https://music.youtube.com/watch?v=9");
    for (const auto& [name, properties] :
         {std::pair{"spotify", player("Playing",
                                      metadata(QStringLiteral("Song"), 215'000'000, {},
                                               QStringLiteral("https://i.scdn.co/1")),
                                      30'000'000)},
          {"vlc", player("Paused", metadata(QStringLiteral("Film"), 0), 0)},
          {"chromium.instance77", player("Playing", metadata(QStringLiteral("Tune"), 0, tabUrl), 0)}}) {
        players.push_back(
            std::make_unique<FakeMprisPlayer>(bus.address(), mpris::kBusPrefix + name, properties));
        EXPECT_TRUE(players.back()->isRegistered()) << name;
    }
    MprisMediaAutomation automation(
        QDBusConnection::connectToBus(bus.address(), QStringLiteral("vantrel-backend")));
    EXPECT_EQ(automation.runningBundleIdentifiers(),
              (QSet<QString>{QStringLiteral("com.apple.Music"), QStringLiteral("com.spotify.client"),
                             QStringLiteral("com.google.Chrome")}));
    EXPECT_EQ(automation.playerState(QStringLiteral("Spotify")),
              (QStringList{QStringLiteral("Song"), QStringLiteral("A1, A2"), QStringLiteral("Album"),
                           QStringLiteral("playing"), QStringLiteral("30"), QStringLiteral("215000")}));
    EXPECT_EQ(automation.artwork(QStringLiteral("Spotify")).address, QStringLiteral("https://i.scdn.co/1"));
    EXPECT_EQ(automation.browserTabListing(QStringLiteral("Google Chrome")),
              QStringLiteral("Tune") + QChar(0x1F) + tabUrl + QChar(0x1E));

    automation.send(QStringLiteral("Spotify"), MediaCommand::nextTrack);
    automation.send(QStringLiteral("Music"), MediaCommand::playPause);
    automation.revealCurrentItem(QStringLiteral("Music"));
    automation.activateTab(QStringLiteral("Google Chrome"), QStringLiteral("https://other.example/"));
    automation.activateTab(QStringLiteral("Google Chrome"), tabUrl);
    EXPECT_EQ(players[0]->calls(), QStringList{QStringLiteral("MediaPlayer2.Player.Next")});
    EXPECT_EQ(players[1]->calls(), (QStringList{QStringLiteral("MediaPlayer2.Player.PlayPause"),
                                                QStringLiteral("MediaPlayer2.Raise")}));
    EXPECT_EQ(players[2]->calls(), QStringList{QStringLiteral("MediaPlayer2.Raise")})
        << "only the tab with that address";
    QDBusConnection::disconnectFromBus(QStringLiteral("vantrel-backend"));
}

TEST(MprisMediaAutomation, MusicIsThePlayerThatPlaysElseTheFirst) {
    PrivateSessionBus bus;
    if (!bus.isRunning()) GTEST_SKIP() << "dbus-daemon could not be started";
    MprisMediaAutomation automation(
        QDBusConnection::connectToBus(bus.address(), QStringLiteral("vantrel-music")));
    std::vector<std::unique_ptr<FakeMprisPlayer>> players;
    const auto add = [&](const char* name, const char* status, const char* title) {
        players.push_back(std::make_unique<FakeMprisPlayer>(bus.address(), mpris::kBusPrefix + name,
                                                            player(status, metadata(title, 0), 0)));
        EXPECT_TRUE(players.back()->isRegistered()) << name;
    };
    // "audacious" comes first by name but is paused; "vlc" plays.
    add("audacious", "Paused", "Paused Song");
    add("vlc", "Playing", "Playing Song");
    const auto music = [&] {
        return automation.playerState(QStringLiteral("Music")).value_or(QStringList{});
    };
    ASSERT_EQ(music().size(), 6);
    EXPECT_EQ(music().at(0), QStringLiteral("Playing Song"));
    EXPECT_EQ(music().at(3), QStringLiteral("playing"));
    automation.send(QStringLiteral("Music"), MediaCommand::playPause);
    EXPECT_TRUE(players[0]->calls().isEmpty());
    EXPECT_EQ(players[1]->calls(), QStringList{QStringLiteral("MediaPlayer2.Player.PlayPause")})
        << "commands go to the player shown";

    // Once nothing plays, the first player by name stands for "Music".
    players.pop_back();
    add("xplayer", "Paused", "Another Paused Song");
    EXPECT_EQ(music().value(0), QStringLiteral("Paused Song"));
    EXPECT_EQ(music().value(3), QStringLiteral("paused"));
    QDBusConnection::disconnectFromBus(QStringLiteral("vantrel-music"));
}

TEST(MprisMediaAutomation, ArtworkIsReadWithoutWaitingAndOnlyFromARegularFileWithinItsLimit) {
    PrivateSessionBus bus;
    if (!bus.isRunning()) GTEST_SKIP() << "dbus-daemon could not be started";
    QTemporaryDir dir;
    // A FIFO nobody writes to: opening it for a blocking read would never return.
    const QString fifo = dir.filePath(QStringLiteral("cover.fifo"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0644), 0);
    FakeMprisPlayer vlc(
        bus.address(), mpris::kBusPrefix + QStringLiteral("vlc"),
        player("Playing", metadata(QStringLiteral("Film"), 0, {}, QUrl::fromLocalFile(fifo).toString()), 0));
    ASSERT_TRUE(vlc.isRegistered());
    MprisMediaAutomation automation(
        QDBusConnection::connectToBus(bus.address(), QStringLiteral("vantrel-art")));
    const ArtworkPayload fromFifo = automation.artwork(QStringLiteral("Music"));
    EXPECT_FALSE(fromFifo.data || fromFifo.address);

    // Cover art of exactly 16 MB is read; a sparse one a byte larger is not read at all; a link
    // to a real file is followed.
    const auto sized = [&](const QString& name, qint64 size) {
        QFile f(dir.filePath(name));
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        EXPECT_TRUE(f.resize(size));
        return QUrl::fromLocalFile(f.fileName()).toString();
    };
    const auto payload = [](const QString& url) {
        return mpris::artworkPayload(metadata({}, 0, {}, url), MprisMediaAutomation::kMaxArtworkBytes);
    };
    EXPECT_EQ(payload(sized(QStringLiteral("limit"), 16 * 1024 * 1024)).data.value_or(QByteArray()).size(),
              16 * 1024 * 1024);
    EXPECT_FALSE(payload(sized(QStringLiteral("over"), 16 * 1024 * 1024 + 1)).data);
    const QString link = dir.filePath(QStringLiteral("link"));
    ASSERT_TRUE(QFile::link(QUrl(sized(QStringLiteral("small"), 3)).toLocalFile(), link));
    EXPECT_EQ(payload(QUrl::fromLocalFile(link).toString()).data, QByteArray(3, '\0'));
    QDBusConnection::disconnectFromBus(QStringLiteral("vantrel-art"));
}
