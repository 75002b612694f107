#pragma once

#include <QSet>
#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

namespace vantrel {

// What one desktop player reported in one polling pass.
struct MediaSnapshot {
    QString title;
    QString artist;
    QString album;
    bool isPlaying = false;
    QString source;
    double elapsed = 0;
    double duration = 0;

    friend bool operator==(const MediaSnapshot&, const MediaSnapshot&) = default;
};

enum class MediaSourceKind { application, browser };

// A browser tab recognised as a media site.
struct BrowserTab {
    QString browser;
    QString bundleIdentifier;
    QString title;
    QString url;
    QString siteName;

    friend bool operator==(const BrowserTab&, const BrowserTab&) = default;
};

// The rules that turn player and browser answers into the one item the notch shows. Every
// function here depends on its arguments only, so the whole policy runs without a player.
namespace MediaPlaybackPolicy {

inline const QString kNothingPlaying = QStringLiteral("Nothing playing");
inline const QString kIdleArtist = QStringLiteral("Open Music or Spotify");
inline const QString kMusic = QStringLiteral("Music");
inline const QString kSpotify = QStringLiteral("Spotify");

// Six player answers (title, artist, album, state, position, length) in that order.
std::optional<MediaSnapshot> snapshot(const QStringList& fields, const QString& source);
QString formatTime(double seconds);
bool hasCurrentItem(const QString& title);
std::optional<MediaSnapshot> select(const std::vector<MediaSnapshot>& snapshots,
                                    const std::optional<MediaSnapshot>& previous,
                                    const QSet<QString>& failedSources);

// A browser's tab listing: per tab its title, U+001F, its address, U+001E.
std::optional<BrowserTab> firstMediaTab(const QString& output, const QString& browser,
                                        const QString& bundleIdentifier);

struct MediaHost {
    const char* domain;
    const char* siteName;
};
// In matching order: a subdomain row stands before its parent domain's row.
inline constexpr MediaHost kMediaHosts[] = {
    {"music.youtube.com", "YouTube Music"}, {"youtube.com", "YouTube"},
    {"open.spotify.com", "Spotify Web"},    {"music.apple.com", "Apple Music"},
    {"music.amazon.com", "Amazon Music"},   {"soundcloud.com", "SoundCloud"},
    {"bandcamp.com", "Bandcamp"},           {"twitch.tv", "Twitch"},
};

} // namespace MediaPlaybackPolicy
} // namespace vantrel
