#include "app/VantrelAppDelegate.h"

#include "app/AppState.h"
#include "app/CrashDockRestore.h"
#include "core/CapabilityCenter.h"
#include "core/FileNotices.h"
#include "core/PermissionCenter.h"
#include "core/VantrelPreferences.h"
#include "modules/CalendarStore.h"
#include "modules/FocusTimer.h"
#include "platform/UserDefaults.h"
#include "services/CommandPaletteController.h"
#include "services/MenuBarAppearanceController.h"

#include <QAction>
#include <QMenu>

namespace vantrel {

VantrelAppDelegate::VantrelAppDelegate(AppState& state, ApplicationShell& shell, StatusBar& statusBar,
                                       UserDefaultsProvider& defaults, SystemLog& log, QObject* parent)
    : QObject(parent), state_(state), shell_(shell), statusBar_(statusBar), defaults_(defaults), log_(log) {}

VantrelAppDelegate::~VantrelAppDelegate() {
    state_.menuBarAppearance().primaryControlFrameProvider = nullptr;
    // The tray holds the menu: it goes before the menu does.
    statusItem_.reset();
}

void VantrelAppDelegate::applicationDidFinishLaunching() {
    // Every Qt application is a regular one with its windows in the task switcher; there is no
    // activation policy to set.
    installCrashDockRestore(defaults_, log_);
    buildStatusItem();
    state_.start();
    bindStatusItemState();
}

void VantrelAppDelegate::applicationDidBecomeActive() {
    state_.permissions().refresh();
    state_.calendar().refresh();
    state_.refreshKeyboardBacklightStatus();
    state_.capabilities().refresh(state_.permissions(), state_.keyboardBacklightSupport());
}

bool VantrelAppDelegate::applicationShouldHandleReopen(bool) {
    state_.bringControlCenterForward();
    return true;
}

void VantrelAppDelegate::applicationWillTerminate() {
    state_.stop();
}

void VantrelAppDelegate::buildStatusItem() {
    UserDefaults& suite = defaults_.suite(QString::fromLatin1(kStatusItemSuite));
    const QString positionKey = QString::fromLatin1(kStatusItemPositionKey);
    // Only a first launch places the item; a position the user chose later is never overwritten.
    if (!suite.contains(positionKey)) suite.setInteger(positionKey, 0);

    statusItem_ = statusBar_.createItem(QString::fromLatin1(kStatusItemName));
    const QPointer<VantrelAppDelegate> self(this);
    statusItem_->setClickHandler([self](StatusItemClick click) {
        if (self) self->statusItemPressed(click);
    });
    statusMenu_ = makeMenu();
    // A tray opens menus itself, apart from the left click; without the menu it would open its own
    // (a StatusNotifier host shows the panel's menu), and Vantrel could not be quit from there.
    statusItem_->setContextMenu(statusMenu_.get());
    state_.menuBarAppearance().primaryControlFrameProvider = [self]() -> std::optional<QRect> {
        if (!self || !self->statusItem_) return std::nullopt;
        return self->statusItem_->frameOnScreen();
    };
    updateStatusItemIcon(state_.preferences().menuMaskEnabled(),
                         state_.menuBarAppearance().areHiddenItemsRevealed());
}

std::unique_ptr<QMenu> VantrelAppDelegate::makeMenu() {
    auto menu = std::make_unique<QMenu>();
    const auto add = [&](const char* title, const char* key, void (VantrelAppDelegate::*action)()) {
        QAction* item = menu->addAction(QString::fromUtf8(title));
        item->setShortcut(QKeySequence(QString::fromLatin1(key)));
        connect(item, &QAction::triggered, this, action);
        return item;
    };
    add("Open Vantrel", "Ctrl+,", &VantrelAppDelegate::openVantrel);
    add("Open Notch", "Ctrl+N", &VantrelAppDelegate::openNotch);
    add("Command Palette", "Ctrl+Space", &VantrelAppDelegate::openPalette);
    menu->addSeparator();
    hiddenItemsAction_ = add("Show Hidden Menu Items", "Ctrl+H", &VantrelAppDelegate::toggleHiddenMenuItems);
    menu->addSeparator();
    focusAction_ = add("Start Timer", "Ctrl+F", &VantrelAppDelegate::toggleFocus);
    add("Clipboard", "Ctrl+V", &VantrelAppDelegate::openClipboard);
    add("File Shelf", "Ctrl+D", &VantrelAppDelegate::openFiles);
    menu->addSeparator();
    add("Quit Vantrel", "Ctrl+Q", &VantrelAppDelegate::quit);
    connect(menu.get(), &QMenu::aboutToShow, this, &VantrelAppDelegate::menuWillOpen);
    return menu;
}

void VantrelAppDelegate::menuWillOpen() {
    if (focusAction_) {
        const FocusTimer& focus = state_.focus();
        focusAction_->setText(focus.isRunning()
                                  ? QStringLiteral("Pause Timer (") + focus.timeText() + QStringLiteral(")")
                                  : QStringLiteral("Start Timer"));
    }
    if (hiddenItemsAction_) {
        hiddenItemsAction_->setText(state_.menuBarAppearance().areHiddenItemsRevealed()
                                        ? QStringLiteral("Hide Menu Items")
                                        : QStringLiteral("Show Hidden Menu Items"));
        hiddenItemsAction_->setEnabled(state_.preferences().menuMaskEnabled());
    }
}

void VantrelAppDelegate::statusItemPressed(StatusItemClick click) {
    if (click == StatusItemClick::right) {
        if (statusItem_ && statusMenu_) statusItem_->popUpMenu(*statusMenu_);
        return;
    }
    VantrelPreferences& preferences = state_.preferences();
    if (preferences.menuMaskEnabled() && preferences.menuSetupComplete()) {
        state_.menuBarAppearance().toggleHiddenItems(&preferences, &state_.menuBarScanner());
        return;
    }
    // The organizer is on but not set up yet: its page is where to go.
    if (preferences.menuMaskEnabled()) state_.sections().select(VantrelSection::menuBar);
    state_.bringControlCenterForward();
}

void VantrelAppDelegate::updateStatusItemIcon(bool isOrganizerEnabled, bool itemsRevealed) {
    if (!statusItem_) return;
    QString symbol = QStringLiteral("sparkles");
    QString description = QStringLiteral("Open Vantrel");
    QString toolTip = QStringLiteral("Open Vantrel · right-click for menu");
    if (isOrganizerEnabled) {
        symbol = itemsRevealed ? QStringLiteral("chevron.right.2") : QStringLiteral("chevron.left.2");
        description = itemsRevealed ? QStringLiteral("Hide menu-bar items")
                                    : QStringLiteral("Show hidden menu-bar items");
        toolTip = description + QStringLiteral(" · right-click for Vantrel menu");
    }
    statusItem_->setImage(symbol, description);
    const QStringList notices = fileNotices_ ? fileNotices_->notices() : QStringList();
    if (!notices.isEmpty()) {
        toolTip += QLatin1Char('\n') + notices.first();
        if (notices.size() > 1)
            toolTip += QStringLiteral("\nand %1 more in Vantrel's window").arg(notices.size() - 1);
    }
    statusItem_->setToolTip(toolTip);
}

void VantrelAppDelegate::setFileNotices(FileNotices* notices) {
    if (fileNotices_) disconnect(fileNotices_, nullptr, this, nullptr);
    fileNotices_ = notices;
    const auto refresh = [this] {
        updateStatusItemIcon(state_.preferences().menuMaskEnabled(),
                             state_.menuBarAppearance().areHiddenItemsRevealed());
    };
    if (notices) connect(notices, &FileNotices::changed, this, refresh);
    refresh();
}

void VantrelAppDelegate::bindStatusItemState() {
    if (isStatusItemBound_) return;
    isStatusItemBound_ = true;
    const auto refresh = [this] {
        const std::pair current{state_.preferences().menuMaskEnabled(),
                                state_.menuBarAppearance().areHiddenItemsRevealed()};
        // Repeated values (every assignment of a setting notifies) change nothing.
        if (shownIconState_ == current) return;
        shownIconState_ = current;
        updateStatusItemIcon(current.first, current.second);
    };
    state_.preferences().onChange(VantrelPreferences::Setting::menuMaskEnabled, this, refresh);
    connect(&state_.menuBarAppearance(), &MenuBarAppearanceController::areHiddenItemsRevealedChanged, this,
            refresh);
    refresh();
}

void VantrelAppDelegate::openVantrel() {
    state_.bringControlCenterForward();
}
void VantrelAppDelegate::openNotch() {
    state_.showNotch(NotchTab::home, true);
}
void VantrelAppDelegate::openPalette() {
    // The palette opens once the settings have linked it to the state; while its setting has been
    // off since launch, this does nothing.
    state_.commandPalette().show(nullptr, std::nullopt);
}
void VantrelAppDelegate::toggleHiddenMenuItems() {
    state_.menuBarAppearance().toggleHiddenItems(&state_.preferences(), &state_.menuBarScanner());
}
void VantrelAppDelegate::toggleFocus() {
    state_.perform(HotkeyAction::toggleFocus);
}
void VantrelAppDelegate::openClipboard() {
    state_.showNotch(NotchTab::clipboard, true);
}
void VantrelAppDelegate::openFiles() {
    state_.showNotch(NotchTab::files, true);
}
void VantrelAppDelegate::quit() {
    shell_.terminate();
}

} // namespace vantrel
