#pragma once

#include <QByteArray>
#include <QImage>
#include <QSet>
#include <QString>
#include <QStringList>
#include <optional>

namespace vantrel {

// Transport commands a player can be sent. A closed set: nothing the user or a player reports
// is ever turned into a command.
enum class MediaCommand { previousTrack, playPause, nextTrack };

// Artwork of a player's current item: image bytes, or an address to download them from.
struct ArtworkPayload {
    std::optional<QByteArray> data;
    std::optional<QString> address;
};

// The desktop players ("Music", "Spotify") and browsers ("Safari", "Google Chrome") as the now
// playing controller sees them, identified by the bundle identifiers of its tables.
//
// Every question may block for up to a couple of seconds and is asked on the media work queue,
// never on the main thread, except applicationIcon(). An answer of "none" means the player could
// not be asked (it failed, timed out or refused).
class MediaAutomation {
public:
    virtual ~MediaAutomation() = default;

    // Bundle identifiers of the players and browsers running now.
    virtual QSet<QString> runningBundleIdentifiers() = 0;
    // An empty list when the player is not running, is stopped or has no current item;
    // otherwise six texts: title, artist, album, state ("playing", "paused"), position in
    // seconds, length (milliseconds for "Spotify", seconds otherwise).
    virtual std::optional<QStringList> playerState(const QString& player) = 0;
    // Every tab with an address: its title, U+001F, its address, U+001E.
    virtual std::optional<QString> browserTabListing(const QString& browser) = 0;
    virtual ArtworkPayload artwork(const QString& player) = 0;
    // Fire and forget: the next polling pass shows what happened.
    virtual void send(const QString& player, MediaCommand command) = 0;
    virtual void revealCurrentItem(const QString& player) = 0;
    virtual void activateTab(const QString& browser, const QString& url) = 0;

    // Main thread only. A null image when the application is not installed.
    virtual QImage applicationIcon(const QString& bundleIdentifier) = 0;
};

} // namespace vantrel
