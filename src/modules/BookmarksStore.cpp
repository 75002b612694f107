#include "modules/BookmarksStore.h"

#include "core/WebsiteAddress.h"

#include "core/LocalPersistence.h"
#include "platform/OpenPanel.h"
#include "platform/Workspace.h"

#include <QFileInfo>
#include <QUrl>
#include <algorithm>

namespace vantrel {

BookmarksStore::BookmarksStore(LocalPersistence& persistence, Workspace& workspace, OpenPanel& openPanel,
                               QObject* parent)
    : QObject(parent), persistence_(persistence), workspace_(workspace), openPanel_(openPanel),
      statusMessage_(kEmptyHint),
      file_(persistence, persistence.scheduler(), kFileName,
            [this] { return [items = items_] { return VantrelBookmark::encodeList(items); }; }, {}) {
    connect(&file_, &StoreFile::unsavedChanged, this, &BookmarksStore::unsavedChanged);
    connect(&file_, &StoreFile::stateChanged, this, &BookmarksStore::saveStateChanged);
    connect(&workspace_, &Workspace::iconsChanged, this, &BookmarksStore::iconsChanged);
    // A missing file starts an empty list; a damaged one is logged, and kept aside by the
    // persistence layer before the first save replaces it. What an earlier session could not
    // save is taken back from its recovery files, and saved.
    const auto merge = [](const QJsonValue& kept, const QJsonValue& recovered) {
        return QJsonValue(LocalPersistence::mergeItems(kept, recovered));
    };
    auto outcome = persistence_.load(kFileName, merge, &VantrelBookmark::decodeList);
    if (auto* loaded = outcome.value()) items_ = std::move(*loaded);
    file_.loaded();
    if (!persistence_.takenBack(kFileName).isEmpty()) persist();
}

BookmarksStore::~BookmarksStore() {
    file_.flush();
}

bool BookmarksStore::addWebsite(const QString& title, const QString& address) {
    QString candidate = address.trimmed();
    if (!candidate.contains(QStringLiteral("://"))) candidate.prepend(QStringLiteral("https://"));
    const auto url = websiteUrl(candidate);
    if (!url) {
        setStatusMessage(QStringLiteral("Enter a valid website address."));
        return false;
    }
    const QString trimmedTitle = title.trimmed();
    // The address as typed, scheme and host in their own case: duplicates are exact targets,
    // so "HTTPS://Example.com" and "https://example.com" are two bookmarks.
    const QString& target = candidate;
    if (std::any_of(items_.begin(), items_.end(),
                    [&](const VantrelBookmark& b) { return b.target == target; })) {
        setStatusMessage(QStringLiteral("That website is already saved."));
        return false;
    }
    auto items = items_;
    items.push_back({QUuid::createUuid(), trimmedTitle.isEmpty() ? url->host() : trimmedTitle, target,
                     VantrelBookmark::Kind::website});
    // Kept for the session either way; "saved" only once it is on disk.
    if (setItems(std::move(items))) setStatusMessage(kWebsiteSaved);
    return true;
}

void BookmarksStore::chooseApplication(QWidget* over) {
    const auto chosen = openPanel_.run({.title = QStringLiteral("Add an application to Vantrel"),
                                        .prompt = QStringLiteral("Add App"),
                                        .applicationsOnly = true,
                                        .foldersOnly = false,
                                        .parent = over});
    if (!chosen || chosen->isEmpty()) return;
    const QString path = *chosen;
    if (std::any_of(items_.begin(), items_.end(),
                    [&](const VantrelBookmark& b) { return b.target == path; })) {
        setStatusMessage(QStringLiteral("That application is already saved."));
        return;
    }
    // The panel offers applications, but a typed path can name any file.
    const auto info = workspace_.applicationInfo(path);
    if (!info) {
        setStatusMessage(QStringLiteral("That file is not an application."));
        return;
    }
    auto items = items_;
    items.push_back({QUuid::createUuid(),
                     info->name.isEmpty() ? QFileInfo(path).completeBaseName() : info->name, path,
                     VantrelBookmark::Kind::application});
    if (setItems(std::move(items))) setStatusMessage(kApplicationSaved);
}

void BookmarksStore::open(const VantrelBookmark& bookmark) {
    // The file may have been edited by hand since it was saved: a website opens only as http or
    // https, and an application only while its entry still describes one.
    switch (bookmark.kind) {
    case VantrelBookmark::Kind::website:
        if (const auto url = websiteUrl(bookmark.target)) {
            workspace_.open(*url);
            return;
        }
        break;
    case VantrelBookmark::Kind::application:
        if (workspace_.applicationInfo(bookmark.target)) {
            workspace_.launchApplication(bookmark.target);
            return;
        }
        break;
    }
    setStatusMessage(QStringLiteral("This bookmark is no longer valid."));
}

void BookmarksStore::move(const VantrelBookmark& bookmark, int offset) {
    const auto it = std::find_if(items_.begin(), items_.end(),
                                 [&](const VantrelBookmark& b) { return b.id == bookmark.id; });
    if (it == items_.end()) return;
    const qint64 position = it - items_.begin();
    const qint64 destination =
        std::clamp<qint64>(position + offset, 0, static_cast<qint64>(items_.size()) - 1);
    if (destination == position) return;
    auto items = items_;
    VantrelBookmark moved = items[static_cast<std::size_t>(position)];
    items.erase(items.begin() + position);
    items.insert(items.begin() + destination, std::move(moved));
    setItems(std::move(items));
}

void BookmarksStore::remove(const VantrelBookmark& bookmark) {
    auto items = items_;
    std::erase_if(items, [&](const VantrelBookmark& b) { return b.id == bookmark.id; });
    const bool emptied = !items_.empty() && items.empty();
    // The empty list shows the status as its description: an old "Website saved." there would
    // speak of a bookmark that is gone.
    if (setItems(std::move(items)) && emptied) setStatusMessage(kEmptyHint);
}

std::optional<QIcon> BookmarksStore::icon(const VantrelBookmark& bookmark) const {
    if (bookmark.kind != VantrelBookmark::Kind::application) return std::nullopt;
    return workspace_.iconForFile(bookmark.target);
}

bool BookmarksStore::setItems(std::vector<VantrelBookmark> items) {
    items_ = std::move(items);
    Q_EMIT itemsChanged();
    if (persist()) return true;
    setStatusMessage(kSaveFailed);
    return false;
}

void BookmarksStore::setStatusMessage(const QString& message) {
    statusMessage_ = message;
    Q_EMIT statusMessageChanged();
}

bool BookmarksStore::persist() {
    // A failure is told in the window, with where the list went instead, and tried again.
    // This change's own write, when it was made at once; one that waits has not failed yet.
    const std::optional<SaveOutcome> outcome = file_.changed();
    return !outcome || *outcome == SaveOutcome::written || *outcome == SaveOutcome::heldBack;
}

} // namespace vantrel
