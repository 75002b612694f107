#include "modules/MediaPlaybackPolicy.h"

#include <QUrl>
#include <algorithm>
#include <cmath>

namespace vantrel::MediaPlaybackPolicy {

namespace {

// Positions arrive formatted for the user's locale, so a decimal comma is accepted; anything
// else around the number (blanks included) makes it unreadable, which reads as 0.
double readNumber(QString text) {
    if (text.isEmpty()) return 0;
    if (std::any_of(text.cbegin(), text.cend(), [](QChar c) { return c.isSpace(); })) return 0;
    text.replace(QLatin1Char(','), QLatin1Char('.'));
    bool ok = false;
    const double value = text.toDouble(&ok);
    if (!ok || !std::isfinite(value) || value < 0) return 0;
    return value;
}

bool hostMatches(const QString& host, const QString& domain) {
    return host == domain || host.endsWith(QLatin1Char('.') + domain);
}

} // namespace

std::optional<MediaSnapshot> snapshot(const QStringList& fields, const QString& source) {
    if (fields.size() != 6) return std::nullopt;
    if (source != kMusic && source != kSpotify) return std::nullopt;
    MediaSnapshot result;
    result.title = fields[0];
    result.artist = fields[1];
    result.album = fields[2];
    result.isPlaying = fields[3].toLower() == QStringLiteral("playing");
    result.elapsed = readNumber(fields[4]);
    result.duration = readNumber(fields[5]);
    // Spotify reports the length in milliseconds but the position in seconds.
    if (source == kSpotify) result.duration /= 1000;
    result.source = source;
    return result;
}

QString formatTime(double seconds) {
    if (!std::isfinite(seconds) || seconds <= 0) return QStringLiteral("0:00");
    const auto total = static_cast<long long>(std::floor(std::min(seconds, 31'536'000.0)));
    const long long minutes = total / 60;
    return QString::number(minutes) + QLatin1Char(':') +
           QString::asprintf("%02d", static_cast<int>(total - minutes * 60));
}

bool hasCurrentItem(const QString& title) {
    const QString trimmed = title.trimmed();
    return !trimmed.isEmpty() && trimmed != kNothingPlaying;
}

std::optional<MediaSnapshot> select(const std::vector<MediaSnapshot>& snapshots,
                                    const std::optional<MediaSnapshot>& previous,
                                    const QSet<QString>& failedSources) {
    std::vector<const MediaSnapshot*> candidates;
    for (const auto& s : snapshots)
        if (hasCurrentItem(s.title)) candidates.push_back(&s);

    auto first = [&](auto predicate) -> std::optional<MediaSnapshot> {
        for (const MediaSnapshot* c : candidates)
            if (predicate(*c)) return *c;
        return std::nullopt;
    };

    if (previous) {
        if (auto r =
                first([&](const MediaSnapshot& c) { return c.isPlaying && c.source == previous->source; }))
            return r;
    }
    if (auto r = first([](const MediaSnapshot& c) { return c.isPlaying; })) return r;
    if (previous) {
        if (auto r = first([&](const MediaSnapshot& c) { return c.source == previous->source; })) return r;
        // A player that failed to answer keeps its last known state on screen.
        if (failedSources.contains(previous->source)) return previous;
    }
    if (candidates.empty()) return std::nullopt;
    return *candidates.front();
}

std::optional<BrowserTab> firstMediaTab(const QString& output, const QString& browser,
                                        const QString& bundleIdentifier) {
    const QChar recordSeparator(0x1E);
    const QChar unitSeparator(0x1F);
    for (const QStringView record : QStringView(output).split(recordSeparator, Qt::SkipEmptyParts)) {
        const qsizetype cut = record.indexOf(unitSeparator);
        if (cut < 0) continue;
        const QStringView titlePiece = record.left(cut);
        const QString address = record.mid(cut + 1).toString();

        const QUrl url(address, QUrl::StrictMode);
        if (!url.isValid()) continue;
        const QString scheme = url.scheme().toLower();
        if (scheme != QStringLiteral("https") && scheme != QStringLiteral("http")) continue;
        const QString host = url.host().toLower();
        if (host.isEmpty()) continue;

        for (const MediaHost& row : kMediaHosts) {
            if (!hostMatches(host, QLatin1String(row.domain))) continue;
            const QString siteName = QString::fromUtf8(row.siteName);
            QString title = titlePiece.trimmed().toString();
            title.remove(QStringLiteral(" - ") + siteName);
            return BrowserTab{browser, bundleIdentifier, title, address, siteName};
        }
    }
    return std::nullopt;
}

} // namespace vantrel::MediaPlaybackPolicy
