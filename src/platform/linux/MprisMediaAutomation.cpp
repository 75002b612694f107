#include "platform/linux/MprisMediaAutomation.h"

#include "platform/AtomicFile.h"
#include "platform/linux/IconThemes.h"

#include <QDBusArgument>
#include <QDBusMessage>
#include <QIcon>
#include <QUrl>
#include <algorithm>

namespace vantrel {

namespace {

const QString kObjectPath = QStringLiteral("/org/mpris/MediaPlayer2");
const QString kRootInterface = QStringLiteral("org.mpris.MediaPlayer2");
const QString kPlayerInterface = QStringLiteral("org.mpris.MediaPlayer2.Player");
const QString kPropertiesInterface = QStringLiteral("org.freedesktop.DBus.Properties");
const QString kSpotify = QStringLiteral("Spotify");
const QString kMusic = QStringLiteral("Music");
const QString kChrome = QStringLiteral("Google Chrome");

// Separators of the tab listing must not come from a page, or a title could forge records.
QString withoutSeparators(QString text) {
    text.remove(QChar(0x1E));
    text.remove(QChar(0x1F));
    return text;
}

QString number(double value) {
    return QString::number(value, 'g', 15);
}

} // namespace

namespace mpris {

Role roleOf(const QString& busName) {
    if (!busName.startsWith(kBusPrefix)) return Role::ignored;
    const QString name = busName.mid(kBusPrefix.size()).section(QLatin1Char('.'), 0, 0).toLower();
    if (name == QStringLiteral("spotify")) return Role::spotify;
    static const QStringList chrome{QStringLiteral("chrome"), QStringLiteral("chromium"),
                                    QStringLiteral("google-chrome")};
    if (chrome.contains(name)) return Role::chrome;
    static const QStringList browsers{QStringLiteral("firefox"),
                                      QStringLiteral("librewolf"),
                                      QStringLiteral("brave"),
                                      QStringLiteral("vivaldi"),
                                      QStringLiteral("opera"),
                                      QStringLiteral("msedge"),
                                      QStringLiteral("epiphany"),
                                      QStringLiteral("falkon"),
                                      QStringLiteral("qutebrowser"),
                                      QStringLiteral("midori"),
                                      QStringLiteral("plasma-browser-integration")};
    if (browsers.contains(name)) return Role::otherBrowser;
    // playerctld mirrors whichever player is active; counting it would show that player twice.
    if (name.isEmpty() || name == QStringLiteral("playerctld")) return Role::ignored;
    return Role::player;
}

Roster rosterOf(QStringList busNames) {
    // The bus lists names in no fixed order; sorting makes "the first other player" stable.
    busNames.sort();
    Roster roster;
    for (const QString& name : busNames) {
        switch (roleOf(name)) {
        case Role::spotify:
            if (!roster.spotify) roster.spotify = name;
            break;
        case Role::player:
            roster.players.append(name);
            break;
        case Role::chrome:
            roster.chrome.append(name);
            break;
        case Role::otherBrowser:
        case Role::ignored:
            break;
        }
    }
    return roster;
}

QSet<QString> runningBundleIdentifiers(const Roster& roster) {
    QSet<QString> running;
    if (!roster.players.isEmpty()) running.insert(QStringLiteral("com.apple.Music"));
    if (roster.spotify) running.insert(QStringLiteral("com.spotify.client"));
    if (!roster.chrome.isEmpty()) running.insert(QStringLiteral("com.google.Chrome"));
    return running;
}

std::optional<QString> musicPlayer(const QStringList& players,
                                   const std::function<QString(const QString& busName)>& statusOf) {
    if (players.isEmpty()) return std::nullopt;
    if (players.size() > 1)
        for (const QString& name : players)
            if (statusOf(name) == QStringLiteral("Playing")) return name;
    return players.constFirst();
}

QVariantMap toMap(const QVariant& value) {
    if (value.metaType() == QMetaType::fromType<QDBusArgument>())
        return qdbus_cast<QVariantMap>(value.value<QDBusArgument>());
    return value.toMap();
}

QStringList playerFields(const QVariantMap& playerProperties, bool lengthInMilliseconds) {
    const QString status = playerProperties.value(QStringLiteral("PlaybackStatus")).toString();
    if (status != QStringLiteral("Playing") && status != QStringLiteral("Paused")) return {};
    const QVariantMap metadata = toMap(playerProperties.value(QStringLiteral("Metadata")));
    const QString title = metadata.value(QStringLiteral("xesam:title")).toString();
    if (title.isEmpty()) return {};
    const QVariant artists = metadata.value(QStringLiteral("xesam:artist"));
    const QString artist = artists.canConvert<QStringList>()
                               ? artists.toStringList().join(QStringLiteral(", "))
                               : artists.toString();
    const QString album = metadata.value(QStringLiteral("xesam:album")).toString();
    // MPRIS gives microseconds; the controller reads seconds, and a Spotify length in
    // milliseconds as that player's own automation reports it.
    const double position =
        std::max<qlonglong>(playerProperties.value(QStringLiteral("Position")).toLongLong(), 0);
    const double length = std::max<qlonglong>(metadata.value(QStringLiteral("mpris:length")).toLongLong(), 0);
    return {title,
            artist,
            album,
            status.toLower(),
            number(position / 1e6),
            number(lengthInMilliseconds ? length / 1e3 : length / 1e6)};
}

QString tabRecord(const QVariantMap& metadata) {
    const QString url = withoutSeparators(metadata.value(QStringLiteral("xesam:url")).toString());
    if (url.isEmpty()) return {};
    const QString title = withoutSeparators(metadata.value(QStringLiteral("xesam:title")).toString());
    return title + QChar(0x1F) + url + QChar(0x1E);
}

ArtworkPayload artworkPayload(const QVariantMap& metadata, qint64 maxBytes) {
    const QString address = metadata.value(QStringLiteral("mpris:artUrl")).toString();
    if (address.isEmpty()) return {};
    const QUrl url(address);
    if (!url.isLocalFile()) return {std::nullopt, address};
    try {
        // A player names any path it likes: a FIFO there must not hold up the media worker, nor
        // a huge file fill the memory.
        return {readStoredFile(url.toLocalFile(), maxBytes, LinkPolicy::follow), std::nullopt};
    } catch (const std::exception&) {
        return {};
    }
}

} // namespace mpris

MprisMediaAutomation::MprisMediaAutomation(QDBusConnection connection, IconThemes* themes)
    : connection_(std::move(connection)), ownThemes_(themes ? nullptr : std::make_unique<IconThemes>()),
      themes_(themes ? *themes : *ownThemes_) {}

MprisMediaAutomation::~MprisMediaAutomation() = default;

QStringList MprisMediaAutomation::playerNames() {
    if (!connection_.isConnected()) return {};
    const QDBusMessage call = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.DBus"), QStringLiteral("/org/freedesktop/DBus"),
        QStringLiteral("org.freedesktop.DBus"), QStringLiteral("ListNames"));
    const QDBusMessage reply = connection_.call(call, QDBus::Block, kCallTimeoutMs);
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) return {};
    QStringList names = reply.arguments().constFirst().toStringList();
    names.removeIf([](const QString& n) { return !n.startsWith(mpris::kBusPrefix); });
    return names;
}

