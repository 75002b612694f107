#pragma once

#include "platform/Clock.h"
#include "platform/MenuBarItemSource.h"

#include <QDBusConnection>
#include <QObject>
#include <QString>
#include <QVariant>
#include <vector>

namespace vantrel {

class RunningApplications;
struct RunningApplication;
class Scheduler;
class SimulatedMenuBar;

// Other programs' tray items as the desktop's StatusNotifierWatcher lists them on the session bus.
// Each item's title, tooltip title and identifier stand for the three names of an item, its owner
// is the program that registered it; where the items lie comes from the menu-bar model, since
// the bus does not say. Without a watcher the model's own items answer.
//
// Every question goes out at once and nothing waits for an answer: a pass ends when all have
// answered or when kScanBudget has passed, whichever comes first, and delivers what answered by
// then. An item that did not answer is listed under its program's name only; a watcher that did
// not answer lists nothing.
class StatusNotifierItemSource final : public QObject, public MenuBarItemSource {
    Q_OBJECT
public:
    static constexpr Seconds kScanBudget{1.0};
    // The most entries of a watcher's list a pass asks about.
    static constexpr int kMaxItems = 512;
    static constexpr const char* kWatcherService = "org.kde.StatusNotifierWatcher";
    static constexpr const char* kDefaultItemPath = "/StatusNotifierItem";

    struct Sources {
        QDBusConnection connection;
        SimulatedMenuBar& model;
        // Ends a pass at its budget.
        Scheduler& scheduler;
        // Names programs by process; none: only the process table names them.
        const RunningApplications* runningApplications = nullptr;
        // This program's process: its own items are never listed.
        qint64 ownProcessId = 0;
        // Where a process's command name is read, as "<procRoot>/<pid>/comm".
        QString procRoot = QStringLiteral("/proc");
        // How long the bus waits for one answer before it gives the call up; the budget ends a
        // pass whatever this is.
        int callTimeoutMs = 1000;
    };

    explicit StatusNotifierItemSource(Sources sources, QObject* parent = nullptr);
    ~StatusNotifierItemSource() override;

    void requestMenuBarItems(Delivery deliver) override;

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
    class Pass;

    // The name of the program `processId` runs: the running application's, from `running`, else
    // the process's own.
    std::optional<QString> programName(qint64 processId,
                                       const std::vector<RunningApplication>& running) const;
    bool isOwnItem(const QString& service, std::optional<qint64> processId) const;

    Sources sources_;
};

} // namespace vantrel
