#include "modules/NotificationSignalStore.h"
#include "notch/NotchTestSupport.h"
#include "notch/NotificationIndicatorShadow.h"
#include "notch/NotificationIndicatorView.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QProxyStyle>
#include <QRegularExpression>
#include <QTest>
#include <QToolTip>

using namespace vantrel;
using namespace vantrel::test;

namespace {
class IndicatorTest : public NotchTest {
protected:
    NotificationIndicatorPanelController& dot = notch.notificationIndicator();
    bool dotShows() const { return dot.panel() && dot.panel()->isVisible(); }
};
} // namespace

TEST_F(IndicatorTest, ShowsOnlyWithAlertsOnTheIndicatorOnAndAnAlertWaiting) {
    EXPECT_FALSE(dotShows());
    for (const bool alerts : {false, true})
        for (const bool indicator : {false, true}) {
            h.preferences.setNotificationsEnabled(true);
            h.alerts.recordVantrelEvent(QStringLiteral("Timer finished"), true);
            h.preferences.setNotificationsEnabled(alerts);
            h.preferences.setNotificationIndicatorEnabled(indicator);
            EXPECT_EQ(dotShows(), alerts && indicator) << alerts << indicator;
            EXPECT_EQ(dot.shouldShow(), alerts && indicator);
            h.alerts.setPendingEvents({});
            EXPECT_FALSE(dotShows());
        }

    // With the notch panel switched off the dot shows all the same, 8 points right of the
    // housing and 2 below the top: (756 + 92.5 + 8, 2).
    EXPECT_EQ(NotificationIndicatorPanelController::dotFrame(756, 185, 0), QRectF(856.5, 2, 12, 12));
    h.alerts.recordVantrelEvent(QStringLiteral("Timer finished"), true);
    ASSERT_TRUE(dotShows());
    EXPECT_EQ(dot.panel()->geometry(), QRect(857, 2, 12, 12));

    // It follows the screens with the panel off: another notched display, then none.
    h.screens.set({notchedScreen(2, QRect(0, 100, 1000, 700), 200, 38)}, std::nullopt);
    EXPECT_EQ(dot.panel()->geometry(), QRect(608, 102, 12, 12));
    h.screens.set({plainScreen(3, QRect(0, 0, 1920, 1080))}, std::nullopt);
    EXPECT_FALSE(dotShows());
    h.screens.set({builtIn()}, builtIn());
    EXPECT_TRUE(dotShows());

    // The notch panel places it with its own layout, and hiding the panel orders it out once.
    notch.show();
    EXPECT_EQ(dot.panel()->geometry(), QRect(857, 2, 12, 12));
    notch.hide();
    EXPECT_FALSE(dotShows());
    h.alerts.recordVantrelEvent(QStringLiteral("Timer finished"), true);
    EXPECT_TRUE(dotShows());
}

TEST_F(IndicatorTest, AClickClearsTheAlertsAndOpensTheNotificationsSection) {
    h.alerts.recordVantrelEvent(QStringLiteral("Timer finished"), true);
    ASSERT_TRUE(dotShows());

    auto* button = dot.panel()->findChild<QAbstractButton*>();
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(button->toolTip(), QStringLiteral("Open Vantrel notifications"));
    EXPECT_EQ(button->accessibleName(), QStringLiteral("Open Vantrel notifications"));
    EXPECT_EQ(button->size(), QSize(12, 12));
    ASSERT_FALSE(h.alerts.pendingEvents().empty());
    // A click on the square's corner misses the dot.
    QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(1, 1));
    EXPECT_FALSE(h.alerts.pendingEvents().empty());
    EXPECT_FALSE(h.log.entries.contains(QStringLiteral("open notifications")));

    // The notifications section opens through what the owner handed in, which also brings the
    // control center forward.
    QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(6, 6));
    EXPECT_TRUE(h.alerts.pendingEvents().empty());
    EXPECT_FALSE(dotShows());
    EXPECT_EQ(h.log.entries.filter(QRegularExpression(QStringLiteral("^(open|app\\.)"))),
              QStringList{"open notifications"});

    // With nothing to open the alerts are still cleared and the application activated.
    NotificationIndicatorPanelController bare(notchDependencies(h, {}).indicator);
    h.log.entries.clear();
    h.alerts.recordVantrelEvent(QStringLiteral("Timer finished"), true);
    bare.openNotifications();
    EXPECT_TRUE(h.alerts.pendingEvents().empty());
    EXPECT_EQ(h.log.entries.filter(QStringLiteral("app.")), QStringList{"app.activate"});

    // Releasing lets the dot's window go.
    h.alerts.recordVantrelEvent(QStringLiteral("Timer finished"), true);
    ASSERT_NE(dot.panel(), nullptr);
    dot.releasePanel();
    EXPECT_EQ(dot.panel(), nullptr);
}

