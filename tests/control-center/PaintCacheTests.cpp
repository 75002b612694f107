#include "control-center/RootView.h"
#include "kit/KitRender.h"
#include "support/ControlCenterHarness.h"

#include <QCoreApplication>
#include <gtest/gtest.h>

using namespace vantrel;
using namespace vantrel::test;

namespace {

// The largest difference of one channel between two images of one size, and where it is.
std::pair<int, QPoint> largestDifference(const QImage& a, const QImage& b) {
    int worst = 0;
    QPoint at;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
            const int d = std::max({std::abs(qRed(p) - qRed(q)), std::abs(qGreen(p) - qGreen(q)),
                                    std::abs(qBlue(p) - qBlue(q)), std::abs(qAlpha(p) - qAlpha(q))});
            if (d > worst) {
                worst = d;
                at = QPoint(x, y);
            }
        }
    return {worst, at};
}

} // namespace

// A card whose look has just changed paints its rounded outline whole; the paints after that fill
// it from what the card keeps, and must not show it.
TEST(PaintCaches, HomeAndASettingsPageRepaintFromTheirCachesAsTheyFirstPainted) {
    QList<QImage> sheet;
    for (const VantrelSection section : {VantrelSection::home, VantrelSection::appearance}) {
        for (const ColorScheme scheme : {ColorScheme::dark, ColorScheme::light}) {
            ControlCenterHarness c;
            c.h.preferences.setHasCompletedOnboarding(true);
            c.h.preferences.setAppearanceMode(scheme == ColorScheme::dark ? AppearanceMode::dark
                                                                          : AppearanceMode::light);
            c.sections.select(section);
            RootView root(c.context());
            root.resize(1080, 720);
            root.show();
            QCoreApplication::sendPostedEvents();
            const Accent accent = c.h.preferences.accent();
            c.h.preferences.setAccent(accent == Accent::crimson ? Accent::mint : Accent::crimson);
            renderWidget(root, Qt::black);
            c.h.preferences.setAccent(accent);
            const QImage fresh = renderWidget(root, Qt::black);
            renderWidget(root, Qt::black);
            const QImage kept = renderWidget(root, Qt::black);
            ASSERT_EQ(kept.size(), QSize(1080, 720));
            const auto [worst, at] = largestDifference(fresh, kept);
            EXPECT_LE(worst, 1) << rawValue(section).toStdString() << " at " << at.x() << ", " << at.y();
            sheet << fresh << kept;
        }
    }
    // Each state painted afresh beside its repaint.
    saveSheet(QStringLiteral("paint-caches"), sheet, 2);
}
