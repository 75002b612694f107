#include "modules/MediaController.h"
#include "modules/MediaPlaybackPolicy.h"
#include "support/ManualScheduler.h"
#include "support/ManualWorkQueue.h"
#include "support/RecordingHttpClient.h"
#include "support/ScriptedMediaAutomation.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <cmath>
#include <gtest/gtest.h>
#include <limits>

using namespace vantrel;
using namespace vantrel::test;
namespace P = vantrel::MediaPlaybackPolicy;

namespace {

const QString kMusic = QStringLiteral("Music");
const QString kSpotify = QStringLiteral("Spotify");

QStringList track(const char* title, const char* state, const char* position = "10",
                  const char* length = "200") {
    return {QString::fromUtf8(title),   QStringLiteral("Artist"),      QStringLiteral("Album"),
            QString::fromLatin1(state), QString::fromLatin1(position), QString::fromLatin1(length)};
}

QImage solid(QColor color) {
    QImage image(4, 4, QImage::Format_ARGB32);
    image.fill(color);
    return image;
}

// A one-pixel image file in the plain PPM format, "R G B".
QByteArray ppm(const char* rgb) {
    return QByteArray("P3 1 1 255 ") + rgb;
}

MediaSnapshot snap(const QString& source, const char* title, bool playing) {
    return MediaSnapshot{QString::fromLatin1(title), {}, {}, playing, source, 1, 2};
}

QString record(const char* title, const char* url) {
    return QString::fromLatin1(title) + QChar(0x1F) + QString::fromLatin1(url) + QChar(0x1E);
}

class MediaControllerTest : public ::testing::Test {
protected:
    MediaControllerTest() {
        auto queue = std::make_unique<ManualWorkQueue>();
        queue_ = queue.get();
        automation_.icons = {{QStringLiteral("com.apple.Music"), solid(Qt::red)},
                             {QStringLiteral("com.spotify.client"), solid(Qt::green)},
                             {QStringLiteral("com.apple.Safari"), solid(Qt::blue)}};
        controller_ = std::make_unique<MediaController>(automation_, std::move(queue), http_, scheduler_);
    }

    // One timer tick and the pass it starts (plus any artwork questions).
    void tick() {
        scheduler_.advance(MediaController::kPollInterval);
        queue_->drain();
    }
    void startAndDrain() {
        controller_->start();
        queue_->drain();
    }
    void play(const QString& player, std::optional<QStringList> state) {
        automation_.running.insert(player == kMusic ? QStringLiteral("com.apple.Music")
                                                    : QStringLiteral("com.spotify.client"));
        automation_.states[player] = std::move(state);
    }
    QColor artwork() const {
        return controller_->artwork() ? controller_->artwork()->pixelColor(0, 0) : QColor();
    }

    ManualClock clock_;
    ManualScheduler scheduler_{clock_};
    ScriptedMediaAutomation automation_;
    RecordingHttpClient http_;
    ManualWorkQueue* queue_ = nullptr;
    std::unique_ptr<MediaController> controller_;
};

} // namespace

TEST_F(MediaControllerTest, PollsOnlyWhileStartedAndReturnsToTheIdleTexts) {
    EXPECT_EQ(controller_->timeText(), QStringLiteral("0:00 / 0:00"));
    scheduler_.advance(Seconds(10));
    EXPECT_EQ(queue_->pendingCount(), 0u) << "nothing is polled before start()";

    play(kMusic, track("Song", "playing", "250", "200"));
    startAndDrain();
    EXPECT_DOUBLE_EQ(controller_->progress(), 1.0) << "never past the end";

    automation_.states[kMusic] = QStringList{}; // stopped: back to the initial texts
    tick();
    EXPECT_EQ(controller_->title() + controller_->artist(),
              QStringLiteral("Nothing playingOpen Music or Spotify"));
    EXPECT_FALSE(controller_->isPlaying() || controller_->artwork());
    EXPECT_EQ(controller_->elapsed(), 0.0);
    EXPECT_EQ(controller_->duration(), 0.0);
    EXPECT_EQ(controller_->progress(), 0.0) << "no length, no progress";
    EXPECT_EQ(controller_->timeText(), QStringLiteral("0:00 / 0:00"));

    controller_->stop();
    scheduler_.advance(Seconds(10));
    EXPECT_EQ(queue_->pendingCount(), 0u) << "a stopped controller never wakes";
}

