#pragma once

#include "dock/RunningAppItem.h"

#include <QHash>
#include <QIcon>
#include <QObject>
#include <optional>
#include <vector>

namespace vantrel {

class AlertPresenter;
class RunningApplications;
struct DockShortcut;

// The running regular applications that the replacement Dock shows after its pinned items: the
// file manager first, the others by name, with their icons, the frontmost one and the hidden ones.
class RunningAppsStore : public QObject {
    Q_OBJECT
public:
    // The most running applications the Dock's row shows; a desktop flooded with windows gives
    // no more tiles.
    static constexpr std::size_t kMaximumApps = 64;

    // `alerts` asks before an application is force-quit.
    RunningAppsStore(RunningApplications& applications, AlertPresenter& alerts, QObject* parent = nullptr);

    const std::vector<RunningAppItem>& apps() const { return apps_; }

    // Rebuilds the list from the desktop.
    void refresh();
    // Updates only which item is frontmost and which are hidden; publishes even when nothing
    // changed.
    void refreshActiveState();
    // The running instance of a pinned application; none for any other kind of item.
    std::optional<RunningAppItem> runningApp(const DockShortcut& item) const;
    // The desktop-file id of the application entry at `path`; empty when it is none.
    QString bundleIdentifier(const QString& path) const;
    // Brings the application forward, then asks the user; on confirmation kills it. Nothing is
    // asked about an application whose process is not verified; that refusal, or a kill that
    // failed, is kept as its Force Quit status.
    void confirmForceQuit(const RunningAppItem& app);
    // Why the last Force Quit of the application did nothing, for its tile's menu; empty when it
    // worked or none was tried.
    QString forceQuitStatus(const RunningAppItem& app) const { return forceQuitStatus_.value(app.id); }

    // The desktop's generic application, else the kit's own drawing of one: what an application
    // is drawn with when no icon of its own can be. Read from the desktop once, for every tile.
    QIcon genericApplicationIcon() const;

    // The running application's own requests, for the tiles.
    void activate(const RunningAppItem& app);
    void hide(const RunningAppItem& app);
    void quit(const RunningAppItem& app);

Q_SIGNALS:
    void appsChanged();

private:
    RunningApplications& applications_;
    AlertPresenter& alerts_;
    std::vector<RunningAppItem> apps_;
    // Icons fetched once, by bundle identifier, else by name; dropped only when the desktop's
    // icon theme changes.
    QHash<QString, QIcon> iconCache_;
    // By process, while it is listed.
    QHash<qint32, QString> forceQuitStatus_;
    // For a program that brings no icon of its own; made when first needed.
    mutable QIcon genericIcon_;
};

} // namespace vantrel