std::optional<QVariantMap> MprisMediaAutomation::properties(const QString& busName,
                                                            const QString& interface) {
    QDBusMessage call =
        QDBusMessage::createMethodCall(busName, kObjectPath, kPropertiesInterface, QStringLiteral("GetAll"));
    call << interface;
    const QDBusMessage reply = connection_.call(call, QDBus::Block, kCallTimeoutMs);
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) return std::nullopt;
    return mpris::toMap(reply.arguments().constFirst());
}

std::optional<QString> MprisMediaAutomation::busNameOf(const QString& player) {
    const mpris::Roster roster = mpris::rosterOf(playerNames());
    if (player == kSpotify) return roster.spotify;
    if (player != kMusic) return std::nullopt;
    return mpris::musicPlayer(roster.players, [this](const QString& busName) {
        const auto props = properties(busName, kPlayerInterface);
        return props ? props->value(QStringLiteral("PlaybackStatus")).toString() : QString();
    });
}

void MprisMediaAutomation::callMethod(const QString& busName, const QString& interface,
                                      const QString& method) {
    connection_.call(QDBusMessage::createMethodCall(busName, kObjectPath, interface, method), QDBus::Block,
                     kCallTimeoutMs);
}

QSet<QString> MprisMediaAutomation::runningBundleIdentifiers() {
    return mpris::runningBundleIdentifiers(mpris::rosterOf(playerNames()));
}

