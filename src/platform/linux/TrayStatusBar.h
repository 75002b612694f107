#pragma once

#include "platform/Clock.h"
#include "platform/Scheduler.h"
#include "platform/StatusItem.h"

#include <QDBusConnection>
#include <QObject>
#include <QPointer>
#include <functional>
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
    // `bar` null: into the tray at once. Otherwise Qt gets the item, and shows it again after it
    // was hidden, only once the bar's watcher has answered.
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
    void trayAnswered();

    QString autosaveName_;
    QPointer<TrayStatusBar> bar_;
    // Whether the item waits for the bar's watcher to answer before Qt gets it or shows it.
    bool waiting_ = false;
    QSystemTrayIcon* tray_ = nullptr;
    QString symbolName_;
    QString accessibilityDescription_;
    QString toolTip_;
    QPointer<QMenu> contextMenu_;
    double length_ = kVariableLength;
    bool visible_ = true;
    std::function<void(StatusItemClick)> handler_;
};

// Makes tray items. Qt's tray asks the desktop's StatusNotifierWatcher synchronously, with the
// bus's default time-out of 25 seconds: it introspects the watcher and reads
// IsStatusNotifierHostRegistered when the first tray icon is made, remembers for the life of the
// process whether the watcher was usable (the build checks that the Qt it finds does, in
// cmake/TrayWatcherAnswer.cmake), and asks the same again each time an icon is shown.
// So, with a bus, this bar asks the watcher the same two questions itself without waiting, and
// lets Qt at an item only right after the watcher answered both within kWatcherAnswerLimit.
// A watcher that is silent or absent leaves the items out, and is asked again whenever the
// watcher's name changes owner; where the bus has no watcher but the X server has an embedding
// tray, the items go there instead (Qt then keeps to that tray).
class TrayStatusBar final : public QObject, public StatusBar {
    Q_OBJECT
public:
    static constexpr Seconds kWatcherAnswerLimit{1.0};
    static constexpr const char* kWatcherService = "org.kde.StatusNotifierWatcher";
    static constexpr const char* kWatcherPath = "/StatusNotifierWatcher";

    // `asking`: a question is out. `open`: the watcher answered, or there is no bus to ask.
    // `silent`: it did not answer in time. `absent`: no usable watcher on the bus.
    enum class Tray { asking, open, silent, absent };

    // Items go into the tray at once; nothing is asked.
    TrayStatusBar();
    // `embeddingTray`: whether the X server has a tray that embeds icons; by default asked of
    // the X server Qt is connected to.
    TrayStatusBar(QDBusConnection connection, Scheduler& scheduler, SystemLog& log,
                  std::function<bool()> embeddingTray = {});
    ~TrayStatusBar() override;

    std::unique_ptr<StatusItem> createItem(const QString& autosaveName) override;

    Tray tray() const { return tray_; }
    // Whether Qt may be handed an item, or shown one again, without a question first: there is
    // no bus, or the items went to the embedding tray.
    bool admitsWithoutAsking() const { return !connection_ || embedded_; }
    // Asks the watcher, unless a question is out already; trayOpened() follows its answer.
    void ask();

Q_SIGNALS:
    // The watcher has just answered both questions: items waiting for it may go to Qt now.
    void trayOpened();

private Q_SLOTS:
    void hostRegistered();

private:
    void askWatcher();
    void answered(quint64 question);
    void settle(quint64 question, Tray tray);
    // Asking, or found silent and still open to a late answer to the same question.
    bool awaitsAnswer() const { return tray_ == Tray::asking || tray_ == Tray::silent; }

    std::optional<QDBusConnection> connection_;
    Scheduler* scheduler_ = nullptr;
    SystemLog* log_ = nullptr;
    std::function<bool()> embeddingTray_;
    Tray tray_ = Tray::open;
    quint64 question_ = 0;
    // The two answers of the current question; none until each arrives.
    std::optional<QString> introspection_;
    std::optional<bool> hostRegistered_;
    // Whether the items went to the embedding tray, for good.
    bool embedded_ = false;
    // Whether items were let in; from then on Qt keeps to the tray it found.
    bool opened_ = false;
    // Whether the log has told of items left out.
    bool leftOut_ = false;
    ScheduledTask deadline_;
};

} // namespace vantrel
