#include "modules/MediaController.h"
#include "modules/MediaPlaybackPolicy.h"

#include <cmath>
#include <gtest/gtest.h>
#include <limits>

using namespace vantrel;
namespace P = vantrel::MediaPlaybackPolicy;

namespace {

QStringList fields(const QString& state, const QString& position, const QString& length) {
    return {
        QStringLiteral("Song"), QStringLiteral("Artist"), QStringLiteral("Album"), state, position, length};
}

MediaSnapshot snap(const QString& source, const QString& title, bool playing) {
    return MediaSnapshot{title, QStringLiteral("A"), QStringLiteral("B"), playing, source, 1, 2};
}

const QString kUS(QChar(0x1F));
const QString kRS(QChar(0x1E));

QString record(const QString& title, const QString& url) {
    return title + kUS + url + kRS;
}

} // namespace

TEST(MediaPlaybackPolicy, SnapshotNeedsSixFieldsAndAKnownPlayer) {
    EXPECT_FALSE(P::snapshot(fields("playing", "1", "2").mid(0, 5), QStringLiteral("Music")));
    EXPECT_FALSE(P::snapshot(fields("playing", "1", "2") << QStringLiteral("x"), QStringLiteral("Music")));
    EXPECT_FALSE(P::snapshot(fields("playing", "1", "2"), QStringLiteral("VLC")));
    EXPECT_FALSE(P::snapshot(fields("playing", "1", "2"), QStringLiteral("music")));

    const auto empty = P::snapshot(QStringList(6, QString()), QStringLiteral("Music"));
    ASSERT_TRUE(empty);
    EXPECT_EQ(*empty, (MediaSnapshot{{}, {}, {}, false, QStringLiteral("Music"), 0, 0}));

    // Texts are taken as reported, blanks included.
    const auto s = P::snapshot({QStringLiteral(" T "), QStringLiteral("A\n"), QStringLiteral(""),
                                QStringLiteral("paused"), QStringLiteral("3"), QStringLiteral("4")},
                               QStringLiteral("Music"));
    ASSERT_TRUE(s);
    EXPECT_EQ(s->title, QStringLiteral(" T "));
    EXPECT_EQ(s->artist, QStringLiteral("A\n"));
}

TEST(MediaPlaybackPolicy, SnapshotStateAndNumbers) {
    struct Row {
        const char* state;
        bool playing;
    };
    for (const Row& row : {Row{"playing", true}, Row{"PLAYING", true}, Row{"PlAyInG", true},
                           Row{"paused", false}, Row{"stopped", false}, Row{"playing ", false}}) {
        EXPECT_EQ(P::snapshot(fields(row.state, "0", "0"), QStringLiteral("Music"))->isPlaying, row.playing)
            << row.state;
    }

    struct Number {
        const char* text;
        double value;
    };
    for (const Number& n : {Number{"12,5", 12.5}, Number{"12.5", 12.5}, Number{" 12.5", 0},
                            Number{"12.5 ", 0}, Number{"12.5s", 0}, Number{"inf", 0}, Number{"nan", 0},
                            Number{"-3", 0}, Number{"", 0}, Number{"1,234.5", 0}, Number{"1e2", 100}}) {
        const auto s = P::snapshot(fields("paused", n.text, n.text), QStringLiteral("Music"));
        EXPECT_DOUBLE_EQ(s->elapsed, n.value) << n.text;
        EXPECT_DOUBLE_EQ(s->duration, n.value) << n.text;
    }

    // Spotify reports the length in milliseconds and the position in seconds.
    const auto spotify = P::snapshot(fields("playing", "215000", "215000"), QStringLiteral("Spotify"));
    EXPECT_DOUBLE_EQ(spotify->duration, 215);
    EXPECT_DOUBLE_EQ(spotify->elapsed, 215000);
    EXPECT_DOUBLE_EQ(P::snapshot(fields("playing", "1", "215000"), QStringLiteral("Music"))->duration,
                     215000);
}

TEST(MediaPlaybackPolicy, FormatTimeAndCurrentItem) {
    const double inf = std::numeric_limits<double>::infinity();
    struct Row {
        double seconds;
        const char* text;
    };
    for (const Row& row : {Row{0, "0:00"}, Row{-1, "0:00"}, Row{inf, "0:00"}, Row{std::nan(""), "0:00"},
                           Row{59.9, "0:59"}, Row{60, "1:00"}, Row{215, "3:35"}, Row{3600, "60:00"},
                           Row{3725.5, "62:05"}, Row{1e12, "525600:00"}, Row{31'536'000, "525600:00"}}) {
        EXPECT_EQ(P::formatTime(row.seconds), QString::fromLatin1(row.text)) << row.seconds;
    }

    for (const char* t : {"", "   ", " \n\t ", "Nothing playing", "  Nothing playing\n"})
        EXPECT_FALSE(P::hasCurrentItem(QString::fromLatin1(t))) << t;
    for (const char* t : {"nothing playing", "Nothing playing!", "x"})
        EXPECT_TRUE(P::hasCurrentItem(QString::fromLatin1(t))) << t;
}