TEST_F(MediaControllerTest, PrecedenceFailingSourcesAndPlayersThatQuit) {
    play(kMusic, track("Music song", "paused"));
    play(kSpotify, track("Spotify song", "playing", "5", "215000"));
    startAndDrain();
    EXPECT_EQ(controller_->timeText(), QStringLiteral("0:05 / 3:35"));
    automation_.states[kSpotify] = track("Spotify song", "paused");
    tick();
    EXPECT_EQ(controller_->source(), kSpotify) << "the source shown last wins among paused players";
    automation_.states[kSpotify] = std::nullopt; // time-out or refused
    tick();
    EXPECT_EQ(controller_->title(), QStringLiteral("Spotify song")) << "a failing source keeps its snapshot";
    automation_.states[kMusic] = track("Music song", "playing");
    tick();
    EXPECT_EQ(controller_->source(), kMusic) << "playing beats paused";

    // Spotify shown again, then it quits: not asked, not failed, so its snapshot goes.
    automation_.states[kMusic] = track("Music song", "paused");
    automation_.states[kSpotify] = track("Spotify song", "playing");
    tick();
    ASSERT_EQ(controller_->source(), kSpotify);
    automation_.running.remove(QStringLiteral("com.spotify.client"));
    tick();
    EXPECT_EQ(controller_->title(), QStringLiteral("Music song"));
}

TEST_F(MediaControllerTest, FallsBackToAMediaTabOnlyWhenNoPlayerHasAnItem) {
    play(kMusic, QStringList{});
    automation_.running.insert(QStringLiteral("com.apple.Safari"));
    const QString url = QStringLiteral("https://www.youtube.com/watch?v=1");
    automation_.listings[QStringLiteral("Safari")] =
        record("Inbox", "https://mail.example.com") +
        record("Clip - YouTube", "https://www.youtube.com/watch?v=1");
    startAndDrain();
    EXPECT_EQ(controller_->title(), QStringLiteral("Clip"));
    EXPECT_EQ(artwork(), QColor(Qt::blue)) << "the browser's icon, no cover art";

    controller_->control(MediaCommand::playPause); // tabs take no transport commands
    controller_->activateBrowserTab();
    queue_->drain();
    EXPECT_EQ(automation_.actions, QStringList{QStringLiteral("activate Safari ") + url});

    // A player with an item takes over, and browsers are not asked while it has one.
    automation_.states[kMusic] = track("Song", "paused");
    automation_.asked.clear();
    tick();
    EXPECT_EQ(automation_.asked, QStringList{kMusic});
}

TEST_F(MediaControllerTest, AnswersThatCrossAStopOrRestartAreDropped) {
    play(kMusic, track("Old", "playing"));
    QSignalSpy titles(controller_.get(), &MediaController::titleChanged);
    controller_->start();
    controller_->stop();
    controller_->start();
    ASSERT_EQ(queue_->pendingCount(), 2u) << "the stop released the pass in flight";
    queue_->runNext();
    EXPECT_EQ(titles.count(), 0) << "an answer from before the restart";
    automation_.states[kMusic] = track("New", "playing");
    queue_->runNext();
    EXPECT_EQ(controller_->title(), QStringLiteral("New"));

    // While a pass is in flight further ticks do nothing.
    scheduler_.advance(MediaController::kPollInterval * 3);
    EXPECT_EQ(queue_->pendingCount(), 2u) << "one pass plus the artwork question";
}

TEST_F(MediaControllerTest, ArtworkLoadsOncePerItemOnlyOverHttpsUntilStopped) {
    play(kSpotify, track("One", "playing"));
    automation_.artworks[kSpotify] = {std::nullopt, QStringLiteral("https://i.example.com/1.jpg")};
    startAndDrain();
    ASSERT_EQ(http_.requests.size(), 1u);
    EXPECT_EQ(std::make_pair(http_.requests[0].timeout, http_.requests[0].maxBytes),
              std::make_pair(Seconds(10), qint64(10 * 1024 * 1024)));
    EXPECT_EQ(artwork(), QColor(Qt::green)) << "the player's icon until the cover arrives";
    http_.respond(0, {200, ppm("255 255 0"), {}});
    EXPECT_EQ(artwork(), QColor(Qt::yellow));

    automation_.states[kSpotify] = track("One", "paused", "50"); // the same item
    tick();
    EXPECT_EQ(http_.requests.size(), 1u);

    // A 404, an undecodable body: the icon stays. An address not written "https:" is not fetched.
    const std::pair<int, QByteArray> answers[] = {{404, ppm("0 0 0")}, {200, "not an image"}};
    for (const auto& [status, body] : answers) {
        automation_.states[kSpotify] = track(status == 404 ? "Two" : "Three", "playing");
        tick();
        http_.respond(http_.requests.size() - 1, {status, body, {}});
        EXPECT_EQ(artwork(), QColor(Qt::green)) << status;
    }
    for (const char* address : {"http://i.example.com/4.jpg", "HTTPS://i.example.com/5.jpg"}) {
        automation_.artworks[kSpotify] = {std::nullopt, QString::fromLatin1(address)};
        automation_.states[kSpotify] = track(address, "playing");
        tick();
        EXPECT_EQ(http_.requests.size(), 3u) << address;
    }

    // A download in flight is cancelled by stop(); after a restart the same item loads again.
    automation_.artworks[kSpotify] = {std::nullopt, QStringLiteral("https://x.example/a.png")};
    automation_.states[kSpotify] = track("Four", "playing");
    tick();
    controller_->stop();
    EXPECT_FALSE(http_.respond(3, {200, ppm("255 255 255"), {}}));
    startAndDrain();
    EXPECT_EQ(http_.requests.size(), 5u);
}