TEST(NotificationIndicatorView, ARedDotWithALightRing) {
    const auto layout = NotificationIndicatorView::layout(QSizeF(12, 12));
    EXPECT_EQ(layout.circle, QRectF(0, 0, 12, 12));
    EXPECT_EQ(layout.ring, QRectF(0.35, 0.35, 11.3, 11.3));
    EXPECT_EQ(layout.ringWidth, 0.7);
    EXPECT_EQ(layout.fill, QColor(0xFF, 0x3B, 0x30));
    EXPECT_EQ(layout.ringColor.alpha(), 166);

    NotificationIndicatorView view({});
    view.resize(12, 12);
    QImage image(48, 48, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.scale(4, 4);
    view.render(&painter, QPoint(), QRegion(), QWidget::DrawChildren);
    painter.end();
    image.save(QDir::temp().filePath(QStringLiteral("vantrel-indicator.png")));
    const QColor centre = image.pixelColor(24, 24);
    EXPECT_EQ(centre.red(), 0xFF);
    EXPECT_EQ(centre.green(), 0x3B);
    EXPECT_EQ(centre.alpha(), 255);
    EXPECT_EQ(image.pixelColor(1, 1).alpha(), 0);
    // The ring lightens the edge.
    EXPECT_GT(image.pixelColor(24, 1).green(), 0x3B);
}

TEST_F(IndicatorTest, TheDotCastsARedGlowThatTakesNoClicks) {
    h.alerts.recordVantrelEvent(QStringLiteral("Timer finished"), true);
    ASSERT_TRUE(dotShows());
    QWidget* glow = dot.shadowWindow();
    ASSERT_NE(glow, nullptr);
    EXPECT_TRUE(glow->isVisible());
    // Red at 85 % opacity, radius 5, offset (0, 0).
    const VantrelShadow::Look look = NotificationIndicatorShadow::look();
    EXPECT_EQ(look.color.rgb(), QColor(0xFF, 0x3B, 0x30).rgb());
    EXPECT_NEAR(look.color.alphaF(), 0.85, 0.002);
    EXPECT_EQ(look.radius, 5);
    EXPECT_EQ(look.offset, QPointF(0, 0));
    // Its window reaches past the dot's 12 by 12 on every side and lets the pointer through.
    const QRect frame = glow->geometry();
    EXPECT_EQ(frame.center(), dot.panel()->geometry().center());
    EXPECT_GE(frame.width(), 12 + 2 * 5);
    EXPECT_TRUE(glow->windowFlags().testFlag(Qt::WindowTransparentForInput));
    EXPECT_TRUE(glow->testAttribute(Qt::WA_TransparentForMouseEvents));

    // The dot over its glow, four times enlarged, on the sheet.
    const QPoint dotAt = dot.panel()->geometry().topLeft() - frame.topLeft();
    QImage image(frame.size() * 4, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.scale(4, 4);
    glow->render(&painter, QPoint(), QRegion(), QWidget::DrawChildren);
    auto* button = dot.panel()->findChild<QAbstractButton*>();
    ASSERT_NE(button, nullptr);
    button->render(&painter, dotAt, QRegion(), QWidget::DrawChildren);
    painter.end();
    image.save(QDir::temp().filePath(QStringLiteral("vantrel-indicator-glow.png")));
    // A point right of the dot's edge: red, partly covered by the blur, at most 85 %.
    const QColor beside = image.pixelColor((dotAt.x() + 12 + 1) * 4, (dotAt.y() + 6) * 4);
    EXPECT_GT(beside.alpha(), 40);
    EXPECT_LT(beside.alpha(), int(0.85 * 255) + 1);
    EXPECT_EQ(beside.red(), 0xFF);
    EXPECT_LT(beside.green(), 0x50);
    // Fading with distance, and nothing past the blur's reach in the corners.
    const QColor further = image.pixelColor((dotAt.x() + 12 + 4) * 4, (dotAt.y() + 6) * 4);
    EXPECT_LT(further.alpha(), beside.alpha());
    EXPECT_EQ(image.pixelColor(0, 0).alpha(), 0);
    // With no offset the glow spreads evenly: its left half mirrors its right half.
    QImage alone(frame.size(), QImage::Format_ARGB32_Premultiplied);
    alone.fill(Qt::transparent);
    glow->render(&alone, QPoint(), QRegion(), QWidget::DrawChildren);
    const QImage mirrored = alone.mirrored(true, false);
    int uneven = 0;
    for (int y = 0; y < alone.height(); ++y)
        for (int x = 0; x < alone.width(); ++x)
            uneven += std::abs(qAlpha(alone.pixel(x, y)) - qAlpha(mirrored.pixel(x, y))) > 2;
    EXPECT_EQ(uneven, 0);
    EXPECT_GT(qAlpha(alone.pixel(dotAt.x() - 1, dotAt.y() + 6)), 40);
    // The dot itself stays the system red.
    EXPECT_EQ(image.pixelColor((dotAt.x() + 6) * 4, (dotAt.y() + 6) * 4), QColor(0xFF, 0x3B, 0x30));

    // The glow goes and comes with the dot.
    h.alerts.setPendingEvents({});
    EXPECT_FALSE(glow->isVisible());
    h.alerts.recordVantrelEvent(QStringLiteral("Timer finished"), true);
    EXPECT_TRUE(glow->isVisible());
    dot.releasePanel();
    EXPECT_EQ(dot.shadowWindow(), nullptr);
}

namespace {
// Help comes up as soon as the pointer rests, so the test waits on no delay of the style's.
class PromptHelp final : public QProxyStyle {
public:
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* data) const override {
        return hint == SH_ToolTip_WakeUpDelay ? 0 : QProxyStyle::styleHint(hint, option, widget, data);
    }
};

// Whether `expected` comes up as help when the pointer rests on `widget` while `active`, another
// program's window as far as the panels know, is the active one.
bool showsHelp(QWidget& widget, const QString& expected, QWidget& active) {
    // Shown windows are activated by the test platform once their events are handled.
    QCoreApplication::processEvents();
    QApplication::setActiveWindow(&active);
    PromptHelp style;
    widget.setStyle(&style);
    QTest::mouseMove(widget.window()->windowHandle(), widget.mapTo(widget.window(), widget.rect().center()));
    const bool shown =
        QTest::qWaitFor([&] { return QToolTip::isVisible() && QToolTip::text() == expected; }, 1000);
    widget.setStyle(nullptr);
    return shown && QApplication::activeWindow() == &active;
}
} // namespace

TEST_F(IndicatorTest, TheDotAndTheNotchShowTheirHelpWhileAnotherProgramsWindowIsActive) {
    QWidget editor;
    editor.setGeometry(0, 600, 300, 200);
    editor.show();

    h.alerts.recordVantrelEvent(QStringLiteral("Timer finished"), true);
    ASSERT_TRUE(dotShows());
    auto* button = dot.panel()->findChild<QAbstractButton*>();
    ASSERT_NE(button, nullptr);
    EXPECT_TRUE(showsHelp(*button, QStringLiteral("Open Vantrel notifications"), editor));

    notch.show();
    notch.expand(std::nullopt, false);
    h.scheduler.advance(Seconds(1));
    QAbstractButton* collapse = nullptr;
    for (auto* candidate : panel().findChildren<QAbstractButton*>())
        if (candidate->accessibleName() == u"Collapse notch" && candidate->isVisible()) collapse = candidate;
    ASSERT_NE(collapse, nullptr);
    EXPECT_TRUE(showsHelp(*collapse, QStringLiteral("Close notch"), editor));
}
