#include "modules/MediaController.h"
#include "modules/MediaPlaybackPolicy.h"

#include <cmath>
#include <gtest/gtest.h>
#include <limits>

using namespace vantrel;
namespace P = vantrel::MediaPlaybackPolicy;

namespace {

const QString kMusic = QStringLiteral("Music");
const QString kSpotify = QStringLiteral("Spotify");

QStringList fields(const char* state, const char* position, const char* length) {
    return {QStringLiteral(" T "),      QStringLiteral("A\n"),         QString(),
            QString::fromLatin1(state), QString::fromLatin1(position), QString::fromLatin1(length)};
}

MediaSnapshot snap(const QString& source, const char* title, bool playing) {
    return MediaSnapshot{QString::fromLatin1(title), {}, {}, playing, source, 1, 2};
}

QString record(const char* title, const char* url) {
    return QString::fromLatin1(title) + QChar(0x1F) + QString::fromLatin1(url) + QChar(0x1E);
}

} // namespace

TEST(MediaPlaybackPolicy, SnapshotFromTheSixPlayerTexts) {
    EXPECT_FALSE(P::snapshot(fields("playing", "1", "2").mid(0, 5), kMusic));
    EXPECT_FALSE(P::snapshot(fields("playing", "1", "2"), QStringLiteral("music")));
    // Texts are taken as reported, blanks included; "playing" in any case, nothing more.
    EXPECT_EQ(P::snapshot(fields("PlAyInG", "3", "4"), kMusic),
              (MediaSnapshot{QStringLiteral(" T "), QStringLiteral("A\n"), {}, true, kMusic, 3, 4}));
    EXPECT_FALSE(P::snapshot(fields("playing ", "0", "0"), kMusic)->isPlaying);

    // A decimal comma is read; anything else around or in the number reads as 0.
    EXPECT_DOUBLE_EQ(P::snapshot(fields("paused", "12,5", "0"), kMusic)->elapsed, 12.5);
    for (const char* text : {" 12.5", "12.5s", "inf", "nan", "-3", "", "1,234.5"})
        EXPECT_DOUBLE_EQ(P::snapshot(fields("paused", text, text), kMusic)->duration, 0) << text;

    // Spotify reports the length in milliseconds and the position in seconds.
    const auto spotify = P::snapshot(fields("playing", "215000", "215000"), kSpotify);
    EXPECT_EQ(std::make_pair(spotify->elapsed, spotify->duration), std::make_pair(215000.0, 215.0));
}

TEST(MediaPlaybackPolicy, FormatTimeAndCurrentItem) {
    for (double zero : {0.0, -1.0, std::numeric_limits<double>::infinity(), std::nan("")})
        EXPECT_EQ(P::formatTime(zero), QStringLiteral("0:00")) << zero;
    EXPECT_EQ(P::formatTime(59.9), QStringLiteral("0:59"));
    EXPECT_EQ(P::formatTime(3725.5), QStringLiteral("62:05"));
    EXPECT_EQ(P::formatTime(1e12), QStringLiteral("525600:00")) << "capped at a year";

    for (const char* t : {"", " \n\t ", "  Nothing playing\n"})
        EXPECT_FALSE(P::hasCurrentItem(QString::fromLatin1(t))) << t;
    EXPECT_TRUE(P::hasCurrentItem(QStringLiteral("nothing playing")));
}

TEST(MediaPlaybackPolicy, SelectionOrder) {
    const auto musicPlaying = snap(kMusic, "M", true), musicPaused = snap(kMusic, "M", false);
    const auto spotifyPlaying = snap(kSpotify, "S", true), spotifyPaused = snap(kSpotify, "S", false);
    const auto spotifyIdle = snap(kSpotify, "Nothing playing", false);
    const auto previous = snap(kSpotify, "Old", false);
    const QSet<QString> none, failed{kSpotify};

    struct Row {
        const char* name;
        std::vector<MediaSnapshot> snapshots;
        std::optional<MediaSnapshot> previous;
        QSet<QString> failed;
        std::optional<MediaSnapshot> expected;
    };
    const Row rows[] = {
        {"previous source playing wins", {musicPlaying, spotifyPlaying}, previous, none, spotifyPlaying},
        {"earlier player without previous", {musicPlaying, spotifyPlaying}, std::nullopt, none, musicPlaying},
        {"playing beats paused previous source", {musicPlaying, spotifyPaused}, previous, none, musicPlaying},
        {"paused: previous source wins", {musicPaused, spotifyPaused}, previous, none, spotifyPaused},
        {"failed previous keeps its state", {musicPaused}, previous, failed, previous},
        {"not failed: the paused candidate", {musicPaused}, previous, none, musicPaused},
        {"no candidates, previous fine", {}, previous, none, std::nullopt},
        {"stopped previous gives the other", {musicPaused, spotifyIdle}, previous, none, musicPaused},
    };
    for (const Row& row : rows)
        EXPECT_EQ(P::select(row.snapshots, row.previous, row.failed), row.expected) << row.name;
}

TEST(MediaPlaybackPolicy, BrowserTabListing) {
    // Expected "site|title|url"; empty when no tab is found.
    const std::pair<QString, const char*> rows[] = {
        {QStringLiteral("V https://youtube.com/watch") + QChar(0x1E), ""},
        {record("V", "ftp://youtube.com/x"), ""},
        {record("V", "https:///watch"), ""},
        {record("V", "https://notyoutube.com/watch"), ""},
        {record("Clip", "HTTPS://WWW.YouTube.COM/w"), "YouTube|Clip|HTTPS://WWW.YouTube.COM/w"},
        {record("Song - YouTube Music", "https://music.youtube.com/w"),
         "YouTube Music|Song|https://music.youtube.com/w"},
        {record("  Talk - YouTube \n", "http://m.youtube.com/x"), "YouTube|Talk|http://m.youtube.com/x"},
        {record("x", "https://example.com") + record("Mix", "https://open.spotify.com/a") +
             record("Vid", "https://youtube.com/b"),
         "Spotify Web|Mix|https://open.spotify.com/a"},
        {record("Y", "https://music.apple.com/z").chopped(1), "Apple Music|Y|https://music.apple.com/z"},
    };
    for (const auto& [listing, expected] : rows) {
        const auto tab =
            MediaController::firstMediaTab(listing, QStringLiteral("Safari"), QStringLiteral("id"));
        const QString found =
            tab ? QStringList{tab->siteName, tab->title, tab->url, tab->browser}.join(QLatin1Char('|'))
                : QString();
        EXPECT_EQ(found, expected[0] ? QString::fromLatin1(expected) + QStringLiteral("|Safari") : QString())
            << listing.toStdString();
    }
}
