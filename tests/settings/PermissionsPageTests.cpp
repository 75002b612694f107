#include "kit/FeatureRow.h"
#include "kit/KitPaint.h"
#include "kit/VantrelGlyph.h"
#include "kit/VantrelIcon.h"
#include "kit/VantrelLabel.h"
#include "kit/VantrelTheme.h"
#include "kit/VantrelType.h"
#include "settings/PageDivider.h"
#include "settings/PermissionsPage.h"
#include "support/ControlCenterHarness.h"
#include "support/QtPrinters.h"
#include "support/VisibleTexts.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCoreApplication>
#include <QTest>
#include <algorithm>
#include <gtest/gtest.h>

using namespace vantrel;
using namespace vantrel::test;

namespace {

constexpr PrivacyPane kPanes[] = {PrivacyPane::accessibility, PrivacyPane::inputMonitoring,
                                  PrivacyPane::calendar, PrivacyPane::camera};

class PermissionsPageTest : public ::testing::Test {
protected:
    PermissionsPageTest() {
        c.h.permissionSystem.log = &c.h.log;
        c.h.workspace.log = &c.h.log;
    }
    // Grants or refuses each permission at the source; the page sees it at its next reading.
    void set(bool accessibility, bool inputMonitoring, CalendarAuthorizationStatus calendar,
             CaptureAuthorizationStatus camera) {
        c.h.permissionSystem.accessibilityTrusted = accessibility;
        c.h.permissionSystem.listenEventAccess = inputMonitoring;
        c.h.calendarStatus = calendar;
        c.h.permissionSystem.capture = camera;
    }
    std::unique_ptr<PermissionsPage> makePage() {
        auto page = std::make_unique<PermissionsPage>(c.context());
        page->resize(820, 900);
        page->show();
        return page;
    }
    static void click(QAbstractButton* button) {
        ASSERT_NE(button, nullptr);
        QTest::mouseClick(button, Qt::LeftButton, {}, button->rect().center());
    }
    QString status(const PermissionsPage& page) const {
        return page.statusText()->isVisibleTo(&page) ? page.statusText()->text() : QString();
    }

    ControlCenterHarness c;
};

} // namespace

TEST_F(PermissionsPageTest, EachStateHasItsColourBadgeAndButtons) {
    const auto dark = ColorScheme::dark;
    EXPECT_EQ(PermissionsPage::presentation(PermissionState::allowed, dark).color, QColor(48, 209, 88));
    EXPECT_EQ(PermissionsPage::presentation(PermissionState::denied, dark).color, QColor(255, 69, 58));
    EXPECT_EQ(PermissionsPage::presentation(PermissionState::unknown, dark).color, QColor(255, 214, 10));
    EXPECT_EQ(PermissionsPage::presentation(PermissionState::unknown, ColorScheme::light).color,
              QColor(255, 204, 0));
    EXPECT_FALSE(PermissionsPage::presentation(PermissionState::allowed, dark).offersButtons);
    EXPECT_TRUE(PermissionsPage::presentation(PermissionState::denied, dark).offersButtons);
    EXPECT_TRUE(PermissionsPage::presentation(PermissionState::unknown, dark).offersButtons);

    // Accessibility allowed, input monitoring refused, calendar and camera not asked yet.
    set(true, false, CalendarAuthorizationStatus::notDetermined, CaptureAuthorizationStatus::notDetermined);
    auto page = makePage();
    const QStringList accessibility = visibleTexts(*page->row(PrivacyPane::accessibility));
    EXPECT_TRUE(accessibility.contains("Allowed"));
    EXPECT_FALSE(accessibility.contains("Allow"));
    EXPECT_FALSE(accessibility.contains("Open Settings"));
    EXPECT_EQ(page->allowButton(PrivacyPane::accessibility), nullptr);
    EXPECT_EQ(page->row(PrivacyPane::accessibility)->icon()->iconColor(), QColor(52, 199, 89))
        << "the light appearance, where no other is set";

    const QStringList input = visibleTexts(*page->row(PrivacyPane::inputMonitoring));
    for (const char* text : {"Input Monitoring", "Global shortcut and scroll feedback", "Needs access",
                             "Allow", "Open Settings"})
        EXPECT_TRUE(input.contains(text)) << text;
    EXPECT_EQ(page->row(PrivacyPane::inputMonitoring)->icon()->iconColor(), QColor(255, 59, 48));
    // In the dark appearance, the dark one's red.
    VantrelTheme::setColorScheme(page.get(), ColorScheme::dark);
    EXPECT_EQ(page->row(PrivacyPane::inputMonitoring)->icon()->iconColor(), QColor(255, 69, 58));

    for (PrivacyPane pane : {PrivacyPane::calendar, PrivacyPane::camera}) {
        const QStringList texts = visibleTexts(*page->row(pane));
        EXPECT_TRUE(texts.contains("Not requested"));
        EXPECT_TRUE(texts.contains("Allow"));
        EXPECT_TRUE(texts.contains("Open Settings"));
        EXPECT_EQ(page->row(pane)->icon()->iconColor(), QColor(255, 214, 10));
    }
    EXPECT_TRUE(
        visibleTexts(*page->row(PrivacyPane::calendar)).contains("Read today’s events for the notch"));

    // Everything allowed: four green rows without buttons; the two actions stay.
    set(true, true, CalendarAuthorizationStatus::fullAccess, CaptureAuthorizationStatus::authorized);
    c.stores.permissions.refresh();
    for (PrivacyPane pane : kPanes) {
        EXPECT_EQ(page->allowButton(pane), nullptr);
        EXPECT_EQ(page->openSettingsButton(pane), nullptr);
        EXPECT_TRUE(visibleTexts(*page->row(pane)).contains("Allowed"));
    }
    const QStringList texts = visibleTexts(*page);
    EXPECT_FALSE(texts.contains("Allow"));
    EXPECT_TRUE(texts.contains("Refresh Status"));
    EXPECT_TRUE(texts.contains("Open Privacy Settings"));
    EXPECT_EQ(status(*page), QString()) << "no message: the row ends in empty space";
}

