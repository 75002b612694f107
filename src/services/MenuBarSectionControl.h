#pragma once

#include <QString>
#include <functional>
#include <memory>

namespace vantrel {

class StatusBar;
class StatusItem;
class UserDefaultsProvider;

// Which divider: the one whose items a click reveals, or the one whose items stay hidden.
enum class MenuBarSectionKind { hidden, alwaysHidden };

// One divider status item of the menu-bar organizer. Stretched, it pushes everything left of it
// off the screen; revealed, it shrinks back to an icon.
class MenuBarSectionControl {
public:
    static constexpr const char* kPositionSuite = "com.apple.systemuiserver";
    static constexpr const char* kPositionKeyPrefix = "NSStatusItem Preferred Position ";
    static constexpr const char* kAccessibilityDescription = "Vantrel menu-bar divider";
    static constexpr const char* kInitialToolTip = "Vantrel boundary — Command-drag to reposition";
    static constexpr const char* kToolTip = "Vantrel divider — Command-drag to reposition";
    static constexpr const char* kCollapsedToolTip = "Vantrel hidden menu-bar items";
    static constexpr const char* kSetupSymbol = "line.3.horizontal.decrease";
    static constexpr double kMinimumCollapsedLength = 2048;
    static constexpr double kMaximumCollapsedLength = 8192;
    // How far beyond the widest screen a stretched divider reaches.
    static constexpr double kCollapsedOverhang = 256;

    // Seeds the divider's place next to the application's own item when it has none, then puts a
    // revealed divider into `statusBar` (none: the divider has no item). A click runs `action`.
    MenuBarSectionControl(MenuBarSectionKind kind, std::function<void()> action, StatusBar* statusBar,
                          UserDefaultsProvider& defaults);
    ~MenuBarSectionControl();
    MenuBarSectionControl(const MenuBarSectionControl&) = delete;
    MenuBarSectionControl& operator=(const MenuBarSectionControl&) = delete;

    // The constants of each kind.
    static QString autosaveName(MenuBarSectionKind kind);
    static int seededPosition(MenuBarSectionKind kind);
    static QString symbol(MenuBarSectionKind kind);
    static QString setupToolTip(MenuBarSectionKind kind);

    MenuBarSectionKind kind() const { return kind_; }
    // None once removed from the status bar.
    StatusItem* statusItem() const { return statusItem_.get(); }
    bool isCollapsed() const { return isCollapsed_; }

    void pressed();
    // Shows the divider as an icon: the setup symbol and tooltip in setup mode, else its kind's.
    void reveal(bool setupMode);
    // Stretches the divider past `screenWidth`, hiding what lies left of it.
    void collapse(double screenWidth);
    // Restores the divider as reveal does, then takes it out of the status bar for good.
    void removeFromStatusBar();

private:
    MenuBarSectionKind kind_;
    std::function<void()> action_;
    std::unique_ptr<StatusItem> statusItem_;
    bool isCollapsed_ = false;
};

} // namespace vantrel
