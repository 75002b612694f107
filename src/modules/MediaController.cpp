#include "modules/MediaController.h"

#include "platform/PictureGate.h"

#include <QMetaObject>
#include <algorithm>

namespace vantrel {

namespace P = MediaPlaybackPolicy;

const std::vector<MediaController::Application>& MediaController::players() {
    static const std::vector<Application> table{
        {QStringLiteral("Music"), QStringLiteral("com.apple.Music")},
        {QStringLiteral("Spotify"), QStringLiteral("com.spotify.client")},
    };
    return table;
}

const std::vector<MediaController::Application>& MediaController::browsers() {
    static const std::vector<Application> table{
        {QStringLiteral("Safari"), QStringLiteral("com.apple.Safari")},
        {QStringLiteral("Google Chrome"), QStringLiteral("com.google.Chrome")},
    };
    return table;
}

MediaController::MediaController(MediaAutomation& automation, std::unique_ptr<WorkQueue> queue,
                                 HttpClient& http, Scheduler& scheduler, QObject* parent)
    : QObject(parent), automation_(automation), queue_(std::move(queue)), http_(http), scheduler_(scheduler) {
}

MediaController::~MediaController() {
    // Work in flight may still post its answer; the port drops whatever arrives once the
    // controller is gone, also from a worker the queue gave up waiting for.
    queue_.reset();
    cancelArtworkDownload();
}

void MediaController::onQueue(std::function<void()> work) {
    queue_->async(std::move(work));
}

void MediaController::start() {
    if (timer_.isActive()) return;
    ++generation_;
    timer_ = ScheduledTask(
        scheduler_, scheduler_.scheduleRepeating(kPollInterval, kPollTolerance, [this] { refresh(); }));
    refresh();
}

void MediaController::stop() {
    timer_.cancel();
    ++generation_;
    isRefreshing_ = false;
    cancelArtworkDownload();
    artworkKey_.clear();
}

void MediaController::refresh() {
    if (!timer_.isActive() || isRefreshing_) return;
    const std::optional<MediaSnapshot> previous = currentSnapshot_;
    const std::int64_t token = generation_;
    isRefreshing_ = true;
    MediaAutomation* automation = &automation_;
    onQueue([this, port = port_.handle(), automation, previous, token] {
        const PassResult result = runPass(*automation, previous);
        port.post([this, token, result] { finishPass(token, result); });
    });
}

MediaController::PassResult MediaController::runPass(MediaAutomation& automation,
                                                     const std::optional<MediaSnapshot>& previous) {
    const QSet<QString> running = automation.runningBundleIdentifiers();
    std::vector<MediaSnapshot> snapshots;
    QSet<QString> failed;
    // A player that is not running is neither asked nor counted as failed, so a player that
    // quit does not keep its last track on screen.
    for (const Application& player : players()) {
        if (!running.contains(player.bundleIdentifier)) continue;
        if (auto snapshot = fetchSnapshot(automation, player.name))
            snapshots.push_back(*snapshot);
        else
            failed.insert(player.name);
    }
    PassResult result;
    result.selected = P::select(snapshots, previous, failed);
    if (!result.selected) {
        std::vector<Application> candidates;
        for (const Application& browser : browsers())
            if (running.contains(browser.bundleIdentifier)) candidates.push_back(browser);
        result.tab = fetchBrowserTab(automation, candidates);
    }
    return result;
}

std::optional<MediaSnapshot> MediaController::fetchSnapshot(MediaAutomation& automation,
                                                            const QString& appName) {
    const std::optional<QStringList> answer = automation.playerState(appName);
    if (!answer) return std::nullopt;
    if (answer->isEmpty()) return MediaSnapshot{P::kNothingPlaying, P::kIdleArtist, {}, false, appName, 0, 0};
    if (answer->size() != 6) return std::nullopt;
    return P::snapshot(*answer, appName);
}

std::optional<BrowserTab> MediaController::fetchBrowserTab(MediaAutomation& automation,
                                                           const std::vector<Application>& candidates) {
    for (const Application& browser : candidates) {
        const std::optional<QString> listing = automation.browserTabListing(browser.name);
        if (!listing) continue;
        if (auto tab = firstMediaTab(*listing, browser.name, browser.bundleIdentifier)) return tab;
    }
    return std::nullopt;
}

void MediaController::finishPass(std::int64_t token, const PassResult& result) {
    // Answers that crossed a stop() or start() belong to a polling period that is over;
    // isRefreshing was already reset by that stop().
    if (token != generation_ || !timer_.isActive()) return;
    isRefreshing_ = false;
    if (result.selected) {
        setBrowserTab(std::nullopt);
        setSourceKind(MediaSourceKind::application);
        apply(*result.selected);
    } else if (result.tab) {
        applyBrowser(*result.tab);
    } else {
        resetPlayback();
    }
}

void MediaController::apply(const MediaSnapshot& snapshot) {
    currentSnapshot_ = snapshot;
    setTitle(snapshot.title);
    setArtist(snapshot.artist);
    setAlbum(snapshot.album);
    setIsPlaying(snapshot.isPlaying);
    setSource(snapshot.source);
    setElapsed(snapshot.elapsed);
    setDuration(snapshot.duration);
    const QString key =
        source_ + QLatin1Char('|') + title_ + QLatin1Char('|') + artist_ + QLatin1Char('|') + album_;
    if (key == artworkKey_) return;
    artworkKey_ = key;
    setArtwork(sourceApplicationIcon(source_));
    loadArtwork(source_, key);
}

void MediaController::applyBrowser(const BrowserTab& tab) {
    currentSnapshot_.reset();
    cancelArtworkDownload();
    setBrowserTab(tab);
    setSourceKind(MediaSourceKind::browser);
    setTitle(tab.title);
    setArtist(tab.siteName);
    setAlbum({});
    setSource(tab.browser);
    setIsPlaying(false);
    setElapsed(0);
    setDuration(0);
    const QString key = QStringLiteral("browser|") + tab.url;
    if (key == artworkKey_) return;
    artworkKey_ = key;
    setArtwork(iconOf(tab.bundleIdentifier));
}

void MediaController::resetPlayback() {
    currentSnapshot_.reset();
    setBrowserTab(std::nullopt);
    setSourceKind(MediaSourceKind::application);
    setSource(P::kMusic);
    cancelArtworkDownload();
    setTitle(P::kNothingPlaying);
    setArtist(P::kIdleArtist);
    setAlbum({});
    setIsPlaying(false);
    setElapsed(0);
    setDuration(0);
    setArtwork(std::nullopt);
    artworkKey_.clear();
}

bool MediaController::hasTransportTarget() const {
    return sourceKind_ == MediaSourceKind::application && P::hasCurrentItem(title_);
}

QString MediaController::currentPlayer() const {
    return source_ == P::kSpotify ? P::kSpotify : P::kMusic;
}

void MediaController::control(MediaCommand command) {
    if (!hasTransportTarget()) return;
    MediaAutomation* automation = &automation_;
    onQueue([automation, player = currentPlayer(), command] { automation->send(player, command); });
    // Shows the new state at once instead of at the next tick; skipped by refresh() itself when
    // polling stopped in between.
    followUp_ = ScheduledTask(scheduler_, scheduler_.schedule(kFollowUpDelay, [this] { refresh(); }));
}

void MediaController::openCurrentItem() {
    if (!hasTransportTarget()) return;
    MediaAutomation* automation = &automation_;
    onQueue([automation, player = currentPlayer()] { automation->revealCurrentItem(player); });
}

void MediaController::activateBrowserTab() {
    if (!browserTab_) return;
    MediaAutomation* automation = &automation_;
    onQueue([automation, browser = browserTab_->browser, url = browserTab_->url] {
        automation->activateTab(browser, url);
    });
}

void MediaController::loadArtwork(const QString& appName, const QString& key) {
    cancelArtworkDownload();
    const std::int64_t token = generation_;
    MediaAutomation* automation = &automation_;
    onQueue([this, port = port_.handle(), automation, appName, key, token] {
        const ArtworkPayload payload = automation->artwork(appName);
        port.post([this, token, key, payload] { finishArtwork(token, key, payload); });
    });
}

namespace {

// A player's artwork, from its own bytes or an address it names, passes the picture gate: a
// drawing that names files, or a picture whose header names more pixels than any cover holds, is
// no artwork.
QImage artworkPicture(const QByteArray& bytes) {
    constexpr int kLargestArtwork = 4096;
    return decodePicture(bytes, QString(),
                         PictureFit{.size = QSize(kLargestArtwork, kLargestArtwork),
                                    .enlarge = false,
                                    .maximumSide = kLargestArtwork,
                                    .maximumPixels = qint64(kLargestArtwork) * kLargestArtwork});
}

} // namespace

void MediaController::finishArtwork(std::int64_t token, const QString& key, const ArtworkPayload& payload) {
    if (token != generation_ || key != artworkKey_) return;
    if (payload.data) {
        const QImage image = artworkPicture(*payload.data);
        if (!image.isNull()) {
            setArtwork(image);
            return;
        }
    }
    if (!payload.address) return;
    const QUrl url(*payload.address, QUrl::StrictMode);
    // Only a secure address is fetched; anything else keeps the application icon. The scheme is
    // checked on the text, since QUrl reports it in lower case whatever was written.
    if (!url.isValid() || !payload.address->startsWith(QLatin1String("https:"))) return;
    artworkTask_ =
        http_.get(url, kArtworkTimeout, kMaxArtworkBytes, [this, token, key](const HttpResponse& response) {
            artworkTask_.reset();
            if (token != generation_ || key != artworkKey_) return;
            if (!response.error.isEmpty() || response.status != 200) return;
            const QImage image = artworkPicture(response.body);
            if (!image.isNull()) setArtwork(image);
        });
}

void MediaController::cancelArtworkDownload() {
    if (artworkTask_) http_.cancel(*artworkTask_);
    artworkTask_.reset();
}

std::optional<QImage> MediaController::iconOf(const QString& bundleIdentifier) {
    QImage icon = automation_.applicationIcon(bundleIdentifier);
    if (icon.isNull()) return std::nullopt;
    return icon;
}

std::optional<QImage> MediaController::sourceApplicationIcon(const QString& source) {
    return iconOf(source == P::kSpotify ? QStringLiteral("com.spotify.client")
                                        : QStringLiteral("com.apple.Music"));
}

double MediaController::progress() const {
    if (duration_ <= 0) return 0;
    return std::clamp(elapsed_ / duration_, 0.0, 1.0);
}

QString MediaController::timeText() const {
    return P::formatTime(elapsed_) + QStringLiteral(" / ") + P::formatTime(duration_);
}

namespace {
template <typename T, typename Signal>
void assign(MediaController* self, T& field, const T& value, Signal signal) {
    if (field == value) return;
    field = value;
    Q_EMIT(self->*signal)();
}
} // namespace

void MediaController::setTitle(const QString& v) {
    assign(this, title_, v, &MediaController::titleChanged);
}
void MediaController::setArtist(const QString& v) {
    assign(this, artist_, v, &MediaController::artistChanged);
}
void MediaController::setAlbum(const QString& v) {
    assign(this, album_, v, &MediaController::albumChanged);
}
void MediaController::setIsPlaying(bool v) {
    assign(this, isPlaying_, v, &MediaController::isPlayingChanged);
}
void MediaController::setSource(const QString& v) {
    assign(this, source_, v, &MediaController::sourceChanged);
}
void MediaController::setSourceKind(MediaSourceKind v) {
    assign(this, sourceKind_, v, &MediaController::sourceKindChanged);
}
void MediaController::setBrowserTab(const std::optional<BrowserTab>& v) {
    assign(this, browserTab_, v, &MediaController::browserTabChanged);
}
void MediaController::setElapsed(double v) {
    assign(this, elapsed_, v, &MediaController::elapsedChanged);
}
void MediaController::setDuration(double v) {
    assign(this, duration_, v, &MediaController::durationChanged);
}
void MediaController::setArtwork(const std::optional<QImage>& v) {
    // Images are not compared: every new artwork is announced.
    artwork_ = v;
    Q_EMIT artworkChanged();
}

} // namespace vantrel