TEST_F(PermissionsPageTest, OpenSettingsOpensEachRowsPane) {
    set(false, false, CalendarAuthorizationStatus::denied, CaptureAuthorizationStatus::denied);
    auto page = makePage();
    const qsizetype from = c.mark();
    for (PrivacyPane pane : kPanes) click(page->openSettingsButton(pane));
    click(page->openPrivacyButton());
    EXPECT_EQ(
        c.callsSince(from),
        QStringList(
            {"workspace.open x-apple.systempreferences:com.apple.preference.security?Privacy_Accessibility",
             "workspace.open x-apple.systempreferences:com.apple.preference.security?Privacy_ListenEvent",
             "workspace.open x-apple.systempreferences:com.apple.preference.security?Privacy_Calendars",
             "workspace.open x-apple.systempreferences:com.apple.preference.security?Privacy_Camera",
             "workspace.open x-apple.systempreferences:com.apple.preference.security?Privacy"}));
    EXPECT_EQ(status(*page), QString());

    // The desktop cannot open them: the centre's message shows in the action row.
    c.h.workspace.openSucceeds = false;
    click(page->openPrivacyButton());
    EXPECT_EQ(status(*page), "Vantrel could not open System Settings. Open Privacy & Security manually.");
}

TEST_F(PermissionsPageTest, AllowMakesEachRowsOwnRequest) {
    set(false, true, CalendarAuthorizationStatus::notDetermined, CaptureAuthorizationStatus::notDetermined);
    auto page = makePage();

    // Input monitoring already there: it only reads the states again.
    c.h.permissionSystem.listenEventAccess = false;
    c.stores.permissions.refresh();
    c.h.permissionSystem.listenEventAccess = true;
    qsizetype from = c.mark();
    click(page->allowButton(PrivacyPane::inputMonitoring));
    EXPECT_EQ(c.callsSince(from), QStringList({"listenEvent.preflight", "listenEvent.preflight"}))
        << "the request's check, then the refresh";
    EXPECT_EQ(status(*page), QString());
    EXPECT_EQ(page->allowButton(PrivacyPane::inputMonitoring), nullptr) << "now allowed";

    // Without it: the system's request, the message and the pane, then a reading a moment later.
    c.h.permissionSystem.listenEventAccess = false;
    c.stores.permissions.refresh();
    from = c.mark();
    click(page->allowButton(PrivacyPane::inputMonitoring));
    EXPECT_EQ(
        c.callsSince(from),
        QStringList(
            {"listenEvent.preflight", "listenEvent.request",
             "workspace.open x-apple.systempreferences:com.apple.preference.security?Privacy_ListenEvent"}));
    EXPECT_EQ(status(*page), "Enable Vantrel in Privacy & Security › Input Monitoring, then return here.");
    c.h.permissionSystem.listenEventAccess = true;
    c.h.scheduler.advance(Seconds(1));
    EXPECT_EQ(page->allowButton(PrivacyPane::inputMonitoring), nullptr);

    // Accessibility asks the system with its prompt.
    click(page->allowButton(PrivacyPane::accessibility));
    ASSERT_FALSE(c.h.permissionSystem.accessibilityQueries.empty());
    EXPECT_TRUE(c.h.permissionSystem.accessibilityQueries.back());
    EXPECT_EQ(status(*page), "Enable Vantrel in Privacy & Security › Accessibility, then return here.");

    // The camera: a request the system holds until the user answers.
    click(page->allowButton(PrivacyPane::camera));
    ASSERT_EQ(c.h.permissionSystem.pendingCameraRequests.size(), 1u);
    c.h.permissionSystem.capture = CaptureAuthorizationStatus::authorized;
    c.h.permissionSystem.answerCameraRequest(true);
    c.h.scheduler.runDue();
    EXPECT_EQ(page->allowButton(PrivacyPane::camera), nullptr);
}

