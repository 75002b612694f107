#include "KitRender.h"
#include "kit/AlignedSettingRow.h"
#include "kit/FeatureRow.h"
#include "kit/HazardBadge.h"
#include "kit/MetricPill.h"
#include "kit/SettingBinding.h"
#include "kit/SettingsCard.h"
#include "kit/StatusBadge.h"
#include "kit/ThemeImageStore.h"
#include "kit/VantrelBackdrop.h"
#include "kit/VantrelHelpButton.h"
#include "kit/VantrelIcon.h"
#include "kit/VantrelMenuPicker.h"
#include "kit/VantrelMotion.h"
#include "kit/VantrelPage.h"
#include "kit/VantrelSegmentedControl.h"
#include "kit/VantrelSliderRow.h"
#include "kit/VantrelSwitch.h"
#include "support/FakeFileManager.h"
#include "support/KitHarness.h"

#include <QApplication>
#include <QEnterEvent>
#include <QHBoxLayout>
#include <QVBoxLayout>
#include <gtest/gtest.h>

using namespace vantrel;
using namespace vantrel::test;

namespace {

// A page made of every piece of the kit, as a settings page would assemble it.
struct SamplePage {
    KitHarness& kit;
    VantrelPage page{kit.preferences, "Notch",
                     QStringLiteral("How the panel under the camera looks and behaves"), 980};
    std::vector<FeatureRow*> rows;
    FeatureRow* sideRow = nullptr;
    AlignedSettingRow* aligned = nullptr;
    VantrelHelpButton* help = nullptr;

    explicit SamplePage(KitHarness& k) : kit(k) {
        auto* panel = new SettingsCard(kit.preferences, kit.appearance, "Notch Panel",
                                       QStringLiteral("The panel that opens from the notch"),
                                       QStringLiteral("Hover the notch to open the panel; it closes when the "
                                                      "pointer leaves."));
        help = panel->helpButton();
        auto* toggle = new VantrelSwitch(&kit.haptics);
        toggle->bind(VANTREL_PREFERENCE_BINDING(kit.preferences, notchEnabled, NotchEnabled));
        auto* expand = new VantrelSwitch(&kit.haptics);
        expand->bind(VANTREL_PREFERENCE_BINDING(kit.preferences, notchAutoExpand, NotchAutoExpand));
        auto* size = new VantrelSegmentedControl("Size", {"Small", "Medium", "Large"}, &kit.haptics);
        size->bind(VANTREL_PREFERENCE_BINDING(kit.preferences, notchSize, NotchSize),
                   QList<NotchSize>{NotchSize::small, NotchSize::medium, NotchSize::large});
        size->setFixedWidth(260);
        rows = {new FeatureRow(kit.preferences, "sparkles", VantrelTheme::accent(Accent::sky), "Notch Panel",
                               "Show the panel under the camera housing", toggle),
                new FeatureRow(kit.preferences, "timer", VantrelTheme::accent(Accent::amber), "Open on hover",
                               "Expand as soon as the pointer rests on the notch, without a click; a long "
                               "explanation wraps onto as many lines as it needs",
                               expand),
                new FeatureRow(kit.preferences, "tray.full", VantrelTheme::accent(Accent::mint), "Panel size",
                               "How much room the expanded panel takes", size)};
        auto* list = new QWidget;
        auto* listLayout = new QVBoxLayout(list);
        listLayout->setContentsMargins(0, 0, 0, 0);
        listLayout->setSpacing(14);
        for (FeatureRow* row : rows) listLayout->addWidget(row);
        panel->addContent(list);
        page.addContent(panel);

        auto* layout = new SettingsCard(kit.preferences, kit.appearance, "Layout");
        auto* rowsBox = new QWidget;
        auto* box = new QVBoxLayout(rowsBox);
        box->setContentsMargins(0, 0, 0, 0);
        box->setSpacing(12);
        auto* collapse = new VantrelMenuPicker("Collapse", {"Instantly", "After a short delay", "Never"},
                                               kit.menus, &kit.haptics);
        collapse->bind(
            VANTREL_PREFERENCE_BINDING(kit.preferences, notchCollapseBehavior, NotchCollapseBehavior),
            QList<NotchCollapseBehavior>{NotchCollapseBehavior::immediate, NotchCollapseBehavior::shortDelay,
                                         NotchCollapseBehavior::manual});
        aligned = new AlignedSettingRow("Collapse", 110, 260, collapse);
        box->addWidget(aligned);
        auto* mode =
            new VantrelSegmentedControl("Appearance", {"Follow System", "Dark", "Light"}, &kit.haptics);
        mode->bind(
            VANTREL_PREFERENCE_BINDING(kit.preferences, appearanceMode, AppearanceMode),
            QList<AppearanceMode>{AppearanceMode::system, AppearanceMode::dark, AppearanceMode::light});
        box->addWidget(new AlignedSettingRow("Appearance", 110, 260, mode));
        auto* width = new VantrelSliderRow("Compact width", 160, 320, VantrelSliderRow::oneDecimal("pt"));
        width->bind(VANTREL_PREFERENCE_BINDING(kit.preferences, notchCompactWidth, NotchCompactWidth));
        box->addWidget(width);
        layout->addContent(rowsBox);

        auto* status = new SettingsCard(kit.preferences, kit.appearance, "Status",
                                        QStringLiteral("What the panel is doing now"));
        auto* strip = new QWidget;
        auto* lines = new QVBoxLayout(strip);
        lines->setContentsMargins(0, 0, 0, 0);
        lines->setSpacing(12);
        auto* alerts = new VantrelSwitch(&kit.haptics);
        alerts->bind(VANTREL_PREFERENCE_BINDING(kit.preferences, notificationsEnabled, NotificationsEnabled));
        sideRow = new FeatureRow(kit.preferences, "calendar", VantrelTheme::accent(Accent::coral), "Alerts",
                                 "Flash the notch when a notification arrives", alerts);
        lines->addWidget(sideRow);
        auto* pills = new QHBoxLayout;
        pills->setSpacing(10);
        pills->addWidget(new MetricPill("Widgets", "9", "note.text", VantrelTheme::accent(Accent::violet)));
        pills->addWidget(
            new MetricPill("Clipboard", "24", "doc.on.clipboard", VantrelTheme::accent(Accent::teal)));
        pills->addWidget(
            new MetricPill("Free", "", "gauge.with.dots.needle.67percent", VantrelTheme::caution()));
        pills->addStretch(1);
        lines->addLayout(pills);
        auto* badges = new QHBoxLayout;
        badges->setSpacing(8);
        badges->addWidget(new StatusBadge(kit.preferences, true, "ACTIVE", "PAUSED"));
        badges->addWidget(new StatusBadge(kit.preferences, false, "ACTIVE", "PAUSED"));
        badges->addWidget(new HazardBadge("Needs access"));
        badges->addStretch(1);
        lines->addLayout(badges);
        status->addContent(strip);

        // Two cards side by side, as the Dock page sets them.
        auto* pair = new QWidget;
        auto* columns = new QHBoxLayout(pair);
        columns->setContentsMargins(0, 0, 0, 0);
        columns->setSpacing(16);
        columns->addWidget(layout, 1, Qt::AlignTop);
        columns->addWidget(status, 1, Qt::AlignTop);
        page.addContent(pair);
    }

