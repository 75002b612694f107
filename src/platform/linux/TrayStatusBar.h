#pragma once

#include "platform/Clock.h"
#include "platform/Scheduler.h"
#include "platform/StatusItem.h"

#include <QDBusConnection>
#include <QObject>
#include <QPointer>
#include <optional>

class QSystemTrayIcon;

namespace vantrel {

class SystemLog;
class TrayStatusBar;

// A status item on QSystemTrayIcon. Where the desktop has no tray (a bare X server) the item is
// built all the same and simply not seen. Until its bar lets it into the tray the item keeps what
// it is given and shows it once it gets there.
class TrayStatusItem final : public QObject, public StatusItem {
    Q_OBJECT
public:
    // `bar` null: into the tray at once.
    explicit TrayStatusItem(QString autosaveName, TrayStatusBar* bar = nullptr);
    ~TrayStatusItem() override;

    QString autosaveName() const override { return autosaveName_; }
    void setImage(const QString& symbolName, const QString& accessibilityDescription) override;
    void setToolTip(const QString& toolTip) override;
    void setLength(double length) override { length_ = length; }
    double length() const override { return length_; }
    void setVisible(bool visible) override;
    bool isVisible() const override { return visible_; }
    void setClickHandler(std::function<void(StatusItemClick)> handler) override {
        handler_ = std::move(handler);
    }
    void popUpMenu(QMenu& menu) override;
    // Handed to the tray, which opens it on a right click itself: a StatusNotifier host reads
    // it over the bus (dbusmenu), an XEmbed tray has Qt open it.
    void setContextMenu(QMenu* menu) override;
    std::optional<QRect> frameOnScreen() const override;

private:
    void enterTray();
    void showIfWanted();

    QString autosaveName_;
    QSystemTrayIcon* tray_ = nullptr;
    QString symbolName_;
    QString accessibilityDescription_;
    QString toolTip_;
    QPointer<QMenu> contextMenu_;
    double length_ = kVariableLength;
    bool visible_ = true;
    std::function<void(StatusItemClick)> handler_;
};

// Makes tray items. Qt asks the desktop's StatusNotifierWatcher about the tray synchronously, with
// the bus's default time-out of 25 seconds, when the first tray icon is made, and remembers the
// answer for the life of the process. With a bus this bar asks the watcher first, without waiting
// for it, and lets its items into the tray only once the watcher has answered (or is not there at
// all, which Qt finds out at once). A watcher silent for kWatcherAnswerLimit leaves the items out,
// says so in the log, and is asked again whenever the watcher's name changes owner.
class TrayStatusBar final : public QObject, public StatusBar {
    Q_OBJECT
public:
    static constexpr Seconds kWatcherAnswerLimit{1.0};
    static constexpr const char* kWatcherService = "org.kde.StatusNotifierWatcher";

    enum class Tray { asking, open, silent };

    // Items go into the tray at once; nothing is asked.
    TrayStatusBar();
    TrayStatusBar(QDBusConnection connection, Scheduler& scheduler, SystemLog& log);
    ~TrayStatusBar() override;

    std::unique_ptr<StatusItem> createItem(const QString& autosaveName) override;

    Tray tray() const { return tray_; }

Q_SIGNALS:
    // The items may go into the tray now; sent once.
    void trayOpened();

private:
    void askWatcher();
    void answered(quint64 question, bool silent);

    std::optional<QDBusConnection> connection_;
    Scheduler* scheduler_ = nullptr;
    SystemLog* log_ = nullptr;
    Tray tray_ = Tray::open;
    quint64 question_ = 0;
    // Whether the log has told of items left out.
    bool leftOut_ = false;
    ScheduledTask deadline_;
};

} // namespace vantrel