TEST_F(MediaControllerTest, TransportCommandsGoToTheShownPlayerAndRefreshSoonAfter) {
    play(kSpotify, track("Song", "playing"));
    startAndDrain();
    controller_->control(MediaCommand::nextTrack);
    controller_->openCurrentItem();
    automation_.states[kSpotify] = track("Next song", "playing");
    queue_->drain();
    EXPECT_EQ(automation_.actions,
              (QStringList{QStringLiteral("send Spotify 2"), QStringLiteral("reveal Spotify")}));
    scheduler_.advance(Seconds(0.15));
    queue_->drain();
    EXPECT_EQ(controller_->title(), QStringLiteral("Next song")) << "refreshed 0.15 s after the command";

    controller_->control(MediaCommand::playPause); // stopped in between: the follow-up does nothing
    controller_->stop();
    queue_->drain();
    scheduler_.advance(Seconds(1));
    EXPECT_EQ(queue_->pendingCount(), 0u);
}

TEST(MediaPlaybackPolicy, SnapshotFromTheSixPlayerTexts) {
    EXPECT_FALSE(P::snapshot(track(" T ", "playing", "1", "2").mid(0, 5), kMusic));
    EXPECT_FALSE(P::snapshot(track(" T ", "playing", "1", "2"), QStringLiteral("music")));
    // Texts are taken as reported, blanks included; "playing" in any case, nothing more.
    EXPECT_EQ(P::snapshot(track(" T ", "PlAyInG", "3", "4"), kMusic),
              (MediaSnapshot{QStringLiteral(" T "), QStringLiteral("Artist"), QStringLiteral("Album"), true,
                             kMusic, 3, 4}));
    EXPECT_FALSE(P::snapshot(track(" T ", "playing ", "0", "0"), kMusic)->isPlaying);

    // A decimal comma is read; anything else around or in the number reads as 0.
    EXPECT_DOUBLE_EQ(P::snapshot(track(" T ", "paused", "12,5", "0"), kMusic)->elapsed, 12.5);
    EXPECT_DOUBLE_EQ(P::snapshot(track(" T ", "paused", "0,5", "0,25"), kMusic)->duration, 0.25)
        << "only a negative value reads as 0";
    for (const char* text : {" 12.5", "12.5s", "inf", "nan", "-3", "", "1,234.5"})
        EXPECT_DOUBLE_EQ(P::snapshot(track(" T ", "paused", text, text), kMusic)->duration, 0) << text;

    // Spotify reports the length in milliseconds and the position in seconds.
    const auto spotify = P::snapshot(track(" T ", "playing", "215000", "215000"), kSpotify);
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

    using Row = std::tuple<const char*, std::vector<MediaSnapshot>, std::optional<MediaSnapshot>,
                           QSet<QString>, std::optional<MediaSnapshot>>;
    const Row rows[] = {
        {"previous source playing wins", {musicPlaying, spotifyPlaying}, previous, none, spotifyPlaying},
        {"earlier player without previous", {musicPlaying, spotifyPlaying}, std::nullopt, none, musicPlaying},
        {"playing beats paused previous source", {musicPlaying, spotifyPaused}, previous, none, musicPlaying},
        {"playing beats paused previous source listed first",
         {spotifyPaused, musicPlaying},
         previous,
         none,
         musicPlaying},
        {"paused: previous source wins", {musicPaused, spotifyPaused}, previous, none, spotifyPaused},
        {"failed previous keeps its state", {musicPaused}, previous, failed, previous},
        {"not failed: the paused candidate", {musicPaused}, previous, none, musicPaused},
        {"no candidates, previous fine", {}, previous, none, std::nullopt},
        {"stopped previous gives the other", {musicPaused, spotifyIdle}, previous, none, musicPaused},
    };
    for (const auto& [name, snapshots, shown, failing, expected] : rows)
        EXPECT_EQ(P::select(snapshots, shown, failing), expected) << name;
}