std::optional<QStringList> MprisMediaAutomation::playerState(const QString& player) {
    const auto busName = busNameOf(player);
    if (!busName) return QStringList{}; // not running
    const auto props = properties(*busName, kPlayerInterface);
    if (!props) return std::nullopt;
    return mpris::playerFields(*props, player == kSpotify);
}

std::optional<QString> MprisMediaAutomation::browserTabListing(const QString& browser) {
    if (browser != kChrome) return std::nullopt;
    const mpris::Roster roster = mpris::rosterOf(playerNames());
    QString listing;
    for (const QString& instance : roster.chrome) {
        if (const auto props = properties(instance, kPlayerInterface))
            listing += mpris::tabRecord(mpris::toMap(props->value(QStringLiteral("Metadata"))));
    }
    return listing;
}

ArtworkPayload MprisMediaAutomation::artwork(const QString& player) {
    const auto busName = busNameOf(player);
    if (!busName) return {};
    const auto props = properties(*busName, kPlayerInterface);
    if (!props) return {};
    return mpris::artworkPayload(mpris::toMap(props->value(QStringLiteral("Metadata"))), kMaxArtworkBytes);
}

void MprisMediaAutomation::send(const QString& player, MediaCommand command) {
    const auto busName = busNameOf(player);
    if (!busName) return;
    QString method;
    switch (command) {
    case MediaCommand::previousTrack:
        method = QStringLiteral("Previous");
        break;
    case MediaCommand::playPause:
        method = QStringLiteral("PlayPause");
        break;
    case MediaCommand::nextTrack:
        method = QStringLiteral("Next");
        break;
    }
    callMethod(*busName, kPlayerInterface, method);
}

void MprisMediaAutomation::revealCurrentItem(const QString& player) {
    if (const auto busName = busNameOf(player)) callMethod(*busName, kRootInterface, QStringLiteral("Raise"));
}

void MprisMediaAutomation::activateTab(const QString& browser, const QString& url) {
    if (browser != kChrome) return;
    for (const QString& instance : mpris::rosterOf(playerNames()).chrome) {
        const auto props = properties(instance, kPlayerInterface);
        if (!props) continue;
        const QVariantMap metadata = mpris::toMap(props->value(QStringLiteral("Metadata")));
        if (metadata.value(QStringLiteral("xesam:url")).toString() != url) continue;
        callMethod(instance, kRootInterface, QStringLiteral("Raise"));
        return;
    }
}

QImage MprisMediaAutomation::applicationIcon(const QString& bundleIdentifier) {
    QStringList names;
    if (bundleIdentifier == QStringLiteral("com.spotify.client"))
        names = {QStringLiteral("spotify-client"), QStringLiteral("spotify")};
    else if (bundleIdentifier == QStringLiteral("com.apple.Music"))
        names = {QStringLiteral("multimedia-audio-player"), QStringLiteral("audio-x-generic")};
    else if (bundleIdentifier == QStringLiteral("com.google.Chrome"))
        names = {QStringLiteral("google-chrome"), QStringLiteral("chromium")};
    for (const QString& name : names) {
        // A player's icon file is the desktop's: read only within bounds, as every icon.
        const QIcon icon = themes_.icon(name);
        if (!icon.isNull()) return icon.pixmap(64).toImage();
    }
    return {};
}

} // namespace vantrel
