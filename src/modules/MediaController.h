#pragma once

#include "modules/MediaPlaybackPolicy.h"
#include "platform/HttpClient.h"
#include "platform/MediaAutomation.h"
#include "platform/ResultPort.h"
#include "platform/Scheduler.h"
#include "platform/WorkQueue.h"

#include <QImage>
#include <QObject>
#include <memory>
#include <optional>

namespace vantrel {

// The now-playing state the notch shows: the current track of a desktop player or, when no
// player has one, a media tab of a browser. Polls every 0.75 seconds while started. Every player
// question runs on the media work queue; answers come back to the main thread and are dropped
// when polling was stopped or restarted since they were asked.
class MediaController final : public QObject {
    Q_OBJECT
    Q_PROPERTY(QString title READ title NOTIFY titleChanged)
    Q_PROPERTY(QString artist READ artist NOTIFY artistChanged)
    Q_PROPERTY(QString album READ album NOTIFY albumChanged)
    Q_PROPERTY(bool isPlaying READ isPlaying NOTIFY isPlayingChanged)
    Q_PROPERTY(QString source READ source NOTIFY sourceChanged)
    Q_PROPERTY(double elapsed READ elapsed NOTIFY elapsedChanged)
    Q_PROPERTY(double duration READ duration NOTIFY durationChanged)

public:
    using BrowserTab = vantrel::BrowserTab;

    struct Application {
        QString name;
        QString bundleIdentifier;
    };

    static constexpr Seconds kPollInterval{0.75};
    static constexpr Seconds kPollTolerance{0.1};
    static constexpr Seconds kFollowUpDelay{0.15};
    static constexpr Seconds kArtworkTimeout{10};
    static constexpr qint64 kMaxArtworkBytes = 10 * 1024 * 1024;

    // Players and browsers in asking order.
    static const std::vector<Application>& players();
    static const std::vector<Application>& browsers();

    // `queue` is owned: destroying the controller waits for the work in flight.
    MediaController(MediaAutomation& automation, std::unique_ptr<WorkQueue> queue, HttpClient& http,
                    Scheduler& scheduler, QObject* parent = nullptr);
    ~MediaController() override;

    void start();
    void stop();
    void refresh();
    void control(MediaCommand command);
    void openCurrentItem();
    void activateBrowserTab();

    static std::optional<BrowserTab> firstMediaTab(const QString& output, const QString& browser,
                                                   const QString& bundleIdentifier) {
        return MediaPlaybackPolicy::firstMediaTab(output, browser, bundleIdentifier);
    }

    const QString& title() const { return title_; }
    const QString& artist() const { return artist_; }
    const QString& album() const { return album_; }
    bool isPlaying() const { return isPlaying_; }
    const QString& source() const { return source_; }
    MediaSourceKind sourceKind() const { return sourceKind_; }
    const std::optional<BrowserTab>& browserTab() const { return browserTab_; }
    double elapsed() const { return elapsed_; }
    double duration() const { return duration_; }
    const std::optional<QImage>& artwork() const { return artwork_; }
    double progress() const;
    QString timeText() const;
    bool isPolling() const { return timer_.isActive(); }

Q_SIGNALS:
    void titleChanged();
    void artistChanged();
    void albumChanged();
    void isPlayingChanged();
    void sourceChanged();
    void sourceKindChanged();
    void browserTabChanged();
    void elapsedChanged();
    void durationChanged();
    void artworkChanged();

private:
    struct PassResult {
        std::optional<MediaSnapshot> selected;
        std::optional<BrowserTab> tab;
    };

    static PassResult runPass(MediaAutomation& automation, const std::optional<MediaSnapshot>& previous);
    static std::optional<MediaSnapshot> fetchSnapshot(MediaAutomation& automation, const QString& appName);
    static std::optional<BrowserTab> fetchBrowserTab(MediaAutomation& automation,
                                                     const std::vector<Application>& candidates);

    void finishPass(std::int64_t token, const PassResult& result);
    void apply(const MediaSnapshot& snapshot);
    void applyBrowser(const BrowserTab& tab);
    void resetPlayback();
    void loadArtwork(const QString& appName, const QString& key);
    void finishArtwork(std::int64_t token, const QString& key, const ArtworkPayload& payload);
    void cancelArtworkDownload();
    std::optional<QImage> sourceApplicationIcon(const QString& source);
    std::optional<QImage> iconOf(const QString& bundleIdentifier);
    bool hasTransportTarget() const;
    QString currentPlayer() const;
    // Runs `work` on the queue; never touches the controller's state there.
    void onQueue(std::function<void()> work);

    void setTitle(const QString& value);
    void setArtist(const QString& value);
    void setAlbum(const QString& value);
    void setIsPlaying(bool value);
    void setSource(const QString& value);
    void setSourceKind(MediaSourceKind value);
    void setBrowserTab(const std::optional<BrowserTab>& value);
    void setElapsed(double value);
    void setDuration(double value);
    void setArtwork(const std::optional<QImage>& value);

    MediaAutomation& automation_;
    ResultPort port_;
    std::unique_ptr<WorkQueue> queue_;
    HttpClient& http_;
    Scheduler& scheduler_;

    QString title_ = MediaPlaybackPolicy::kNothingPlaying;
    QString artist_ = MediaPlaybackPolicy::kIdleArtist;
    QString album_;
    bool isPlaying_ = false;
    QString source_ = MediaPlaybackPolicy::kMusic;
    MediaSourceKind sourceKind_ = MediaSourceKind::application;
    std::optional<BrowserTab> browserTab_;
    double elapsed_ = 0;
    double duration_ = 0;
    std::optional<QImage> artwork_;

    ScheduledTask timer_;
    ScheduledTask followUp_;
    QString artworkKey_;
    bool isRefreshing_ = false;
    std::int64_t generation_ = 0;
    std::optional<MediaSnapshot> currentSnapshot_;
    std::optional<HttpClient::RequestId> artworkTask_;
};

} // namespace vantrel
