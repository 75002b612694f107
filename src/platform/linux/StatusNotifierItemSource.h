#pragma once

#include "platform/MenuBarItemSource.h"

#include <QDBusConnection>
#include <QString>
#include <QVariant>

namespace vantrel {

class RunningApplications;
class SimulatedMenuBar;

// Other programs' tray items as the desktop's StatusNotifierWatcher lists them on the session bus.
// Each item's title, tooltip title and identifier stand for the three names of an item, its owner
// is the program that registered it; where the items lie comes from the menu-bar model, since
// the bus does not say. Without a watcher the model's own items answer. Every call waits at most
// kCallTimeoutMs, so a program that does not answer costs that much and no more.
class StatusNotifierItemSource final : public MenuBarItemSource {
public:
    static constexpr int kCallTimeoutMs = 250;
    static constexpr const char* kWatcherService = "org.kde.StatusNotifierWatcher";
    static constexpr const char* kDefaultItemPath = "/StatusNotifierItem";

    struct Sources {
        QDBusConnection connection;
        SimulatedMenuBar& model;
        // Names programs by process; none: only the process table names them.
        const RunningApplications* runningApplications = nullptr;
        // This program's process: its own items are never listed.
        qint64 ownProcessId = 0;
        // Where a process's command name is read, as "<procRoot>/<pid>/comm".
        QString procRoot = QStringLiteral("/proc");
    };

    explicit StatusNotifierItemSource(Sources sources) : sources_(std::move(sources)) {}

    std::vector<MenuBarItemRecord> menuBarItems() override;

    // A watcher entry: a bus name with an optional object path.
    struct Address {
        QString service;
        QString path;
        bool operator==(const Address&) const = default;
    };
    static Address addressOf(const QString& entry);
    // The title of a ToolTip property value, none when it is not a tooltip.
    static std::optional<QString> toolTipTitle(const QVariant& value);

private:
    bool isWatcherRunning() const;
    std::optional<QStringList> registeredItems() const;
    std::optional<qint64> processOf(const QString& service) const;
    std::optional<QString> programName(qint64 processId) const;
    bool isOwnItem(const QString& service, std::optional<qint64> processId) const;

    Sources sources_;
};

} // namespace vantrel
