#include "app/AppState.h"
#include "control-center/RootView.h"
#include "control-center/TopNavigationBar.h"
#include "control-center/VantrelNavigationButton.h"
#include "modules/NotificationSignalStore.h"
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

// The walk's states: alerts waiting or not, permissions missing or all granted.
struct WalkState {
    bool alertsWaiting;
    bool everythingAllowed;
};

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
    AppState state(h.factory);
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
    EXPECT_EQ(walked,
              (std::vector<VantrelSection>{VantrelSection::home, VantrelSection::feedback,
                                           VantrelSection::notifications, VantrelSection::permissions}))
        << "the sections with a page of their own so far";
}

} // namespace

TEST(SectionWalk, EverySectionButtonShowsItsPageWithItsTextsAndNothingElse) {
    walk({.alertsWaiting = false, .everythingAllowed = false});
    walk({.alertsWaiting = true, .everythingAllowed = true});
}