TEST_F(PermissionsPageTest, TheCalendarRowChangesOnlyOnceTheRequestIsAnswered) {
    set(true, true, CalendarAuthorizationStatus::notDetermined, CaptureAuthorizationStatus::authorized);
    auto page = makePage();
    // The system will grant it; the centre does not know yet.
    c.h.calendarStatus = CalendarAuthorizationStatus::fullAccess;
    click(page->allowButton(PrivacyPane::calendar));
    EXPECT_EQ(c.h.calendarService.requests, 1);
    EXPECT_TRUE(visibleTexts(*page->row(PrivacyPane::calendar)).contains("Not requested"));
    c.h.scheduler.runDue();
    EXPECT_TRUE(visibleTexts(*page->row(PrivacyPane::calendar)).contains("Allowed"));
    EXPECT_EQ(status(*page), QString());

    // Refused: the completion guides to the Calendars pane.
    set(true, true, CalendarAuthorizationStatus::denied, CaptureAuthorizationStatus::authorized);
    c.stores.permissions.refresh();
    c.h.calendarService.grants = false;
    const qsizetype from = c.mark();
    click(page->allowButton(PrivacyPane::calendar));
    EXPECT_EQ(c.callsSince(from), QStringList());
    c.h.scheduler.runDue();
    EXPECT_EQ(status(*page),
              "Calendar access is off. Enable Vantrel in Privacy & Security › Calendars, then return here.");
    EXPECT_TRUE(c.callsSince(from).contains(
        "workspace.open x-apple.systempreferences:com.apple.preference.security?Privacy_Calendars"));
}

TEST_F(PermissionsPageTest, EveryShowAndRefreshStatusReadTheStatesAgain) {
    set(false, false, CalendarAuthorizationStatus::denied, CaptureAuthorizationStatus::denied);
    auto page = makePage();
    ASSERT_NE(page->allowButton(PrivacyPane::accessibility), nullptr);

    // Granted while the page was away: shown as soon as it is back.
    page->hide();
    c.h.permissionSystem.accessibilityTrusted = true;
    EXPECT_NE(page->allowButton(PrivacyPane::accessibility), nullptr);
    page->show();
    EXPECT_EQ(page->allowButton(PrivacyPane::accessibility), nullptr);

    // "Refresh Status": the pill's haptic, then a reading.
    c.h.permissionSystem.listenEventAccess = true;
    const qsizetype from = c.mark();
    click(page->refreshButton());
    EXPECT_EQ(c.callsSince(from), QStringList({"haptic generic", "listenEvent.preflight"}));
    EXPECT_EQ(page->allowButton(PrivacyPane::inputMonitoring), nullptr);
}

TEST_F(PermissionsPageTest, RowsKeepTheirMeasures) {
    set(false, false, CalendarAuthorizationStatus::notDetermined, CaptureAuthorizationStatus::denied);
    auto page = makePage();
    QCoreApplication::sendPostedEvents();
    // Four rows, three dividers at 0.25 between them, each row 8 points clear of its neighbours.
    const QList<PageDivider*> dividers = page->findChildren<PageDivider*>();
    ASSERT_EQ(dividers.size(), 3);
    for (PageDivider* divider : dividers) EXPECT_DOUBLE_EQ(divider->opacity(), 0.25);
    FeatureRow* calendar = page->row(PrivacyPane::calendar);
    const QRect inList(calendar->mapTo(dividers[1]->parentWidget(), QPoint()), calendar->size());
    EXPECT_EQ(inList.top() - dividers[1]->geometry().bottom() - 1, 8);
    EXPECT_EQ(dividers[2]->y() - inList.bottom() - 1, 8);

    // Each row's symbol.
    EXPECT_EQ(page->row(PrivacyPane::accessibility)->icon()->systemName(), "figure.wave");
    EXPECT_EQ(page->row(PrivacyPane::inputMonitoring)->icon()->systemName(), "keyboard");
    EXPECT_EQ(calendar->icon()->systemName(), "calendar");
    EXPECT_EQ(page->row(PrivacyPane::camera)->icon()->systemName(), "camera");

    // "Not requested": a 7-point dot in a 14 by 14 frame, 6 points before its text.
    auto* dot = calendar->findChild<VantrelGlyph*>();
    ASSERT_NE(dot, nullptr);
    EXPECT_EQ(dot->size(), QSize(14, 14));
    EXPECT_DOUBLE_EQ(dot->pointSize(), 7);
    EXPECT_EQ(dot->x(), 0);
    QWidget* badge = dot->parentWidget();
    auto* label = badge->findChild<VantrelLabel*>();
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->x() - dot->geometry().right() - 1, 6);
    EXPECT_EQ(label->geometry().right(), badge->width() - 1);
    EXPECT_EQ(badge->height(), std::max(dot->height(), label->height()));
    EXPECT_DOUBLE_EQ(VantrelType::pixelSize(label->font()), 9.5);
    EXPECT_EQ(label->font().weight(), QFont::Bold);
    // The rows fill their list from its top: the first one 8 below the top edge.
    const QWidget* list = dividers[0]->parentWidget();
    FeatureRow* first = page->row(PrivacyPane::accessibility);
    EXPECT_EQ(first->mapTo(list, QPoint()).y(), 8);
    EXPECT_EQ(dividers[0]->x(), 0);
    EXPECT_EQ(dividers[0]->width(), list->width());
    // The badge, "Allow" and "Open Settings", 9 points apart.
    QAbstractButton* allow = page->allowButton(PrivacyPane::calendar);
    QAbstractButton* open = page->openSettingsButton(PrivacyPane::calendar);
    EXPECT_EQ(badge->x(), 0);
    EXPECT_EQ(allow->x() - badge->geometry().right() - 1, 9);
    EXPECT_EQ(open->x() - allow->geometry().right() - 1, 9);
}

