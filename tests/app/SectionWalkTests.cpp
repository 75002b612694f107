#include "app/AppState.h"
#include "control-center/PlaceholderPage.h"
#include "control-center/RootView.h"
#include "control-center/TopNavigationBar.h"
#include "control-center/VantrelNavigationButton.h"
#include "modules/NotificationSignalStore.h"
#include "services/MenuBarAppearanceController.h"
#include "services/MenuBarScanner.h"
#include "support/RecordingAppComponents.h"
#include "support/VisibleTexts.h"

#include <QRegularExpression>
#include <QTest>
#include <gtest/gtest.h>
#include <map>

using namespace vantrel;
using namespace vantrel::test;

namespace {

// What one section's page shows: its own texts, and the live data of the walk's state. Every one
// of them is on the page, and the page shows nothing else but texts of the kit's own pieces.
struct PageTexts {
    QStringList texts;
    // Live data whose exact wording is not the page's (dates, counts): a pattern for each.
    QList<QRegularExpression> live;
};

// The menu-bar organizer's states the walk visits.
enum class Organizer { off, on, setUp, inSetup };

// The walk's states: alerts waiting or not, permissions missing or all granted, the native or the
// replacement Dock, and the menu-bar organizer's state.
struct WalkState {
    bool alertsWaiting;
    bool everythingAllowed;
    bool replacementDock = false;
    Organizer menuBar = Organizer::off;
};

PageTexts menuBarTexts(Organizer organizer) {
    PageTexts page;
    page.texts = {"Menu Bar", "Organizer", "Organize menu-bar icons", "A simple show and hide boundary"};
    switch (organizer) {
    case Organizer::off:
        page.texts << "Menu-bar organizer is off";
        break;
    case Organizer::on:
        page.texts << "Set the divider before hiding icons"
                   << "Set up hidden icons…";
        break;
    case Organizer::setUp:
        page.texts
            << "Set to hidden — this tray still shows every icon"
            << "Adjust divider…"
            << "Show hidden items"
            << "Ready"
            << "Reveal"
            << "Hover over the Vantrel control"
            << "Reveal the managed icons without clicking"
            << "Click the permanent Vantrel control to hide or reveal the group. Hovering only reveals it; "
               "icons stay visible until you click to hide them again.";
        break;
    case Organizer::inSetup:
        page.texts
            << "Setup active — Command-drag the Vantrel divider"
            << "Set the divider"
            << "1"
            << "Find the Vantrel divider"
            << "Look for the small divider icon in the real macOS menu bar."
            << "2"
            << "Place it"
            << "Hold Command (⌘) and drag the divider to where the managed group should begin."
            << "3"
            << "Move the icons"
            << "Still holding Command, drag every icon you want Vantrel to hide to the divider's left. "
               "Finish keeps them visible until you choose Hide items."
            << "Finish"
            << "Cancel";
        break;
    }
    return page;
}

// What both Dock modes show: the page's title and the "Active Dock" card.
QStringList activeDockTexts() {
    return {"Dock", "Active Dock", "Only one Dock mode is active at a time",
            "Switch between the native macOS Dock and Vantrel Dock."};
}

// The live Dock controller's status, verbatim.
const QRegularExpression kDockStatus(QStringLiteral("^Native macOS Dock active$"));

PageTexts nativeDockTexts() {
    PageTexts page;
    page.texts = activeDockTexts();
    page.texts << "Native macOS Dock"
               << "Size & motion"
               << "Icon size"
               << "Magnified size"
               << "Magnification"
               << "Automatically hide and show"
               << "Layout"
               << "Position"
               << "Minimize effect"
               << "Show recent applications"
               << "Show only running apps"
               << "Dim hidden applications"
               << "Changes are applied only when you press Apply. The macOS Dock restarts once."
               << "Apply to macOS Dock"
               // The store's initial sizes, while it reads the system's settings.
               << "48.0pt"
               << "72.0pt"
               << "Reading the macOS Dock…"
               << "Loading…";
    page.live = {kDockStatus};
    return page;
}

PageTexts replacementDockTexts() {
    PageTexts page;
    page.texts = activeDockTexts();
    page.texts
        << "Vantrel Dock"
        << "Layout"
        << "Vantrel Dock visibility"
        << "Choose exactly when the floating Dock gets out of your way"
        << "Visibility"
        << "Always visible"
        << "Always auto-hide"
        << "Hide in full screen"
        << "Hidden until you move the pointer to the bottom edge"
        << "Reveal"
        << "Fast"
        << "Natural"
        << "Relaxed"
        << "Hide"
        << "Vantrel Dock is currently revealed"
        << "Alignment"
        << "Left"
        << "Center"
        << "Right"
        << "Spacing"
        << "Tight"
        << "Standard"
        << "Airy"
        << "Shape"
        << "Compact"
        << "Rounded"
        << "Pill"
        << "Motion & content"
        << "Animate icons under the pointer"
        << "Effect"
        << "Rise"
        << "Grows and lifts together"
        << "Speed"
        << "Snappy"
        << "Size change"
        << "Subtle"
        << "Large"
        << "Include unpinned running apps"
        << "Show running indicators"
        << "Show Trash"
        << "Surface"
        << "How the Dock sits against your wallpaper"
        << "Tint"
        << "Graphite"
        << "Ink"
        << "Slate"
        << "Accent"
        << "Warm"
        << "Tint strength"
        << "Show names on hover"
        << "Size & appearance"
        << "App icon size"
        << "Dock thickness"
        << "Glass strength"
        << "Clear"
        << "Balanced"
        << "Solid"
        << "Disabling or quitting Vantrel restores your exact previous macOS Dock settings."
        << "Running apps"
        << "Pinned"
        << "Pinned content"
        << "Drag any pinned icon in the live Dock to rearrange it. Add apps, folders, or websites to build "
           "your Dock."
        << "Add Apps…"
        << "Add Folder…"
        << "Remove Icons…"
        << "Add Website"
        << "Shelf extensions"
        << "Every action is connected to a live module"
        << "Temporary files"
        << "Shared with the notch shelf"
        << "Add a folder"
        << "Pin any Finder location"
        << "Live launch and active states"
        << "AirDrop shelf"
        << "Share the files currently waiting"
        // The default tint strength, icon size and thickness; no application runs.
        << "55%"
        << "44 pt"
        << "11 pt"
        << "0";
    page.live = {kDockStatus};
    return page;
}

PageTexts appearanceTexts() {
    return {{"Appearance", "Light and dark", "A composed design in either appearance", "Follow System",
             "Dark", "Light", "Theme", "The centered theme is active", "Neutral", "Obsidian Fold",
             "Glacial Veil", "Midnight Current", "Canyon Alloy", "Use theme on", "All", "Notch only",
             "Settings only", "Background hue", "Theme default", "Color strength", "Icon color",
             "Vantrel icon color", "Theme accent",
             "Animated themes automatically become static when Reduce Motion is enabled.", "Startup",
             "Start Vantrel when you sign in", "Launch at login",
             "Available after Vantrel is installed in Applications",
             // The default colour strength.
             "42%"},
            {}};
}

PageTexts notchTexts() {
    return {{"Notch Panel",
             "Notch",
             "Use Notch Panel",
             "Built-in notched MacBook displays only",
             "Interactive notch preview",
             "Behavior and expanded view",
             "Open when the pointer enters",
             "The physical notch becomes the target",
             "Responsiveness",
             "How deliberately the pointer must enter the notch",
             "Instant",
             "Keep open briefly",
             "Adds a short grace period when the pointer leaves",
             "Size",
             "The workspace width and breathing room",
             "Small",
             "Medium",
             "Large",
             "Material",
             "Geometry stays identical; only the finish changes",
             "Mirror Glass",
             "Preview real notch"},
            {}};
}

// The texts of each section's page in `state`. A section whose page is still a placeholder has no
// entry yet; adding its page adds its entry here.
std::map<VantrelSection, PageTexts> pageTexts(const WalkState& state) {
    std::map<VantrelSection, PageTexts> pages;
    pages[VantrelSection::home] = {
        {"Home",
         "Ready",
         "Timer",
         "0",
         "Clipboard",
         "Shelf",
         "Quick actions",
         "Controls",
         "Notch Panel",
         "Menu Bar",
         "Trackpad",
         "Notifications",
         "Appearance",
         "Permissions",
         "Clean Keyboard",
         "15 seconds",
         "Trackpad stays active",
         "Open Cleaning Canvas",
         "Workspace",
         "Local notes and recent screenshots",
         "Notes",
         "Screenshots",
         "New note",
         "Quick note",
         "Saved locally",
         "Note",
         "Now",
         "0 saved",
         "0 items",
         "File Shelf",
         "Attention"},
        {QRegularExpression(QStringLiteral("^Monday, 5 January( 2026)?$"))},
    };
    if (state.everythingAllowed)
        pages[VantrelSection::home].texts << "Everything important is ready"
                                          << "Core access is ready";
    else
        pages[VantrelSection::home].texts << "4 items to review"
                                          << "Review permissions"
                                          << "Some tools are greyed out until macOS grants access."
                                          << "Open Permissions";

    PageTexts& notifications = pages[VantrelSection::notifications];
    notifications.texts = {
        "Notifications",
        "Vantrel alerts",
        "Use Vantrel alerts",
        "Master switch for Vantrel timers and feature alerts",
        "Notch attention light",
        "A small red light beside the notch while an alert is waiting",
        "macOS notifications",
        "Unavailable in this version",
        "Mirror notifications from other apps",
        "Greyed out until there is a reliable, privacy-respecting macOS path.",
        "Not supported by macOS",
        "Timer alarm",
        "One sound shared by Timer and Countdown",
        "Sound",
        "Preview",
        "Alert with",
        "Haptics",
        "Both",
        "Volume",
        "Repeat until dismissed",
        "Keep signaling after the timer reaches zero",
        "Keyboard backlight",
        "Paused while hardware support is unresolved",
        "Backlight alert patterns",
        "Kept out of the active controls so Vantrel does not promise a signal this Mac cannot produce.",
        "Temporarily unavailable",
        // The chosen sound and the volume.
        "Glass",
        "75%",
    };
    if (state.alertsWaiting)
        notifications.texts << "Waiting: 2 Vantrel alerts"
                            << "Clear";
    else
        notifications.texts << "No Vantrel alerts are waiting.";

    PageTexts& permissions = pages[VantrelSection::permissions];
    permissions.texts = {
        "Permissions",
        "System access",
        "Press Allow to make the real macOS request, then return here to see the result.",
        "Accessibility",
        "Interact with supported menu-bar controls",
        "Input Monitoring",
        "Global shortcut and scroll feedback",
        "Calendar",
        "Read today’s events for the notch",
        "Camera",
        "Display a local camera mirror",
        "Refresh Status",
        "Open Privacy Settings",
    };
    if (state.everythingAllowed)
        permissions.texts << "Allowed";
    else
        permissions.texts << "Needs access"
                          << "Not requested"
                          << "Allow"
                          << "Open Settings";

    pages[VantrelSection::menuBar] = menuBarTexts(state.menuBar);
    pages[VantrelSection::dock] = state.replacementDock ? replacementDockTexts() : nativeDockTexts();
    pages[VantrelSection::appearance] = appearanceTexts();
    pages[VantrelSection::notch] = notchTexts();
    PageTexts& trackpad = pages[VantrelSection::feedback];
    trackpad.texts = {
        "Trackpad",
        "Trackpad feedback",
        "Use trackpad feedback",
        "One master switch for gesture feedback across macOS",
        "Preview surface",
        "One finite response using the selected scroll feel",
        "Engine",
        "Session pulses",
        "Preview",
        "Strength",
        "Gentle",
        "Balanced",
        "Firm",
        "Gesture haptics",
        "Finite, haptic-only responses for the gestures you enable",
        "Scrolling",
        "Even detents in both directions; fast scrolling may increase cadence",
        "Clicking",
        "Prototype detects primary and secondary pointer-down events",
        "Force click",
        "One event when pressure enters stage two; release always resets it",
        "Swiping",
        "One event when macOS reports a swipe or magnify gesture",
        "Vantrel controls",
        "Interface feedback",
        "Meaningful buttons, toggles, notch changes, and Dock actions",
        // The stopped engine (card subtitle and pill), the pulses so far and the general feel.
        "Off",
        "0",
        "Detent",
    };
    if (!state.everythingAllowed)
        trackpad.texts << "Input Monitoring required"
                       << "Allow access before testing global gestures."
                       << "Allow…";
    return pages;
}

// The kit's own texts: a card's help button is named after its card and says what it does.
bool isKitText(const QString& text, const QStringList& shown) {
    if (text == u"Shows more information") return true;
    const QString help = QStringLiteral("Help for ");
    return text.startsWith(help) && shown.contains(text.mid(help.size()));
}

void walk(const WalkState& walkState) {
    AppStateHarness h;
    h.preferences.setHasCompletedOnboarding(true);
    if (walkState.everythingAllowed) {
        h.permissionSystem.accessibilityTrusted = true;
        h.permissionSystem.listenEventAccess = true;
        h.permissionSystem.capture = CaptureAuthorizationStatus::authorized;
        h.calendarStatus = CalendarAuthorizationStatus::fullAccess;
    }
    h.preferences.setCustomDockEnabled(walkState.replacementDock);
    AppState state(h.factory);
    MenuBarAppearanceController& organizer = state.menuBarAppearance();
    if (walkState.menuBar != Organizer::off) {
        h.preferences.setMenuMaskEnabled(true);
        h.preferences.setMenuSetupComplete(walkState.menuBar != Organizer::on);
        organizer.apply(h.preferences, state.menuBarScanner());
    }
    if (walkState.menuBar == Organizer::inSetup) organizer.beginSetup(h.preferences, state.menuBarScanner());
    if (walkState.alertsWaiting) {
        h.alerts.recordVantrelEvent(QStringLiteral("Timer finished"), false);
        h.alerts.recordVantrelEvent(QStringLiteral("Countdown finished"), true);
    }
    ControlCenterViewServices views;
    RootView root(controlCenterContext(h, state, views, h.haptics));
    root.resize(1080, 720);
    root.show();

    const std::map<VantrelSection, PageTexts> table = pageTexts(walkState);
    std::vector<VantrelSection> walked;
    for (VantrelSection section : availableSections()) {
        SCOPED_TRACE(rawValue(section).toStdString());
        VantrelNavigationButton* button = root.navigationBar()->button(section);
        ASSERT_NE(button, nullptr);
        QWidget* before = root.page();
        QTest::mouseClick(button, Qt::LeftButton);
        ASSERT_EQ(state.sections().selected(), section);
        if (section != VantrelSection::home) {
            ASSERT_NE(root.page(), before) << "a new page";
        }
        EXPECT_EQ(qobject_cast<PlaceholderPage*>(root.page()), nullptr) << "a real page";
        const auto entry = table.find(section);
        if (entry == table.end()) continue;
        walked.push_back(section);
        const PageTexts& expected = entry->second;
        const QStringList shown = visibleTexts(*root.page());
        for (const QString& text : expected.texts) {
            EXPECT_TRUE(shown.contains(text)) << "missing: " << text.toStdString();
        }
        for (const QRegularExpression& pattern : expected.live)
            EXPECT_TRUE(shown.indexOf(pattern) >= 0) << "missing: " << pattern.pattern().toStdString();
        for (const QString& text : shown) {
            const bool known = expected.texts.contains(text) || isKitText(text, shown) ||
                               std::ranges::any_of(expected.live, [&text](const QRegularExpression& pattern) {
                                   return pattern.match(text).hasMatch();
                               });
            EXPECT_TRUE(known) << "unexpected: " << text.toStdString();
        }
    }
    EXPECT_EQ(walked, (std::vector<VantrelSection>{VantrelSection::home, VantrelSection::notch,
                                                   VantrelSection::menuBar, VantrelSection::dock,
                                                   VantrelSection::feedback, VantrelSection::notifications,
                                                   VantrelSection::appearance, VantrelSection::permissions}))
        << "every section the navigation offers";
}

} // namespace

TEST(SectionWalk, EverySectionButtonShowsItsPageWithItsTextsAndNothingElse) {
    walk({.alertsWaiting = false, .everythingAllowed = false, .menuBar = Organizer::off});
    walk({.alertsWaiting = true,
          .everythingAllowed = true,
          .replacementDock = true,
          .menuBar = Organizer::on});
    walk({.alertsWaiting = false, .everythingAllowed = false, .menuBar = Organizer::setUp});
    walk({.alertsWaiting = true,
          .everythingAllowed = true,
          .replacementDock = true,
          .menuBar = Organizer::inSetup});
}
