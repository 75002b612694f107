#pragma once

#include "platform/MediaAutomation.h"

#include <QDBusConnection>
#include <QVariantMap>
#include <functional>
#include <memory>

namespace vantrel {

class IconThemes;

// MPRIS media players on the session bus, seen as the controller's players and browsers:
// "Spotify" is the player of that name, "Music" the first other player that is not a browser and
// is playing, or the first of them when none plays; the Chromium-family browsers' MPRIS instances
// stand for "Google Chrome", one tab record per instance. Without a session bus nothing is running.
class MprisMediaAutomation final : public MediaAutomation {
public:
    static constexpr int kCallTimeoutMs = 2000;
    static constexpr qint64 kMaxArtworkBytes = 16 * 1024 * 1024;

    // Players' icons are looked up in `themes`; none: in themes of its own, each read at once.
    explicit MprisMediaAutomation(QDBusConnection connection, IconThemes* themes = nullptr);
    ~MprisMediaAutomation() override;

    QSet<QString> runningBundleIdentifiers() override;
    std::optional<QStringList> playerState(const QString& player) override;
    std::optional<QString> browserTabListing(const QString& browser) override;
    ArtworkPayload artwork(const QString& player) override;
    void send(const QString& player, MediaCommand command) override;
    void revealCurrentItem(const QString& player) override;
    void activateTab(const QString& browser, const QString& url) override;
    QImage applicationIcon(const QString& bundleIdentifier) override;

private:
    QStringList playerNames();
    std::optional<QVariantMap> properties(const QString& busName, const QString& interface);
    std::optional<QString> busNameOf(const QString& player);
    void callMethod(const QString& busName, const QString& interface, const QString& method);

    QDBusConnection connection_;
    std::unique_ptr<IconThemes> ownThemes_;
    IconThemes& themes_;
};

// The rules that map MPRIS answers onto the controller's formats, kept apart from the bus so
// they can be checked on recorded property maps.
namespace mpris {

inline const QString kBusPrefix = QStringLiteral("org.mpris.MediaPlayer2.");

enum class Role { spotify, chrome, otherBrowser, player, ignored };
Role roleOf(const QString& busName);

struct Roster {
    std::optional<QString> spotify;
    QStringList players; // every other player that is not a browser, by name
    QStringList chrome;
};
Roster rosterOf(QStringList busNames);
QSet<QString> runningBundleIdentifiers(const Roster& roster);
// The player that stands for "Music": the first of `players` whose status is "Playing", else the
// first. `statusOf` gives a player's PlaybackStatus; it is asked only while there is a choice.
std::optional<QString> musicPlayer(const QStringList& players,
                                   const std::function<QString(const QString& busName)>& statusOf);

// The six player texts from the properties of org.mpris.MediaPlayer2.Player; an empty list
// when the player is stopped or has no current item.
QStringList playerFields(const QVariantMap& playerProperties, bool lengthInMilliseconds);
// One listing record (title, U+001F, address, U+001E), or empty when the tab has no address.
QString tabRecord(const QVariantMap& metadata);
ArtworkPayload artworkPayload(const QVariantMap& metadata, qint64 maxBytes);
// D-Bus hands nested dictionaries over still marshalled; this unpacks either form.
QVariantMap toMap(const QVariant& value);

} // namespace mpris
} // namespace vantrel
