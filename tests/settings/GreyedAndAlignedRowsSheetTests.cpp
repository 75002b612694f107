#include "kit/AlignedSettingRow.h"
#include "kit/KitRender.h"
#include "kit/VantrelLabel.h"
#include "kit/VantrelMenuPicker.h"
#include "kit/VantrelSegmentedControl.h"
#include "kit/VantrelTheme.h"
#include "settings/FeedbackPage.h"
#include "settings/NotificationsPage.h"
#include "support/ControlCenterHarness.h"

#include <QCoreApplication>
#include <QGraphicsEffect>
#include <QSlider>
#include <gtest/gtest.h>

using namespace vantrel;
using namespace vantrel::test;

namespace {

// The page in the dark appearance on black, laid out at `size`.
QImage darkShot(QWidget& page, QSize size) {
    page.resize(size);
    VantrelTheme::setColorScheme(&page, ColorScheme::dark);
    page.show();
    QCoreApplication::sendPostedEvents();
    return renderWidget(page, Qt::black);
}

// How far the brightest pixel of `label`'s text stands out from the darkest around it.
int textContrast(const QImage& image, QWidget& page, const QWidget& label) {
    const QRect area(label.mapTo(&page, QPoint()), label.size());
    int lightest = 0, darkest = 255;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x) {
            const int l = image.pixelColor(x, y).lightness();
            lightest = std::max(lightest, l);
            darkest = std::min(darkest, l);
        }
    return lightest - darkest;
}

VantrelLabel* labelReading(const QWidget* group, const QString& text) {
    for (VantrelLabel* label : group->findChildren<VantrelLabel*>())
        if (label->text() == text) return label;
    return nullptr;
}

// The text of `label`, inside the greyed `group`, against the same group drawn at full opacity:
// the share of the contrast left. Also the crop of both, for the sheet.
double fadedShare(QWidget& page, QSize size, QWidget* group, const QString& text, QList<QImage>& sheet) {
    VantrelLabel* label = labelReading(group, text);
    if (!label) return -1;
    const QImage greyed = darkShot(page, size);
    const QRect crop(group->mapTo(&page, QPoint()), group->size());
    group->graphicsEffect()->setEnabled(false);
    group->setEnabled(true);
    const QImage full = darkShot(page, size);
    sheet << greyed.copy(crop) << full.copy(crop);
    return double(textContrast(greyed, page, *label)) / textContrast(full, page, *label);
}

} // namespace

TEST(GreyedRows, TheirTextsFadeOnceWithTheRowNotAgainOnTheirOwn) {
    QList<QImage> sheet;
    {
        ControlCenterHarness c;
        NotificationsPage page(c.context());
        // The unavailable rows at 0.62: title and detail alike.
        for (const auto& [row, title] :
             {std::pair<QWidget*, QString>{page.mirrorRow(), "Mirror notifications from other apps"},
              {page.backlightRow(), "Backlight alert patterns"}}) {
            EXPECT_NEAR(fadedShare(page, QSize(880, 1400), row, title, sheet), 0.62, 0.05)
                << title.toStdString();
        }
    }
    {
        ControlCenterHarness c;
        FeedbackPage page(c.context());
        // Feedback off: the gesture rows at 0.46.
        ASSERT_FALSE(page.gestureRows()->isEnabled());
        EXPECT_NEAR(
            fadedShare(page, QSize(1040, 1500), page.gestureRows(), QStringLiteral("Scrolling"), sheet), 0.46,
            0.05);
    }
    saveSheet(QStringLiteral("greyed-rows-faded-and-full"), sheet, 2);
}

TEST(AlignedRows, TheAlarmsControlsSitCentredInTheir430PointColumn) {
    ControlCenterHarness c;
    NotificationsPage page(c.context());
    const QImage image = darkShot(page, QSize(880, 1400));
    const QList<QWidget*> controls{page.soundPicker()->parentWidget(), page.deliveryPicker(),
                                   page.volumeSlider()->parentWidget()};
    QList<QImage> sheet;
    for (QWidget* control : controls) {
        auto* row = qobject_cast<AlignedSettingRow*>(control->parentWidget());
        ASSERT_NE(row, nullptr);
        SCOPED_TRACE(row->title().toStdString());
        ASSERT_GE(row->width(), 150 + 18 + 430) << "side by side";
        // The column starts 18 after the 150-point label column; the control is centred in it.
        const double columnCentre = 150 + 18 + 430 / 2.0;
        EXPECT_NEAR(control->geometry().center().x() + 0.5, columnCentre, 1);
        EXPECT_GT(control->x(), 150 + 18 + 5) << "not at the column's leading edge";
        sheet << image.copy(QRect(row->mapTo(&page, QPoint()), row->size()));
    }
    saveSheet(QStringLiteral("alarm-rows-centred"), sheet, 1);
}