TEST(MediaPlaybackPolicy, SelectionOrder) {
    const QString music = QStringLiteral("Music"), spotify = QStringLiteral("Spotify");
    const auto musicPlaying = snap(music, "M", true), musicPaused = snap(music, "M", false);
    const auto spotifyPlaying = snap(spotify, "S", true), spotifyPaused = snap(spotify, "S", false);
    const auto spotifyIdle = snap(spotify, "Nothing playing", false);
    const auto prevSpotify = snap(spotify, "Old", false);
    const QSet<QString> none;
    const QSet<QString> spotifyFailed{spotify};

    struct Row {
        const char* name;
        std::vector<MediaSnapshot> snapshots;
        std::optional<MediaSnapshot> previous;
        QSet<QString> failed;
        std::optional<MediaSnapshot> expected;
    };
    const std::vector<Row> rows{
        {"previous source playing wins", {musicPlaying, spotifyPlaying}, prevSpotify, none, spotifyPlaying},
        {"earlier player without previous", {musicPlaying, spotifyPlaying}, std::nullopt, none, musicPlaying},
        {"playing beats paused previous source",
         {musicPlaying, spotifyPaused},
         prevSpotify,
         none,
         musicPlaying},
        {"paused: previous source wins", {musicPaused, spotifyPaused}, prevSpotify, none, spotifyPaused},
        {"failed previous keeps its state", {musicPaused}, prevSpotify, spotifyFailed, prevSpotify},
        {"not failed: the paused candidate", {musicPaused}, prevSpotify, none, musicPaused},
        {"no candidates, previous failed", {}, prevSpotify, spotifyFailed, prevSpotify},
        {"no candidates, previous fine", {}, prevSpotify, none, std::nullopt},
        {"idle snapshots are no candidates", {spotifyIdle}, std::nullopt, none, std::nullopt},
        {"stopped previous gives the other", {musicPaused, spotifyIdle}, prevSpotify, none, musicPaused},
        {"first paused without previous", {musicPaused, spotifyPaused}, std::nullopt, none, musicPaused},
    };
    for (const Row& row : rows)
        EXPECT_EQ(P::select(row.snapshots, row.previous, row.failed), row.expected) << row.name;
}

TEST(MediaPlaybackPolicy, BrowserTabListing) {
    const QString safari = QStringLiteral("Safari"), id = QStringLiteral("com.apple.Safari");
    struct Row {
        const char* name;
        QString listing;
        std::optional<QString> site; // none: no tab found
        QString title;
        QString url;
    };
    const std::vector<Row> rows{
        {"no unit separator", QStringLiteral("Video https://youtube.com/watch") + kRS, {}, {}, {}},
        {"not a web scheme", record("V", "ftp://youtube.com/x"), {}, {}, {}},
        {"no host", record("V", "https:///watch"), {}, {}, {}},
        {"unparseable", record("V", "https://you tube.com/"), {}, {}, {}},
        {"suffix without dot", record("V", "https://notyoutube.com/watch"), {}, {}, {}},
        {"unknown site", record("V", "https://example.com/"), {}, {}, {}},
        {"capital host and scheme", record("Clip", "HTTPS://WWW.YouTube.COM/watch?v=1"), "YouTube", "Clip",
         "HTTPS://WWW.YouTube.COM/watch?v=1"},
        {"music subdomain row first", record("Song - YouTube Music", "https://music.youtube.com/watch"),
         "YouTube Music", "Song", "https://music.youtube.com/watch"},
        {"other subdomain", record("  Talk - YouTube \n", "http://m.youtube.com/x"), "YouTube", "Talk",
         "http://m.youtube.com/x"},
        {"every occurrence removed", record("A - Twitch - Twitch", "https://www.twitch.tv/a"), "Twitch", "A",
         "https://www.twitch.tv/a"},
        {"empty title kept", record("", "https://soundcloud.com/a"), "SoundCloud", "",
         "https://soundcloud.com/a"},
        {"split at first separator only",
         QStringLiteral("T") + kUS + QStringLiteral("https://bandcamp.com/") + kUS,
         {},
         {},
         {}},
        {"first listed wins over row order",
         record("x", "https://example.com") + record("Mix", "https://open.spotify.com/a") +
             record("Vid", "https://youtube.com/b"),
         "Spotify Web", "Mix", "https://open.spotify.com/a"},
        {"records without trailing separator",
         record("x", "https://example.com") + QStringLiteral("Y") + kUS +
             QStringLiteral("https://music.apple.com/z"),
         "Apple Music", "Y", "https://music.apple.com/z"},
    };
    for (const Row& row : rows) {
        const auto tab = MediaController::firstMediaTab(row.listing, safari, id);
        ASSERT_EQ(tab.has_value(), row.site.has_value()) << row.name;
        if (!tab) continue;
        EXPECT_EQ(*tab, (BrowserTab{safari, id, row.title, row.url, *row.site})) << row.name;
    }
    EXPECT_FALSE(P::firstMediaTab(QString(), safari, id));
}
