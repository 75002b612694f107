#include "dock/RunningAppsStore.h"

#include "dock/DockShortcut.h"
#include "kit/GlyphCatalogue.h"
#include "platform/AlertPresenter.h"
#include "platform/RunningApplications.h"

#include <QDir>
#include <QFileInfo>
#include <QPainter>
#include <QPixmap>
#include <algorithm>

namespace vantrel {

namespace {

QString standardized(const QString& path) {
    return QDir::cleanPath(QFileInfo(path).absoluteFilePath());
}

} // namespace

QIcon RunningAppsStore::genericApplicationIcon() const {
    if (!genericIcon_.isNull()) return genericIcon_;
    const QIcon themed = applications_.genericApplicationIcon();
    // A theme may name the icon in a form no image reader here decodes.
    if (!themed.isNull() && !themed.pixmap(64, 64).isNull()) {
        genericIcon_ = themed;
        return genericIcon_;
    }
    constexpr int kSide = 256;
    QPixmap pixmap(kSide, kSide);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    GlyphCatalogue::paint(painter, u"app.fill", QRectF(0, 0, kSide, kSide), QColor(142, 142, 147));
    painter.end();
    genericIcon_ = QIcon(pixmap);
    return genericIcon_;
}

RunningAppsStore::RunningAppsStore(RunningApplications& applications, AlertPresenter& alerts, QObject* parent)
    : QObject(parent), applications_(applications), alerts_(alerts) {
    refresh();
    // Connected to this store, so no notice reaches it once it is gone.
    connect(&applications_, &RunningApplications::applicationsChanged, this, &RunningAppsStore::refresh);
    connect(&applications_, &RunningApplications::frontmostChanged, this,
            &RunningAppsStore::refreshActiveState);
    // Icons fetched under the theme before are of no further use.
    connect(&applications_, &RunningApplications::iconsChanged, this, [this] {
        iconCache_.clear();
        genericIcon_ = QIcon();
        refresh();
    });
    // A program's own window icon changed: the icon kept for it would draw the new picture, but
    // the tiles draw what they took of it before, and take it again only from a new icon.
    connect(&applications_, &RunningApplications::windowIconsChanged, this,
            [this](const QList<qint32>& processes) {
                bool kept = false;
                for (const RunningAppItem& app : apps_)
                    if (processes.contains(app.id))
                        kept |= iconCache_.remove(app.bundleIdentifier.isEmpty() ? app.name
                                                                                 : app.bundleIdentifier) > 0;
                if (kept) refresh();
            });
}

void RunningAppsStore::refresh() {
    const auto frontmost = applications_.frontmostProcessIdentifier();
    std::vector<RunningApplication> running = applications_.runningApplications();
    std::erase_if(running, [](const RunningApplication& app) { return !app.isRegular || app.isTerminated; });
    // The file manager first, whatever its name; the others by name as plain strings.
    const QString fileManager = applications_.fileManagerIdentifier();
    const auto isFileManager = [&](const RunningApplication& app) {
        return !fileManager.isEmpty() && app.bundleIdentifier == fileManager;
    };
    std::stable_sort(running.begin(), running.end(),
                     [&](const RunningApplication& a, const RunningApplication& b) {
                         if (isFileManager(a) != isFileManager(b)) return isFileManager(a);
                         return a.localizedName < b.localizedName;
                     });

    std::vector<RunningAppItem> items;
    QHash<qint32, QString> statuses;
    for (const RunningApplication& app : running) {
        if (items.size() == kMaximumApps) break;
        if (app.localizedName.isEmpty()) continue;
        if (forceQuitStatus_.contains(app.processIdentifier))
            statuses.insert(app.processIdentifier, forceQuitStatus_.value(app.processIdentifier));
        const QString key = app.bundleIdentifier.isEmpty() ? app.localizedName : app.bundleIdentifier;
        QIcon icon = iconCache_.value(key);
        if (icon.isNull()) icon = app.icon;
        if (!icon.isNull()) {
            iconCache_.insert(key, icon);
        } else {
            // No running program is left out for want of an icon. The stand-in is not kept, so
            // the program's own icon shows once it has one.
            icon = genericApplicationIcon();
        }
        items.push_back({app.processIdentifier, app.localizedName, icon, app.bundleIdentifier, app.bundleURL,
                         frontmost && *frontmost == app.processIdentifier, app.isHidden,
                         app.processVerified});
    }
    apps_ = std::move(items);
    forceQuitStatus_ = std::move(statuses);
    Q_EMIT appsChanged();
}

void RunningAppsStore::refreshActiveState() {
    const auto frontmost = applications_.frontmostProcessIdentifier();
    const std::vector<RunningApplication> running = applications_.runningApplications();
    for (RunningAppItem& item : apps_) {
        item.isActive = frontmost && *frontmost == item.id;
        const auto it = std::find_if(running.begin(), running.end(), [&](const RunningApplication& app) {
            return app.processIdentifier == item.id;
        });
        if (it != running.end()) item.isHidden = it->isHidden;
    }
    Q_EMIT appsChanged();
}

std::optional<RunningAppItem> RunningAppsStore::runningApp(const DockShortcut& item) const {
    if (item.kind != DockShortcut::Kind::application) return std::nullopt;
    const QString target = standardized(item.target);
    const QString identifier = applications_.bundleIdentifier(target);
    const auto it = std::find_if(apps_.begin(), apps_.end(), [&](const RunningAppItem& app) {
        if (!identifier.isEmpty()) return app.bundleIdentifier == identifier;
        return app.bundleURL && standardized(*app.bundleURL) == target;
    });
    if (it == apps_.end()) return std::nullopt;
    return *it;
}

void RunningAppsStore::confirmForceQuit(const RunningAppItem& app) {
    const std::vector<RunningApplication> running = applications_.runningApplications();
    const auto found = std::find_if(running.begin(), running.end(), [&](const RunningApplication& candidate) {
        return candidate.processIdentifier == app.id && !candidate.isTerminated;
    });
    // Ended meanwhile: its tile goes with it.
    if (found == running.end()) return;
    if (!found->processVerified) {
        forceQuitStatus_.insert(app.id, QStringLiteral("Not force quit: the process of ") + app.name +
                                            QStringLiteral(" can no longer be confirmed."));
        Q_EMIT appsChanged();
        return;
    }
    // Forward first, so the question stands beside the application it is about.
    applications_.activate(app.id);
    const auto answer =
        alerts_.run({.style = AlertPresenter::Style::critical,
                     .messageText = QStringLiteral("Force Quit ") + app.name + QLatin1Char('?'),
                     .informativeText = QStringLiteral("Any unsaved changes in ") + app.name +
                                        QStringLiteral(" will be lost."),
                     .buttons = {QStringLiteral("Force Quit"), QStringLiteral("Cancel")}});
    if (answer != 0) return;
    // The list follows when the window manager reports the program gone.
    if (applications_.forceTerminate(app.id))
        forceQuitStatus_.remove(app.id);
    else
        forceQuitStatus_.insert(app.id, app.name + QStringLiteral(" could not be force quit."));
    Q_EMIT appsChanged();
}

QString RunningAppsStore::bundleIdentifier(const QString& path) const {
    return applications_.bundleIdentifier(path);
}

void RunningAppsStore::activate(const RunningAppItem& app) {
    applications_.activate(app.id);
}

void RunningAppsStore::hide(const RunningAppItem& app) {
    applications_.hide(app.id);
}

void RunningAppsStore::quit(const RunningAppItem& app) {
    applications_.terminate(app.id);
}

} // namespace vantrel
