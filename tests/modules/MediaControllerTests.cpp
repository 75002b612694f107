#include "modules/MediaController.h"
#include "support/ManualScheduler.h"
#include "support/ManualWorkQueue.h"
#include "support/RecordingHttpClient.h"
#include "support/ScriptedMediaAutomation.h"

#include <QBuffer>
#include <QSignalSpy>
#include <gtest/gtest.h>

using namespace vantrel;
using namespace vantrel::test;

namespace {

const QString kMusic = QStringLiteral("Music");
const QString kSpotify = QStringLiteral("Spotify");
const QString kMusicId = QStringLiteral("com.apple.Music");
const QString kSpotifyId = QStringLiteral("com.spotify.client");

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

QByteArray png(QColor color) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    solid(color).save(&buffer, "PNG");
    return bytes;
}

class MediaControllerTest : public ::testing::Test {
protected:
    MediaControllerTest() {
        auto queue = std::make_unique<ManualWorkQueue>();
        queue_ = queue.get();
        automation_.icons = {{kMusicId, solid(Qt::red)},
                             {kSpotifyId, solid(Qt::green)},
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
    void runPlayer(const QString& name, const QString& id, std::optional<QStringList> state) {
        automation_.running.insert(id);
        automation_.states[name] = std::move(state);
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

    runPlayer(kMusic, kMusicId, track("Song", "playing", "250", "200"));
    startAndDrain();
    EXPECT_EQ(controller_->title(), QStringLiteral("Song"));
    EXPECT_DOUBLE_EQ(controller_->progress(), 1.0) << "never past the end";

    // The player stops: the published values return to the initial texts.
    automation_.states[kMusic] = QStringList{};
    tick();
    EXPECT_EQ(controller_->title(), QStringLiteral("Nothing playing"));
    EXPECT_EQ(controller_->artist(), QStringLiteral("Open Music or Spotify"));
    EXPECT_FALSE(controller_->isPlaying());
    EXPECT_FALSE(controller_->artwork());

    controller_->stop();
    scheduler_.advance(Seconds(10));
    EXPECT_EQ(queue_->pendingCount(), 0u) << "a stopped controller never wakes";
}

TEST_F(MediaControllerTest, PlayingBeatsPausedAndTheLastShownSourceKeepsPrecedence) {
    runPlayer(kMusic, kMusicId, track("Paused song", "paused"));
    runPlayer(kSpotify, kSpotifyId, track("Spotify song", "playing", "5", "215000"));
    startAndDrain();
    EXPECT_EQ(controller_->source(), kSpotify);
    EXPECT_EQ(controller_->timeText(), QStringLiteral("0:05 / 3:35"));

    automation_.states[kSpotify] = track("Spotify song", "paused", "5", "215000");
    tick();
    EXPECT_EQ(controller_->source(), kSpotify) << "the source shown last wins among paused players";
    automation_.states[kMusic] = track("Paused song", "playing");
    tick();
    EXPECT_EQ(controller_->source(), kMusic) << "playing beats paused";
}

TEST_F(MediaControllerTest, FailingSourceKeepsItsSnapshotButAStoppedOrQuitOneDoesNot) {
    runPlayer(kMusic, kMusicId, track("Music song", "paused"));
    runPlayer(kSpotify, kSpotifyId, track("Spotify song", "playing"));
    startAndDrain();
    automation_.states[kSpotify] = std::nullopt; // time-out or refused
    tick();
    EXPECT_EQ(controller_->title(), QStringLiteral("Spotify song"));
    EXPECT_TRUE(controller_->isPlaying()) << "the last known state stays, unchanged";

    automation_.states[kSpotify] = QStringList{}; // stopped
    tick();
    EXPECT_EQ(controller_->title(), QStringLiteral("Music song"));

    // Spotify shown again, then it quits: not asked, not failed, so its snapshot goes.
    automation_.states[kSpotify] = track("Spotify song", "playing");
    tick();
    automation_.running.remove(kSpotifyId);
    automation_.asked.clear();
    tick();
    EXPECT_EQ(automation_.asked, QStringList{kMusic});
    EXPECT_EQ(controller_->title(), QStringLiteral("Music song"));
}

TEST_F(MediaControllerTest, FallsBackToAMediaTabOnlyWhenNoPlayerHasAnItem) {
    runPlayer(kMusic, kMusicId, QStringList{});
    automation_.running.insert(QStringLiteral("com.apple.Safari"));
    const QString url = QStringLiteral("https://www.youtube.com/watch?v=1");
    automation_.listings[QStringLiteral("Safari")] =
        QStringLiteral("Inbox") + QChar(0x1F) + QStringLiteral("https://mail.example.com") + QChar(0x1E) +
        QStringLiteral("Clip - YouTube") + QChar(0x1F) + url + QChar(0x1E);
    startAndDrain();
    EXPECT_EQ(controller_->sourceKind(), MediaSourceKind::browser);
    EXPECT_EQ(controller_->title(), QStringLiteral("Clip"));
    EXPECT_EQ(artwork(), QColor(Qt::blue)) << "the browser's icon, no cover art";
    EXPECT_EQ(automation_.asked, (QStringList{kMusic, QStringLiteral("Safari")})) << "Chrome is not running";

    controller_->control(MediaCommand::playPause);
    controller_->activateBrowserTab();
    queue_->drain();
    EXPECT_TRUE(automation_.sent.empty()) << "tabs take no transport commands";
    EXPECT_EQ(automation_.activated,
              (std::vector<std::pair<QString, QString>>{{QStringLiteral("Safari"), url}}));

    // A player with an item takes over, and browsers are not asked while it has one.
    automation_.states[kMusic] = track("Song", "paused");
    automation_.asked.clear();
    tick();
    EXPECT_EQ(controller_->sourceKind(), MediaSourceKind::application);
    EXPECT_EQ(automation_.asked, QStringList{kMusic});
}

TEST_F(MediaControllerTest, AnswersThatCrossAStopOrRestartAreDropped) {
    runPlayer(kMusic, kMusicId, track("Old", "playing"));
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

TEST_F(MediaControllerTest, ArtworkLoadsOncePerItemAndOnlyOverHttps) {
    runPlayer(kSpotify, kSpotifyId, track("One", "playing"));
    automation_.artworks[kSpotify] =
        ArtworkPayload{std::nullopt, QStringLiteral("https://i.example.com/1.jpg")};
    startAndDrain();
    ASSERT_EQ(http_.requests.size(), 1u);
    EXPECT_EQ(http_.requests[0].timeout, Seconds(10));
    EXPECT_EQ(http_.requests[0].maxBytes, 10 * 1024 * 1024);
    EXPECT_EQ(artwork(), QColor(Qt::green)) << "the player's icon until the cover arrives";
    http_.respond(http_.requests[0].id, {200, png(Qt::yellow), {}});
    EXPECT_EQ(artwork(), QColor(Qt::yellow));

    // Position and play state changes are the same item.
    automation_.states[kSpotify] = track("One", "paused", "50");
    tick();
    EXPECT_EQ(automation_.artworkAsked.size(), 1);

    // A 404, an undecodable body: the icon stays. An address not written "https:" is not fetched.
    const std::pair<int, QByteArray> answers[] = {{404, png(Qt::black)}, {200, "not an image"}};
    for (const auto& [status, body] : answers) {
        automation_.states[kSpotify] = track(status == 404 ? "Two" : "Three", "playing");
        tick();
        http_.respond(http_.requests.back().id, {status, body, {}});
        EXPECT_EQ(artwork(), QColor(Qt::green)) << status;
    }
    for (const char* address : {"http://i.example.com/4.jpg", "HTTPS://i.example.com/5.jpg"}) {
        automation_.artworks[kSpotify] = ArtworkPayload{std::nullopt, QString::fromLatin1(address)};
        automation_.states[kSpotify] = track(address, "playing");
        tick();
        EXPECT_EQ(http_.requests.size(), 3u) << address;
    }
}

TEST_F(MediaControllerTest, StaleArtworkIsDroppedAndDownloadsAreCancelled) {
    // The artwork answer for "Two" arrives after the item changed again: dropped.
    runPlayer(kMusic, kMusicId, track("Two", "playing"));
    automation_.artworks[kMusic] = ArtworkPayload{png(Qt::magenta), std::nullopt};
    controller_->start();
    queue_->runNext(); // the pass: "Two" shown, its artwork asked
    automation_.states[kMusic] = track("Three", "playing");
    automation_.artworks[kMusic] = ArtworkPayload{};
    tick();
    EXPECT_EQ(controller_->title(), QStringLiteral("Three"));
    EXPECT_EQ(artwork(), QColor(Qt::red));

    // A download in flight is cancelled by stop(); after a restart the same item loads again.
    automation_.artworks[kMusic] = ArtworkPayload{std::nullopt, QStringLiteral("https://x.example/a.png")};
    automation_.states[kMusic] = track("Four", "playing");
    tick();
    ASSERT_EQ(http_.requests.size(), 1u);
    controller_->stop();
    EXPECT_FALSE(http_.isOpen(http_.requests[0].id));
    startAndDrain();
    EXPECT_EQ(http_.requests.size(), 2u);
}

TEST_F(MediaControllerTest, TransportCommandsGoToTheShownPlayerAndRefreshSoonAfter) {
    runPlayer(kSpotify, kSpotifyId, track("Song", "playing"));
    startAndDrain();
    controller_->control(MediaCommand::nextTrack);
    controller_->openCurrentItem();
    automation_.states[kSpotify] = track("Next song", "playing");
    queue_->drain();
    EXPECT_EQ(automation_.sent,
              (std::vector<std::pair<QString, MediaCommand>>{{kSpotify, MediaCommand::nextTrack}}));
    EXPECT_EQ(automation_.revealed, QStringList{kSpotify});
    scheduler_.advance(Seconds(0.15));
    queue_->drain();
    EXPECT_EQ(controller_->title(), QStringLiteral("Next song")) << "refreshed 0.15 s after the command";

    // Stopped in between: the follow-up does nothing.
    controller_->control(MediaCommand::playPause);
    controller_->stop();
    queue_->drain();
    scheduler_.advance(Seconds(1));
    EXPECT_EQ(queue_->pendingCount(), 0u);

    // With nothing current nothing is sent.
    automation_.states[kSpotify] = QStringList{};
    startAndDrain();
    controller_->control(MediaCommand::playPause);
    queue_->drain();
    EXPECT_EQ(automation_.sent.size(), 2u);
}
