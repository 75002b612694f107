#pragma once

#include "platform/MediaAutomation.h"

#include <QHash>
#include <vector>

namespace vantrel::test {

// Players and browsers whose answers the test sets; every question is counted.
class ScriptedMediaAutomation final : public MediaAutomation {
public:
    QSet<QString> running;
    QHash<QString, std::optional<QStringList>> states; // by player; absent: none (failed)
    QHash<QString, std::optional<QString>> listings;   // by browser
    QHash<QString, ArtworkPayload> artworks;           // by player
    QHash<QString, QImage> icons;                      // by bundle identifier

    QStringList asked; // players and browsers, in asking order
    std::vector<std::pair<QString, MediaCommand>> sent;
    QStringList revealed;
    std::vector<std::pair<QString, QString>> activated;

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
    void send(const QString& player, MediaCommand command) override { sent.emplace_back(player, command); }
    void revealCurrentItem(const QString& player) override { revealed.append(player); }
    void activateTab(const QString& browser, const QString& url) override {
        activated.emplace_back(browser, url);
    }
    QImage applicationIcon(const QString& bundleIdentifier) override { return icons.value(bundleIdentifier); }
};

} // namespace vantrel::test
