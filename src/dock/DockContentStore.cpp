#include "dock/DockContentStore.h"

#include "core/WebsiteAddress.h"

#include "core/LocalPersistence.h"
#include "platform/OpenPanel.h"
#include "platform/RunningApplications.h"
#include "platform/SystemLog.h"
#include "platform/Workspace.h"

#include <QDir>
#include <QFileInfo>
#include <algorithm>

namespace vantrel {

namespace {

const QString kNoLongerValid = QStringLiteral("This shortcut is no longer valid.");

// The same file however the path was written: "." and ".." components and a trailing slash
// make no difference.
QString standardized(const QString& path) {
    return QDir::cleanPath(QFileInfo(path).absoluteFilePath());
}

DockShortcut newItem(const QString& title, const QString& target, DockShortcut::Kind kind) {
    DockShortcut item{QUuid::createUuid(), {}, target, kind, std::nullopt};
    item.setTitle(title);
    return item;
}

} // namespace

DockContentStore::DockContentStore(LocalPersistence& persistence, Workspace& workspace, OpenPanel& openPanel,
                                   RunningApplications& running, QObject* parent)
    : QObject(parent), persistence_(persistence), workspace_(workspace), openPanel_(openPanel),
      running_(running), statusMessage_(QString::fromLatin1(kEmptyMessage)),
      file_(persistence, persistence.scheduler(), kFileName,
            [this] { return [items = allItems()] { return DockShortcut::encodeList(items); }; }, {}) {
    connect(&file_, &StoreFile::unsavedChanged, this, &DockContentStore::unsavedChanged);
    connect(&file_, &StoreFile::stateChanged, this, &DockContentStore::saveStateChanged);
    // A missing file is an empty Dock. A damaged one is logged and also gives an empty Dock; the
    // persistence layer copies it aside before the first save replaces it. What an earlier
    // session could not save is taken back from its recovery files, and saved.
    const auto merge = [](const QJsonValue& kept, const QJsonValue& recovered) {
        return QJsonValue(LocalPersistence::mergeItems(kept, recovered));
    };
    auto outcome = persistence_.load(kFileName, merge, &DockShortcut::decodeList);
    if (auto* loaded = outcome.value()) items_ = std::move(*loaded);
    file_.loaded();
    const bool tookBack = !persistence_.takenBack(kFileName).isEmpty();
    // No screen holds a row of more tiles than this; building them would only stall the Dock and
    // the settings page. The others stay in the file, in their place after the shown ones.
    if (items_.size() > kShownItemLimit) {
        const std::size_t total = items_.size();
        unshown_.assign(std::make_move_iterator(items_.begin() + kShownItemLimit),
                        std::make_move_iterator(items_.end()));
        items_.erase(items_.begin() + kShownItemLimit, items_.end());
        persistence_.log(LogLevel::info,
                         QStringLiteral("%1 holds %2 items; the Dock shows the first %3 and keeps the others "
                                        "in the file")
                             .arg(kFileName)
                             .arg(total)
                             .arg(kShownItemLimit));
    }
    if (tookBack) persist();
}

bool DockContentStore::addApplication(const QString& path, bool updateStatus) {
    const QString target = standardized(path);
    const bool pinned = std::any_of(items_.begin(), items_.end(), [&](const DockShortcut& item) {
        return item.kind == DockShortcut::Kind::application && standardized(item.target) == target;
    });
    if (pinned) {
        if (updateStatus) setStatusMessage(QStringLiteral("That application is already in Vantrel Dock."));
        return false;
    }
    // An entry is titled by its name in the user's language, as the desktop lists it.
    const auto info = workspace_.applicationInfo(target);
    const QString title = info && !info->name.isEmpty() ? info->name : QFileInfo(target).completeBaseName();
    const bool saved = append(newItem(title, target, DockShortcut::Kind::application));
    if (saved && updateStatus) setStatusMessage(QStringLiteral("Application kept in Vantrel Dock."));
    return true;
}

void DockContentStore::chooseApplications(QWidget* over) {
    const auto chosen = openPanel_.runMultiple({.title = QStringLiteral("Add applications to Vantrel Dock"),
                                                .prompt = QStringLiteral("Add"),
                                                .applicationsOnly = true,
                                                .foldersOnly = false,
                                                .parent = over});
    if (!chosen) return;
    int added = 0;
    bool saved = true;
    for (const QString& path : *chosen) {
        if (!addApplication(path, false)) continue;
        ++added;
        saved = saved && !lastSaveFailed_;
    }
    if (!saved) return;
    if (added > 0)
        setStatusMessage(QStringLiteral("Added %1 application%2.")
                             .arg(added)
                             .arg(added == 1 ? QString() : QStringLiteral("s")));
    else
        setStatusMessage(QStringLiteral("Those applications are already in Vantrel Dock."));
}

void DockContentStore::chooseFolder() {
    const auto chosen = openPanel_.run({.title = QStringLiteral("Add a folder to Vantrel Dock"),
                                        .prompt = QStringLiteral("Add Folder"),
                                        .foldersOnly = true});
    if (!chosen || chosen->isEmpty()) return;
    const QString& path = *chosen;
    if (std::any_of(items_.begin(), items_.end(),
                    [&](const DockShortcut& item) { return item.target == path; })) {
        setStatusMessage(QStringLiteral("That folder is already in Vantrel Dock."));
        return;
    }
    const QString name = QFileInfo(path).fileName();
    if (append(newItem(name.isEmpty() ? path : name, path, DockShortcut::Kind::folder)))
        setStatusMessage(QStringLiteral("Folder added."));
}

bool DockContentStore::addWebsite(const QString& title, const QString& address) {
    QString candidate = address.trimmed();
    if (!candidate.contains(QStringLiteral("://"))) candidate.prepend(QStringLiteral("https://"));
    const auto url = websiteUrl(candidate);
    if (!url) {
        setStatusMessage(QStringLiteral("Enter a valid website address."));
        return false;
    }
    // The address as it was typed, scheme and host in their own case.
    const QString& target = candidate;
    if (std::any_of(items_.begin(), items_.end(),
                    [&](const DockShortcut& item) { return item.target == target; })) {
        setStatusMessage(QStringLiteral("That website is already in Vantrel Dock."));
        return false;
    }
    QString name = title.trimmed();
    if (name.isEmpty()) name = url->host();
    if (append(newItem(name, target, DockShortcut::Kind::website)))
        setStatusMessage(QStringLiteral("Website added."));
    return true;
}

void DockContentStore::open(const DockShortcut& item) {
    switch (item.kind) {
    case DockShortcut::Kind::separator:
        return;
    case DockShortcut::Kind::website:
        // The file may have been edited by hand: only http and https addresses with a host open.
        if (const auto url = websiteUrl(item.target)) {
            workspace_.open(*url);
            return;
        }
        break;
    case DockShortcut::Kind::folder:
        if (!item.target.isEmpty()) {
            workspace_.open(QUrl::fromLocalFile(item.target));
            return;
        }
        break;
    case DockShortcut::Kind::application:
        if (!item.target.isEmpty()) {
            // Started from its entry as the desktop does, never through a shell; an entry that
            // has gone meanwhile is only logged.
            const QString target = standardized(item.target);
            const QString identifier = running_.bundleIdentifier(target);
            for (const RunningApplication& app : running_.runningApplications()) {
                if (!app.isRegular || app.isTerminated) continue;
                const bool same = identifier.isEmpty()
                                      ? app.bundleURL && standardized(*app.bundleURL) == target
                                      : app.bundleIdentifier == identifier;
                if (same) {
                    running_.activate(app.processIdentifier);
                    return;
                }
            }
            workspace_.launchApplication(target);
            return;
        }
        break;
    }
    setStatusMessage(kNoLongerValid);
}

bool DockContentStore::move(const DockShortcut& item, const DockShortcut& target) {
    if (item.id == target.id) return false;
    const auto indexOf = [this](const QUuid& id) {
        return std::find_if(items_.begin(), items_.end(), [&](const DockShortcut& i) { return i.id == id; }) -
               items_.begin();
    };
    const qint64 source = indexOf(item.id);
    const qint64 destination = indexOf(target.id);
    const auto count = static_cast<qint64>(items_.size());
    if (source == count || destination == count) return false;
    auto items = items_;
    DockShortcut moved = items[static_cast<std::size_t>(source)];
    items.erase(items.begin() + source);
    items.insert(items.begin() + destination, std::move(moved));
    setItems(std::move(items));
    return true;
}

void DockContentStore::move(const DockShortcut& item, int offset) {
    const auto it =
        std::find_if(items_.begin(), items_.end(), [&](const DockShortcut& i) { return i.id == item.id; });
    if (it == items_.end()) return;
    const qint64 source = it - items_.begin();
    const qint64 destination = std::clamp<qint64>(source + offset, 0, static_cast<qint64>(items_.size()) - 1);
    if (destination == source) return;
    auto items = items_;
    DockShortcut moved = items[static_cast<std::size_t>(source)];
    items.erase(items.begin() + source);
    items.insert(items.begin() + destination, std::move(moved));
    setItems(std::move(items));
}

void DockContentStore::setFolderColor(DockFolderColor color, const DockShortcut& item) {
    auto items = items_;
    const auto it =
        std::find_if(items.begin(), items.end(), [&](const DockShortcut& i) { return i.id == item.id; });
    if (it == items.end()) return;
    if (color == DockFolderColor::none)
        it->folderColor.reset();
    else
        it->folderColor = color;
    setItems(std::move(items));
}

void DockContentStore::remove(const DockShortcut& item) {
    const auto same = [&](const DockShortcut& i) { return i.id == item.id; };
    auto items = items_;
    std::erase_if(items, same);
    std::erase_if(unshown_, same);
    setItems(std::move(items));
}

std::optional<QIcon> DockContentStore::icon(const DockShortcut& item) const {
    switch (item.kind) {
    case DockShortcut::Kind::website:
    case DockShortcut::Kind::separator:
        return std::nullopt;
    case DockShortcut::Kind::folder:
        // A tagged folder is drawn by its tile, also one tagged "none" that was stored so.
        if (item.folderColor) return std::nullopt;
        break;
    case DockShortcut::Kind::application:
        break;
    }
    return workspace_.iconForFile(item.target);
}

void DockContentStore::persist() {
    // While the file could not be read it is left as it is, and the list goes to a recovery file
    // beside it instead, so what this session adds outlives it. The list keeps its new content in
    // memory whatever happens; a failed save is told in the window with where the list went, the
    // Dock's status says it was not saved, and it is tried again.
    // This change's own write, when it was made at once; one that waits has not failed yet.
    const std::optional<SaveOutcome> outcome = file_.changed();
    lastSaveFailed_ = outcome && *outcome != SaveOutcome::written && *outcome != SaveOutcome::heldBack;
    if (lastSaveFailed_) setStatusMessage(QStringLiteral("Could not save Vantrel Dock items."));
}

std::vector<DockShortcut> DockContentStore::allItems() const {
    if (unshown_.empty()) return items_;
    std::vector<DockShortcut> all;
    all.reserve(items_.size() + unshown_.size());
    all.insert(all.end(), items_.begin(), items_.end());
    all.insert(all.end(), unshown_.begin(), unshown_.end());
    return all;
}

DockContentStore::~DockContentStore() {
    file_.flush();
}

bool DockContentStore::setItems(std::vector<DockShortcut> items) {
    items_ = std::move(items);
    Q_EMIT itemsChanged();
    persist();
    return !lastSaveFailed_;
}

bool DockContentStore::append(DockShortcut item) {
    auto items = items_;
    added_.insert(item.id);
    items.push_back(std::move(item));
    // A file gives the Dock only its first kShownItemLimit items, so one added beyond them would
    // be gone at the next start. The last item shown that this session did not add makes room
    // instead, and stays in the file just after the shown ones: the Dock shows the same before
    // and after a restart.
    if (items.size() > kShownItemLimit) {
        auto makesRoom = std::find_if(items.rbegin() + 1, items.rend(),
                                      [&](const DockShortcut& i) { return !added_.contains(i.id); });
        if (makesRoom == items.rend()) makesRoom = items.rbegin() + 1;
        const auto at = std::prev(makesRoom.base());
        unshown_.insert(unshown_.begin(), std::move(*at));
        items.erase(at);
    }
    return setItems(std::move(items));
}

void DockContentStore::setStatusMessage(const QString& message) {
    statusMessage_ = message;
    Q_EMIT statusMessageChanged();
}

} // namespace vantrel
