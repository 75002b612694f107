#include "notch/NotchSurfaceTestSupport.h"
#include "notch/NotchTimersView.h"
#include "support/ContactSheet.h"

#include <QPainter>
#include <QScrollArea>

using namespace vantrel;
using namespace vantrel::test;

namespace {

QImage render(QWidget& widget) {
    QImage image(widget.size(), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    widget.render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
    return image;
}

bool isOpaqueBlack(QRgb pixel) {
    return qAlpha(pixel) == 255 && qRed(pixel) < 8 && qGreen(pixel) < 8 && qBlue(pixel) < 8;
}

// Renders of the cap and the two looks, with pixel probes, laid out on one sheet for a person to
// look at.
class NotchSurfaceRender : public NotchSurfaceTest {
protected:
    // One sheet for all the renders of this program, written again after each test.
    static inline std::vector<std::pair<QString, QImage>> sheet;

    void TearDown() override {
        saveContactSheet(sheet, QStringLiteral(VANTREL_BINARY_DIR "/notch-surface-sheet.png"));
    }

    QImage renderSurface(NotchAppearance appearance, NotchTab tab) {
        h.preferences.setNotchAppearance(appearance);
        expand(tab);
        if (view().contentFade()) view().contentFade()->setCurrentTime(view().contentFade()->duration());
        return render(view());
    }
};

} // namespace

TEST_F(NotchSurfaceRender, CompactCapAndItsCapsule) {
    ASSERT_EQ(view().size(), QSize(185, 32));
    const QImage idle = render(view());
    sheet.emplace_back("cap 185 x 32", idle);
    EXPECT_EQ(qAlpha(idle.pixel(0, 31)), 0);
    EXPECT_EQ(qAlpha(idle.pixel(184, 31)), 0);
    EXPECT_TRUE(isOpaqueBlack(idle.pixel(92, 16)));
    EXPECT_TRUE(isOpaqueBlack(idle.pixel(0, 0)));
    EXPECT_TRUE(isOpaqueBlack(idle.pixel(92, 30)));

    // The capsule alone, without the panel opening under the pointer.
    h.preferences.setNotchAutoExpand(false);
    QEnterEvent enter(QPointF(90, 10), QPointF(90, 10), QPointF(90, 10));
    QApplication::sendEvent(&view(), &enter);
    view().hoverAnimation()->setCurrentTime(140);
    const QImage hovered = render(view());
    sheet.emplace_back("cap hovered", hovered);
    // A white capsule one point above the bottom, 72 wide.
    EXPECT_GT(qRed(hovered.pixel(92, 30)), 180);
    EXPECT_GT(qRed(hovered.pixel(92 - 34, 30)), 150);
    EXPECT_TRUE(isOpaqueBlack(hovered.pixel(92 - 40, 30)));
    EXPECT_TRUE(isOpaqueBlack(hovered.pixel(92, 28)));
    // Leaving, it narrows and fades over the same 0.14 s rather than going at once.
    leave();
    view().hoverAnimation()->setCurrentTime(35);
    const QImage leaving = render(view());
    EXPECT_GT(qRed(leaving.pixel(92, 30)), 40);
    EXPECT_LT(qRed(leaving.pixel(92, 30)), qRed(hovered.pixel(92, 30)));
    view().hoverAnimation()->setCurrentTime(140);
    EXPECT_TRUE(isOpaqueBlack(render(view()).pixel(92, 30)));

    // Without a notch the cap draws nothing at all.
    h.screens.set({plainScreen(1, QRect(0, 0, 1512, 982))}, plainScreen(1, QRect(0, 0, 1512, 982)));
    ASSERT_FALSE(controller.hasPhysicalNotch());
    NotchSurfaceView plain(controller, stores.notchSurface());
    plain.resize(185, 32);
    const QImage clear = render(plain);
    for (QPoint p : {QPoint(92, 16), QPoint(92, 30), QPoint(0, 0)}) EXPECT_EQ(qAlpha(clear.pixel(p)), 0);
}

TEST_F(NotchSurfaceRender, BothLooksAtTheHomeAndClipboardSizes) {
    struct Case {
        NotchAppearance appearance;
        NotchTab tab;
        QSize size;
    };
    for (const Case& c : {Case{NotchAppearance::midnight, NotchTab::home, {820, 104}},
                          Case{NotchAppearance::crystal, NotchTab::home, {820, 104}},
                          Case{NotchAppearance::midnight, NotchTab::clipboard, {820, 470}},
                          Case{NotchAppearance::crystal, NotchTab::clipboard, {820, 470}}}) {
        const QImage image = renderSurface(c.appearance, c.tab);
        ASSERT_EQ(image.size(), c.size);
        const QString name = QStringLiteral("%1 %2 %3 x %4")
                                 .arg(rawValue(c.appearance), rawValue(c.tab))
                                 .arg(c.size.width())
                                 .arg(c.size.height());
        sheet.emplace_back(name, image);
        SCOPED_TRACE(name.toStdString());
        const int w = c.size.width(), hgt = c.size.height();
        // Beside the bridge, above the shoulders, the panel is clear.
        EXPECT_LT(qAlpha(image.pixel(20, 4)), 12);
        // The bridge over the notch is black in both looks.
        EXPECT_TRUE(isOpaqueBlack(image.pixel(w / 2, 2)));
        // The body's corners are rounded away.
        EXPECT_LT(qAlpha(image.pixel(w - 1, hgt - 1)), 60);
        // The stroke shows at the right edge: lighter than the body just inside.
        const QRgb edge = image.pixel(w - 1, hgt / 2 + 20);
        const QRgb inside = image.pixel(w - 12, hgt / 2 + 20);
        EXPECT_GT(qAlpha(edge), 0);
        if (c.appearance == NotchAppearance::midnight) {
            EXPECT_TRUE(isOpaqueBlack(inside));
            EXPECT_GT(qRed(edge), qRed(inside));
        } else {
            // Frosted light glass.
            EXPECT_GT(qRed(inside), 180);
            EXPECT_GT(qAlpha(inside), 200);
        }
    }
}

TEST_F(NotchSurfaceRender, HalfWayThroughATabChangeBothViewsShow) {
    const QImage before = renderSurface(NotchAppearance::midnight, NotchTab::clipboard);
    controller.setSelectedTab(NotchTab::timers);
    settle();
    view().contentFade()->setCurrentTime(view().contentFade()->duration());
    const QImage after = render(view());
    controller.setSelectedTab(NotchTab::clipboard);
    settle();
    view().contentFade()->setCurrentTime(90);
    const QImage halfway = render(view());
    sheet.emplace_back("midnight timers to clipboard, half way through the 0.18 s cross-fade", halfway);
    ASSERT_EQ(halfway.size(), before.size());
    // Where either tab's view draws and the other does not, half way shows some of each.
    int between = 0;
    for (int y = 120; y < 460; y += 2)
        for (int x = 20; x < 800; x += 2) {
            const int a = qGray(before.pixel(x, y)), b = qGray(after.pixel(x, y)),
                      m = qGray(halfway.pixel(x, y));
            if (std::abs(a - b) > 60 && m > std::min(a, b) + 10 && m < std::max(a, b) - 10) ++between;
        }
    EXPECT_GT(between, 20);
}

TEST_F(NotchSurfaceRender, TheLapListLiesOnThePanelsOwnSurfaceInBothLooks) {
    stores.stopwatch.startStopwatch();
    for (int lap = 0; lap < 3; ++lap) {
        h.scheduler.advance(Seconds(4.2));
        stores.stopwatch.recordLap();
    }
    for (NotchAppearance appearance : {NotchAppearance::midnight, NotchAppearance::crystal}) {
        const QImage image = renderSurface(appearance, NotchTab::timers);
        const QString name = QStringLiteral("%1 timers with three laps").arg(rawValue(appearance));
        sheet.emplace_back(name, image);
        SCOPED_TRACE(name.toStdString());
        auto* timers = view().findChild<NotchTimersView*>();
        ASSERT_NE(timers, nullptr);
        QWidget* list = timers->lapList();
        ASSERT_TRUE(list->isVisible());
        const QRect area(list->mapTo(&view(), QPoint()), list->size());
        ASSERT_GT(area.height(), 20);
        // Between "Lap 3" on the left and its time on the right the row shows the surface itself,
        // as it does just left of the list; never the palette's grey (239, 239, 239).
        const int y = area.top() + 3;
        const QRgb inside = image.pixel(area.center().x(), y);
        const QRgb beside = image.pixel(area.left() - 3, y);
        EXPECT_NE(QColor(inside).rgb() & 0xffffff, QColor(239, 239, 239).rgb() & 0xffffff);
        EXPECT_LE(std::abs(qRed(inside) - qRed(beside)), 6) << qRed(inside) << " against " << qRed(beside);
        EXPECT_LE(std::abs(qBlue(inside) - qBlue(beside)), 6);
        if (appearance == NotchAppearance::midnight) {
            EXPECT_TRUE(isOpaqueBlack(inside));
            // The rows' white texts show on it: the brightest pixel of the first row is light.
            int brightest = 0;
            for (int x = area.left(); x < area.right(); ++x)
                for (int row = area.top(); row < area.top() + 12; ++row)
                    brightest = std::max(brightest, qGray(image.pixel(x, row)));
            EXPECT_GT(brightest, 200);
        }
    }
}