    // The whole page, scrolled to its top, over the window's own backdrop.
    QImage render(int width, ColorScheme scheme) {
        VantrelTheme::setColorScheme(&page, scheme);
        page.resize(width, 600);
        page.show();
        page.setFocus(); // no control shows a focus ring
        QApplication::processEvents();
        page.resize(width, page.widget()->heightForWidth(width));
        QApplication::processEvents();
        VantrelBackdrop backdrop(kit.preferences, images, motion);
        VantrelTheme::setColorScheme(&backdrop, scheme);
        backdrop.resize(page.size());
        backdrop.show();
        QImage image(page.size(), QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        backdrop.render(&image);
        page.render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
        return image;
    }

    FakeFileManager files;
    // The artwork drawn by the build.
    ThemeImageStore images{files, QStringLiteral(VANTREL_BINARY_DIR)};
    VantrelMotion motion{kit.appearance};
};

} // namespace

TEST(PageKitSheet, SamplePageDarkAndLightNarrowAndWide) {
    KitHarness kit;
    kit.preferences.setAccent(Accent::sky);
    kit.preferences.setInterfaceCornerStyle(CornerStyle::rounded);
    SamplePage sample(kit);
    // The help glyph shows as it does under the pointer.
    QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), QPointF(5, 5));
    QApplication::sendEvent(sample.help, &enter);

    QList<QImage> images;
    for (int width : {880, 1200}) {
        for (ColorScheme scheme : {ColorScheme::dark, ColorScheme::light}) {
            images.append(sample.render(width, scheme));
            // Every feature row's icon shows its glyph: the middle of the tile holds pixels of
            // the row's own colour, not only the tile's faint tint.
            for (FeatureRow* row :
                 std::vector<FeatureRow*>{sample.rows[0], sample.rows[1], sample.rows[2], sample.sideRow}) {
                const QRect tile(row->icon()->mapTo(&sample.page, QPoint(0, 0)), row->icon()->size());
                const QColor ink = row->icon()->iconColor();
                int glyph = 0;
                for (int y = tile.top() + 12; y < tile.bottom() - 12; ++y)
                    for (int x = tile.left() + 12; x < tile.right() - 12; ++x) {
                        const QColor pixel = images.last().pixelColor(x, y);
                        glyph += std::abs(pixel.red() - ink.red()) + std::abs(pixel.green() - ink.green()) +
                                     std::abs(pixel.blue() - ink.blue()) <
                                 60;
                    }
                EXPECT_GT(glyph, 10) << row->accessibleName().toStdString() << " " << width;
            }
            EXPECT_EQ(sample.page.column()->x(), width == 880 ? 20 : 142);
            // The full-width card keeps its rows on one line; the half-width card stacks its row,
            // and its aligned rows sit side by side only in the wide page.
            EXPECT_TRUE(sample.rows[0]->layoutFor(sample.rows[0]->width()).wide) << width;
            EXPECT_FALSE(sample.sideRow->layoutFor(sample.sideRow->width()).wide) << width;
            EXPECT_EQ(sample.aligned->layoutFor(sample.aligned->width()).wide, width == 1200);
        }
    }
    // Dark pages are dark and light pages light, at the heading.
    EXPECT_LT(qGray(images[0].pixel(10, 10)), 40);
    EXPECT_GT(qGray(images[1].pixel(10, 10)), 200);
    saveSheet(QStringLiteral("pagekit-sample"), images, 2);
}