TEST(MediaPlaybackPolicy, BrowserTabListing) {
    // Expected "site|title"; empty when no tab is found.
    const std::pair<QString, const char*> rows[] = {
        {QStringLiteral("V https://youtube.com/watch") + QChar(0x1E), ""},
        {record("V", "ftp://youtube.com/x"), ""},
        {record("V", "https:///watch"), ""},
        {record("V", "https://notyoutube.com/watch"), ""},
        {record("Clip", "HTTPS://WWW.YouTube.COM/w"), "YouTube|Clip"},
        {record("Song - YouTube Music", "https://music.youtube.com/w"), "YouTube Music|Song"},
        {record("  Talk - YouTube \n", "http://m.youtube.com/x"), "YouTube|Talk"},
        {record("x", "https://example.com") + record("Mix", "https://open.spotify.com/a"), "Spotify Web|Mix"},
        {record("Y", "https://music.apple.com/z").chopped(1), "Apple Music|Y"},
    };
    for (const auto& [listing, expected] : rows) {
        const auto tab = MediaController::firstMediaTab(listing, {}, {});
        EXPECT_EQ(tab ? tab->siteName + QLatin1Char('|') + tab->title : QString(),
                  QString::fromLatin1(expected))
            << listing.toStdString();
    }
}

TEST_F(MediaControllerTest, AMediaTabAfterATrackShowsNoPositionAlbumOrPlayState) {
    play(kMusic, track("Song", "playing", "5", "215"));
    automation_.running.insert(QStringLiteral("com.apple.Safari"));
    automation_.listings[QStringLiteral("Safari")] =
        record("Clip - YouTube", "https://www.youtube.com/watch?v=1");
    startAndDrain();
    ASSERT_EQ(controller_->timeText(), QStringLiteral("0:05 / 3:35"));

    automation_.states[kMusic] = QStringList{}; // the player lost its item: the tab shows
    tick();
    EXPECT_EQ(controller_->source(), QStringLiteral("Safari"));
    EXPECT_EQ(controller_->title(), QStringLiteral("Clip"));
    EXPECT_EQ(controller_->artist(), QStringLiteral("YouTube"));
    EXPECT_EQ(controller_->album(), QString());
    EXPECT_FALSE(controller_->isPlaying());
    EXPECT_EQ(controller_->elapsed(), 0.0);
    EXPECT_EQ(controller_->duration(), 0.0);
    EXPECT_EQ(controller_->timeText(), QStringLiteral("0:00 / 0:00"));
}

// A cover from a player, by its bytes or by an address, passes the picture gate: a drawing that
// places a file is no cover, whatever it would draw; one of its own is.
TEST_F(MediaControllerTest, ArtworkThatNamesAFileIsNoCover) {
    QTemporaryDir dir;
    const QString placed = dir.filePath(QStringLiteral("red.ppm"));
    QFile file(placed);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(ppm("255 0 0"));
    file.close();
    const QByteArray drawing = "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"4\" height=\"4\">"
                               "<image width=\"4\" height=\"4\" href=\"" +
                               placed.toUtf8() + "\"/></svg>";
    play(kSpotify, track("One", "playing"));
    automation_.artworks[kSpotify] = {drawing, QStringLiteral("https://i.example.com/1.svg")};
    startAndDrain();
    ASSERT_EQ(http_.requests.size(), 1u);
    http_.respond(0, {200, drawing, {}});
    EXPECT_EQ(artwork(), QColor(Qt::green)) << "the player's icon stays";

    automation_.artworks[kSpotify] = {
        QByteArray("<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"4\" "
                   "height=\"4\"><rect width=\"4\" height=\"4\" fill=\"#0000ff\"/></svg>"),
        std::nullopt};
    automation_.states[kSpotify] = track("Two", "playing");
    tick();
    EXPECT_EQ(artwork(), QColor(Qt::blue)) << "a drawing of its own is drawn";
}
