#pragma once

#include "platform/ApplicationShell.h"
#include "platform/StatusItem.h"

#include <QObject>
#include <QPointer>
#include <memory>

class QAction;
class QMenu;

namespace vantrel {

class AppState;
class FileNotices;
class StatusBar;
class SystemLog;
class UserDefaultsProvider;

// Starts and stops the application around AppState, keeps the control center reachable, guards the
// system Dock against a crash, and owns the status item with its menu.
class VantrelAppDelegate : public QObject, public ApplicationDelegate {
    Q_OBJECT
public:
    static constexpr const char* kStatusItemName = "VantrelPrimary";
    static constexpr const char* kStatusItemSuite = "com.apple.systemuiserver";
    static constexpr const char* kStatusItemPositionKey = "NSStatusItem Preferred Position VantrelPrimary";

    VantrelAppDelegate(AppState& state, ApplicationShell& shell, StatusBar& statusBar,
                       UserDefaultsProvider& defaults, SystemLog& log, QObject* parent = nullptr);
    ~VantrelAppDelegate() override;

    void applicationDidFinishLaunching() override;
    void applicationDidBecomeActive() override;
    bool applicationShouldHandleReopen(bool hasVisibleWindows) override;
    void applicationWillTerminate() override;

    // The status item.
    void buildStatusItem();
    void bindStatusItemState();
    void updateStatusItemIcon(bool isOrganizerEnabled, bool itemsRevealed);
    void statusItemPressed(StatusItemClick click);
    void menuWillOpen();

    // The file notices the tooltip carries while any is shown, so that a file that could not be
    // read or saved is seen with the window closed too (not owned; none: never).
    void setFileNotices(FileNotices* notices);

    StatusItem* statusItem() const { return statusItem_.get(); }
    QMenu* statusMenu() const { return statusMenu_.get(); }

    // The menu's actions.
    void openVantrel();
    void openNotch();
    void openPalette();
    void toggleHiddenMenuItems();
    void toggleFocus();
    void openClipboard();
    void openFiles();
    void quit();

private:
    std::unique_ptr<QMenu> makeMenu();

    AppState& state_;
    ApplicationShell& shell_;
    StatusBar& statusBar_;
    UserDefaultsProvider& defaults_;
    SystemLog& log_;
    std::unique_ptr<StatusItem> statusItem_;
    std::unique_ptr<QMenu> statusMenu_;
    QPointer<QAction> focusAction_;
    QPointer<QAction> hiddenItemsAction_;
    QPointer<FileNotices> fileNotices_;
    bool isStatusItemBound_ = false;
    std::optional<std::pair<bool, bool>> shownIconState_;
};

} // namespace vantrel
