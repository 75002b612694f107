#pragma once

#include "platform/MediaAutomation.h"

#include <QHash>

namespace vantrel::test {

// Players and browsers whose answers the test sets; every question is counted.
class ScriptedMediaAutomation final : public MediaAutomation {
public:
    QSet<QString> running;
    QHash<QString, std::optional<QStringList>> states; // by player; absent: none (failed)
    QHash<QString, std::optional<QString>> listings;   // by browser
    QHash<QString, ArtworkPayload> artworks;           // by player
    QHash<QString, QImage> icons;                      // by bundle identifier

    QStringList asked;   // players and browsers, in asking order
    QStringList actions; // "send Spotify 2" (the command's number), "reveal Music", "activate Safari <url>"

    QSet<QString> runningBundleIdentifiers() override { return running; }
    std::optional<QStringList> playerState(const QString& player) override {
        asked.append(player);
        return states.value(player, std::nullopt);
    }
    std::optional<QString> browserTabListing(const QString& browser) override {
        asked.append(browser);
        return listings.value(browser, std::nullopt);
    }
    ArtworkPayload artwork(const QString& player) override { return artworks.value(player); }
    void send(const QString& player, MediaCommand command) override {
        actions.append(QStringLiteral("send %1 %2").arg(player).arg(int(command)));
    }
    void revealCurrentItem(const QString& player) override {
        actions.append(QStringLiteral("reveal ") + player);
    }
    void activateTab(const QString& browser, const QString& url) override {
        actions.append(QStringLiteral("activate %1 %2").arg(browser, url));
    }
    QImage applicationIcon(const QString& bundleIdentifier) override { return icons.value(bundleIdentifier); }
};

} // namespace vantrel::test