TEST_F(PermissionsPageTest, TheRowsComeFirstInTheTabOrderAndAllowHandsTheFocusOn) {
    set(true, false, CalendarAuthorizationStatus::notDetermined, CaptureAuthorizationStatus::notDetermined);
    auto page = makePage();
    QApplication::setActiveWindow(page.get());
    const auto focus = [] { return QApplication::focusWidget(); };

    // Tab runs down the rows' buttons, then to the actions under them; Shift-Tab back up.
    page->allowButton(PrivacyPane::inputMonitoring)->setFocus(Qt::TabFocusReason);
    const std::vector<QWidget*> order{page->openSettingsButton(PrivacyPane::inputMonitoring),
                                      page->allowButton(PrivacyPane::calendar),
                                      page->openSettingsButton(PrivacyPane::calendar),
                                      page->allowButton(PrivacyPane::camera),
                                      page->openSettingsButton(PrivacyPane::camera),
                                      page->refreshButton(),
                                      page->openPrivacyButton()};
    for (QWidget* next : order) {
        QTest::keyClick(focus(), Qt::Key_Tab);
        EXPECT_EQ(focus(), next) << (focus() ? focus()->accessibleName().toStdString() : "none");
    }
    page->refreshButton()->setFocus(Qt::TabFocusReason);
    QTest::keyClick(focus(), Qt::Key_Backtab);
    EXPECT_EQ(focus(), page->openSettingsButton(PrivacyPane::camera));

    // "Allow" granted at once: its row loses its buttons and the next row's "Allow" has the focus.
    page->allowButton(PrivacyPane::inputMonitoring)->setFocus(Qt::TabFocusReason);
    c.h.permissionSystem.listenEventAccess = true;
    QTest::keyClick(focus(), Qt::Key_Space);
    ASSERT_EQ(page->allowButton(PrivacyPane::inputMonitoring), nullptr);
    EXPECT_EQ(focus(), page->allowButton(PrivacyPane::calendar));
    EXPECT_TRUE(KitPaint::showsFocusRing(focus()));

    // Refused: the row is made again, with the focus on its new "Allow".
    page->allowButton(PrivacyPane::camera)->setFocus(Qt::TabFocusReason);
    QTest::keyClick(focus(), Qt::Key_Space);
    ASSERT_EQ(c.h.permissionSystem.pendingCameraRequests.size(), 1u);
    c.h.permissionSystem.capture = CaptureAuthorizationStatus::denied;
    c.h.permissionSystem.answerCameraRequest(false);
    c.h.scheduler.runDue();
    ASSERT_NE(page->allowButton(PrivacyPane::camera), nullptr);
    EXPECT_EQ(focus(), page->allowButton(PrivacyPane::camera));

    // Granted on the last row (in the system's settings) and read again: its buttons go, and
    // "Refresh Status" under the rows has the focus.
    c.h.permissionSystem.capture = CaptureAuthorizationStatus::authorized;
    c.stores.permissions.refresh();
    ASSERT_EQ(page->allowButton(PrivacyPane::camera), nullptr);
    EXPECT_EQ(focus(), page->refreshButton());
    EXPECT_TRUE(KitPaint::showsFocusRing(focus()));
}
