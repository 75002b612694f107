#include "DockPageFixture.h"
#include "kit/ApplicationChooser.h"
#include "kit/ApplicationChooserPanel.h"
#include "kit/FeatureRow.h"
#include "kit/KitPaint.h"
#include "kit/VantrelGlyph.h"
#include "kit/VantrelHelpButton.h"
#include "kit/VantrelIcon.h"
#include "kit/VantrelTheme.h"
#include "kit/VantrelType.h"

#include "support/ContactSheet.h"
#include "support/QtPrinters.h"
#include <QAbstractItemView>
#include <QApplication>
#include <QLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QRegularExpression>
#include <QScrollBar>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

using namespace vantrel;
using namespace vantrel::test;

namespace {

FeatureRow* activeRow(DockPage& page) {
    FeatureRow* found = nullptr;
    for (FeatureRow* row : page.activeDockCard()->findChildren<FeatureRow*>())
        if (row->isVisibleTo(page.activeDockCard())) found = row;
    return found;
}

} // namespace

TEST(DockPage, TheSwitchWritesThenAppliesAndSwapsTheSectionsAtOnce) {
    DockPageFixture f;
    DockPage& page = f.make();
    EXPECT_EQ(page.title(), QStringLiteral("Dock"));
    EXPECT_EQ(page.maxWidth(), 1040);
    EXPECT_EQ(page.activeDockCard()->title(), QStringLiteral("Active Dock"));
    ASSERT_TRUE(page.activeDockCard()->subtitleLabel());
    EXPECT_EQ(page.activeDockCard()->subtitleLabel()->text(),
              QStringLiteral("Only one Dock mode is active at a time"));
    ASSERT_TRUE(page.activeDockCard()->helpButton());
    EXPECT_EQ(
        page.activeDockCard()->helpButton()->helpText(),
        QStringLiteral("Switching modes is reversible. Vantrel stores the native Dock settings before "
                       "showing Vantrel Dock, then restores them when Vantrel Dock is turned off or the "
                       "app quits."));
    EXPECT_EQ(page.section()->objectName(), QStringLiteral("native"));
    EXPECT_EQ(activeRow(page)->titleLabel()->text(), QStringLiteral("Native macOS Dock"));
    EXPECT_EQ(activeRow(page)->subtitleLabel()->text(), f.d.controller->statusMessage());
    EXPECT_EQ(page.useVantrelDockSwitch()->toolTip(),
              QStringLiteral("Switch between the native macOS Dock and Vantrel Dock."));

    const qsizetype mark = f.c.mark();
    page.useVantrelDockSwitch()->click();
    EXPECT_EQ(f.c.callsSince(mark),
              (QStringList{kControlsHaptic, "set dock.customEnabled true", "applyPreferences"}));
    EXPECT_EQ(page.section()->objectName(), QStringLiteral("replacement"));
    f.settle();
    EXPECT_EQ(activeRow(page)->titleLabel()->text(), QStringLiteral("Vantrel Dock"));
    EXPECT_TRUE(page.useVantrelDockSwitch()->isChecked());

    // While the controller changes the system Dock, the tooltip says the choice is queued and the
    // subtitle follows the controller's status.
    f.d.controller->setWantsSystemDockSuppressed(true);
    f.d.controller->synchronizeSystemDock();
    EXPECT_EQ(page.useVantrelDockSwitch()->toolTip(),
              QStringLiteral("Finishing the current Dock change; your latest choice is queued."));
    EXPECT_EQ(activeRow(page)->subtitleLabel()->text(), QStringLiteral("Switching to Vantrel Dock\u2026"));
    f.d.dockQueue.drain();
    EXPECT_EQ(page.useVantrelDockSwitch()->toolTip(),
              QStringLiteral("Switch between the native macOS Dock and Vantrel Dock."));

    page.useVantrelDockSwitch()->click();
    EXPECT_EQ(page.section()->objectName(), QStringLiteral("native"));
    EXPECT_EQ(f.c.h.preferences.customDockEnabled(), false);
}

TEST(DockPage, TheNativeSectionReloadsEachTimeItComesOnScreen) {
    DockPageFixture f;
    DockPage& page = f.make();
    f.settle();
    EXPECT_TRUE(f.native->isLoading()) << "shown: a reload";
    EXPECT_EQ(f.nativeQueue.pendingCount(), 1u);
    f.nativeQueue.drain();
    const qsizetype reads = f.nativeDomain.commands.entries.count(QStringLiteral("read tilesize"));

    page.hide();
    page.show();
    f.settle();
    f.nativeQueue.drain();
    EXPECT_EQ(f.nativeDomain.commands.entries.count(QStringLiteral("read tilesize")), reads + 1);

    f.c.h.preferences.setCustomDockEnabled(true);
    f.nativeQueue.drain();
    EXPECT_EQ(f.nativeDomain.commands.entries.count(QStringLiteral("read tilesize")), reads + 1)
        << "the replacement section reads nothing";
    f.c.h.preferences.setCustomDockEnabled(false);
    f.settle();
    f.nativeQueue.drain();
    EXPECT_EQ(f.nativeDomain.commands.entries.count(QStringLiteral("read tilesize")), reads + 2);
}

TEST(DockPage, SwitchingOffOnThePageReadsTheNativeDockAfterItsRestore) {
    DockPageFixture f;
    // The application's restore of the system Dock, queued by applying the settings.
    f.context.applyPreferences = [&f] {
        f.nativeQueue.async([&f] { f.nativeDomain.commands.add(QStringLiteral("restore")); });
    };
    f.c.h.preferences.setCustomDockEnabled(true);
    DockPage& page = f.make();
    f.settle();
    const qsizetype mark = f.nativeDomain.commands.entries.size();
    page.useVantrelDockSwitch()->click();
    f.settle();
    f.nativeQueue.drain();
    const QStringList commands = f.nativeDomain.commands.entries.mid(mark);
    ASSERT_FALSE(commands.isEmpty());
    EXPECT_EQ(commands.first(), QStringLiteral("restore"));
    EXPECT_EQ(commands.at(1), QStringLiteral("read tilesize"));
    EXPECT_EQ(f.native->statusMessage(), QStringLiteral("Loaded current macOS Dock settings"));
}

TEST(DockPage, NativeControlsEditOnlyTheCopy) {
    DockPageFixture f;
    f.nativeDomain.values[QStringLiteral("tilesize")] = QStringLiteral("48");
    f.make();
    f.nativeQueue.drain();
    const qsizetype mark = f.nativeDomain.commands.entries.size();

    EXPECT_FALSE(f.shows(f.slider(QStringLiteral("Reveal delay")))) << "only with auto-hide";
    f.checkbox(QStringLiteral("Automatically hide and show"))->click();
    EXPECT_TRUE(f.native->autoHide());
    ASSERT_TRUE(f.shows(f.slider(QStringLiteral("Reveal delay"))));
    EXPECT_EQ(f.slider(QStringLiteral("Reveal delay"))->valueText(), QStringLiteral("0.1s"));

    EXPECT_EQ(f.slider(QStringLiteral("Icon size"))->valueText(), QStringLiteral("48.0pt"));
    f.slider(QStringLiteral("Icon size"))
        ->slider()
        ->setValue(f.slider(QStringLiteral("Icon size"))->slider()->maximum());
    EXPECT_EQ(f.native->tileSize(), 92);
    EXPECT_EQ(f.slider(QStringLiteral("Icon size"))->valueText(), QStringLiteral("92.0pt"));
    for (const char* title :
         {"Magnification", "Show recent applications", "Show only running apps", "Dim hidden applications"})
        f.checkbox(QString::fromLatin1(title))->click();
    EXPECT_FALSE(f.native->magnification());
    EXPECT_FALSE(f.native->showRecents());
    EXPECT_TRUE(f.native->showOnlyRunning());
    EXPECT_TRUE(f.native->translucentHiddenApps());

    auto* position = f.named<QComboBox>(QStringLiteral("Position"));
    ASSERT_TRUE(position);
    EXPECT_EQ(position->itemText(0), QStringLiteral("Left"));
    EXPECT_EQ(position->itemText(2), QStringLiteral("Right"));
    EXPECT_EQ(position->currentText(), QStringLiteral("Bottom"));
    position->activated(0);
    EXPECT_EQ(f.native->position(), DockPosition::left);
    auto* effect = f.named<QComboBox>(QStringLiteral("Minimize effect"));
    EXPECT_EQ(effect->itemText(2), QStringLiteral("Suck"));
    effect->activated(1);
    EXPECT_EQ(f.native->minimizeEffect(), DockMinimizeEffect::scale);

    EXPECT_TRUE(f.nativeDomain.commands.entries.mid(mark).isEmpty()) << "nothing reaches the system";
    EXPECT_EQ(f.nativeDomain.values.size(), 1u);
    EXPECT_EQ(f.labelText(QStringLiteral("nativeStatus")),
              QStringLiteral("Loaded current macOS Dock settings"));
    EXPECT_EQ(f.c.h.log.entries.filter(QRegularExpression(QStringLiteral("^haptic "))).size(), 0)
        << "the native controls are silent";

    // A reload replaces the edits with what the system holds.
    f.button(QStringLiteral("reload"))->click();
    f.nativeQueue.drain();
    EXPECT_EQ(f.native->tileSize(), 48);
    EXPECT_EQ(f.slider(QStringLiteral("Icon size"))->valueText(), QStringLiteral("48.0pt"));
}

TEST(DockPage, ApplyIsUsableDuringALoadAndEachButtonNamesItsOwnWork) {
    DockPageFixture f;
    f.make();
    VantrelButton* reload = f.button(QStringLiteral("reload"));
    VantrelButton* apply = f.button(QStringLiteral("apply"));
    EXPECT_EQ(reload->text(), QStringLiteral("Loading\u2026"));
    EXPECT_FALSE(reload->isEnabled());
    EXPECT_EQ(apply->text(), QStringLiteral("Apply to macOS Dock"));
    EXPECT_TRUE(apply->isEnabled());
    EXPECT_EQ(f.labelText(QStringLiteral("nativeStatus")), QStringLiteral("Reading the macOS Dock\u2026"));

    f.checkbox(QStringLiteral("Automatically hide and show"))->click();
    qsizetype mark = f.c.mark();
    apply->click();
    EXPECT_EQ(f.c.callsSince(mark), (QStringList{kControlsHaptic, "nativeDock.apply"}));
    EXPECT_EQ(apply->text(), QStringLiteral("Applying\u2026"));
    EXPECT_FALSE(apply->isEnabled());
    EXPECT_FALSE(reload->isEnabled());
    f.nativeQueue.drain();
    EXPECT_EQ(reload->text(), QStringLiteral("Reload Current"));
    EXPECT_TRUE(reload->isEnabled());
    EXPECT_TRUE(apply->isEnabled());
    EXPECT_EQ(f.labelText(QStringLiteral("nativeStatus")), QStringLiteral("Dock updated"));
    EXPECT_EQ(f.nativeDomain.values[QStringLiteral("autohide")], QStringLiteral("true"));

    // With the replacement Dock switched on meanwhile, Apply switches it off first.
    f.c.h.preferences.setCustomDockEnabled(true); // the native section leaves, its button still alive
    mark = f.c.mark();
    apply->click();
    EXPECT_EQ(f.c.callsSince(mark), (QStringList{kControlsHaptic, "set dock.customEnabled false",
                                                 "applyPreferences", "nativeDock.apply"}));
}

TEST(DockPage, TheReplacementSectionShowsItsCardsAndTheVisibilityModesTexts) {
    DockPageFixture f;
    f.c.h.preferences.setCustomDockEnabled(true);
    DockPage& page = f.make();
    EXPECT_EQ(f.cardTitles(), (QStringList{"Vantrel Dock visibility", "Layout", "Motion & content", "Surface",
                                           "Size & appearance", "Pinned content", "Shelf extensions"}));
    EXPECT_EQ(f.nativeQueue.pendingCount(), 0u) << "no reload for the replacement Dock";
    (void)page;

    EXPECT_EQ(f.segmented(QStringLiteral("Visibility"))->options(),
              (QStringList{"Always visible", "Always auto-hide", "Hide in full screen"}));
    EXPECT_EQ(f.labelText(QStringLiteral("modeDescription")),
              QStringLiteral("Hidden until you move the pointer to the bottom edge"));
    EXPECT_TRUE(f.shows(f.row(QStringLiteral("delays"))));
    EXPECT_EQ(f.segmented(QStringLiteral("Reveal"))->selectedIndex(), 1) << "0.1 s: Natural";
    EXPECT_EQ(f.segmented(QStringLiteral("Hide"))->selectedIndex(), 1) << "0.45 s: Natural";

    auto* live = f.named<QWidget>(QStringLiteral("liveState"));
    auto liveText = [&] { return live->findChild<VantrelLabel*>()->text(); };
    EXPECT_EQ(liveText(), QStringLiteral("Vantrel Dock is currently revealed"));

    qsizetype mark2 = 0;
    const qsizetype mark = f.c.mark();
    f.segmented(QStringLiteral("Visibility"))->segment(0)->click();
    EXPECT_EQ(f.c.callsSince(mark), (QStringList{kDockHaptic, "set dock.hideMode never",
                                                 "set dock.autoHide false", "applyBehavior"}));
    EXPECT_EQ(f.labelText(QStringLiteral("modeDescription")),
              QStringLiteral("Vantrel Dock stays on screen at all times"));
    EXPECT_FALSE(f.shows(f.row(QStringLiteral("delays")))) << "no delay pickers in never";
    EXPECT_EQ(liveText(), QStringLiteral("Vantrel Dock remains visible"));
    f.segmented(QStringLiteral("Visibility"))->segment(2)->click();
    EXPECT_EQ(
        f.labelText(QStringLiteral("modeDescription")),
        QStringLiteral("Stays visible on the desktop and ordinary windows; hides for full-screen apps"));
    EXPECT_TRUE(f.shows(f.row(QStringLiteral("delays"))));

    // The status line follows the controller, with its symbol and colour.
    auto* status = f.named<QWidget>(QStringLiteral("dockStatus"));
    auto* statusLabel = status->findChild<VantrelLabel*>();
    EXPECT_EQ(statusLabel->text(), f.d.controller->statusMessage());
    EXPECT_EQ(status->findChild<VantrelGlyph*>()->systemName(), QStringLiteral("checkmark.circle.fill"));
    f.d.controller->setWantsSystemDockSuppressed(true);
    f.d.controller->synchronizeSystemDock();
    EXPECT_EQ(statusLabel->text(), QStringLiteral("Switching to Vantrel Dock\u2026"));
    EXPECT_EQ(status->findChild<VantrelGlyph*>()->systemName(),
              QStringLiteral("arrow.triangle.2.circlepath"));
    EXPECT_EQ(statusLabel->resolvedColor(), VantrelTheme::caution());
    f.d.dockQueue.drain();
    EXPECT_EQ(status->findChild<VantrelGlyph*>()->systemName(), QStringLiteral("checkmark.circle.fill"));
    EXPECT_EQ(statusLabel->resolvedColor(), VantrelTheme::accent(f.c.h.preferences.accent()));

    // Each delay segment writes its own value.
    mark2 = f.c.mark();
    f.segmented(QStringLiteral("Reveal"))->segment(0)->click();
    f.segmented(QStringLiteral("Hide"))->segment(2)->click();
    EXPECT_EQ(f.c.callsSince(mark2),
              (QStringList{kControlsHaptic, "set dock.revealDelay 0.03", "applyBehavior", kControlsHaptic,
                           "set dock.hideDelay 0.82", "applyBehavior"}));

    // A stored reveal delay of 0.2 shows "Relaxed" and stays 0.2.
    f.c.h.preferences.setCustomDockRevealDelay(0.2);
    EXPECT_EQ(f.segmented(QStringLiteral("Reveal"))->selectedIndex(), 2);
    EXPECT_EQ(f.c.h.preferences.customDockRevealDelay(), 0.2);
}

TEST(DockPage, MotionRowsComeAndGoWithMagnificationAndTheEffectDescriptionFollows) {
    DockPageFixture f;
    f.c.h.preferences.setCustomDockEnabled(true);
    f.make();
    EXPECT_EQ(f.visibleCheckboxes(),
              (QStringList{"Animate icons under the pointer", "Include unpinned running apps",
                           "Show running indicators", "Show Trash"}));
    EXPECT_TRUE(f.shows(f.row(QStringLiteral("Effect"))));
    EXPECT_EQ(f.labelText(QStringLiteral("effectDescription")), QStringLiteral("Grows and lifts together"));
    EXPECT_EQ(f.segmented(QStringLiteral("Speed"))->options(), (QStringList{"Relaxed", "Natural", "Snappy"}));
    EXPECT_EQ(f.segmented(QStringLiteral("Alignment"))->options(), (QStringList{"Left", "Center", "Right"}));

    qsizetype mark = f.c.mark();
    f.checkbox(QStringLiteral("Animate icons under the pointer"))->click();
    EXPECT_EQ(f.c.callsSince(mark), QStringList{"set dock.magnification false"}) << "write only";
    for (const char* row : {"Effect", "Speed", "Size change"})
        EXPECT_FALSE(f.shows(f.row(QString::fromLatin1(row))));
    EXPECT_FALSE(f.shows(f.named<QWidget>(QStringLiteral("effectDescription"))));
    EXPECT_NE(f.row(QStringLiteral("Effect")), nullptr) << "absent from the layout, not gone from the card";
    f.checkbox(QStringLiteral("Animate icons under the pointer"))->click();
    EXPECT_TRUE(f.shows(f.row(QStringLiteral("Size change"))));

    auto* effect = f.named<VantrelMenuPicker>(QStringLiteral("Effect"));
    ASSERT_TRUE(effect);
    EXPECT_EQ(effect->options(), (QStringList{"None", "Lift", "Magnify", "Bounce", "Pulse", "Sway", "Rise"}));
    mark = f.c.mark();
    effect->click();
    ASSERT_TRUE(f.c.views.menus.choose(5));
    EXPECT_EQ(f.c.callsSince(mark), (QStringList{kControlsHaptic, "set dock.iconAnimation sway"}));
    EXPECT_EQ(f.labelText(QStringLiteral("effectDescription")), QStringLiteral("Tilts gently"));
    effect->click();
    f.c.views.menus.choose(0);
    EXPECT_EQ(f.labelText(QStringLiteral("effectDescription")), QStringLiteral("No movement"));
    EXPECT_TRUE(f.shows(f.row(QStringLiteral("Speed"))));

    mark = f.c.mark();
    f.segmented(QStringLiteral("Alignment"))->segment(0)->click();
    f.segmented(QStringLiteral("Spacing"))->segment(2)->click();
    f.segmented(QStringLiteral("Shape"))->segment(0)->click();
    f.segmented(QStringLiteral("Size change"))->segment(2)->click();
    f.segmented(QStringLiteral("Speed"))->segment(2)->click();
    for (const char* box : {"Include unpinned running apps", "Show running indicators", "Show Trash"})
        f.checkbox(QString::fromLatin1(box))->click();
    EXPECT_EQ(f.c.callsSince(mark),
              (QStringList{kControlsHaptic, "set dock.alignment left", "reposition", kControlsHaptic,
                           "set dock.spacing 13", kControlsHaptic, "set dock.cornerRadius 14",
                           kControlsHaptic, "set dock.magnificationScale 1.38", kControlsHaptic,
                           "set dock.animationSpeed snappy", "set dock.showRunning false",
                           "set dock.showIndicators false", "set dock.showTrash false"}));
}

TEST(DockPage, SurfaceAndSizeValueTextsComeFromTheStoredSettings) {
    DockPageFixture f;
    f.c.h.preferences.setCustomDockEnabled(true);
    f.make();
    EXPECT_EQ(f.segmented(QStringLiteral("tintPicker"))->options(),
              (QStringList{"Graphite", "Ink", "Slate", "Accent", "Warm"}));
    EXPECT_EQ(f.segmented(QStringLiteral("tintPicker"))->selectedIndex(), 0);
    EXPECT_EQ(f.slider(QStringLiteral("Tint strength"))->valueText(), QStringLiteral("55%"));
    EXPECT_EQ(f.slider(QStringLiteral("App icon size"))->valueText(), QStringLiteral("44 pt"));
    EXPECT_EQ(f.slider(QStringLiteral("Dock thickness"))->valueText(), QStringLiteral("11 pt"));
    EXPECT_EQ(f.segmented(QStringLiteral("Glass strength"))->selectedIndex(), 1);
    EXPECT_TRUE(f.named<VantrelSwitch>(QStringLiteral("Show names on hover"))->isChecked());

    f.c.h.preferences.setCustomDockTintStrength(0.29);
    EXPECT_EQ(f.slider(QStringLiteral("Tint strength"))->valueText(), QStringLiteral("28%"));
    f.c.h.preferences.setCustomDockIconSize(90);
    EXPECT_EQ(f.slider(QStringLiteral("App icon size"))->valueText(), QStringLiteral("90 pt"))
        << "out of range";
    f.c.h.preferences.setCustomDockIconSize(std::numeric_limits<double>::infinity());
    EXPECT_EQ(f.slider(QStringLiteral("App icon size"))->valueText(), QStringLiteral("\u2014"));
    f.c.h.preferences.setCustomDockVerticalPadding(1e300);
    EXPECT_EQ(f.slider(QStringLiteral("Dock thickness"))->valueText(), QStringLiteral("\u2014"));
    f.c.h.preferences.setCustomDockTintStrength(std::numeric_limits<double>::quiet_NaN());
    EXPECT_EQ(f.slider(QStringLiteral("Tint strength"))->valueText(), QStringLiteral("\u2014"));
    f.c.h.preferences.setCustomDockVerticalPadding(11);

    // Every value a drag reports is written; the size sliders step by whole points, silently.
    const qsizetype mark = f.c.mark();
    QSlider* size = f.slider(QStringLiteral("App icon size"))->slider();
    size->setValue(size->minimum());
    size->setValue(size->minimum() + 1);
    QSlider* thickness = f.slider(QStringLiteral("Dock thickness"))->slider();
    thickness->setValue(thickness->maximum());
    f.named<VantrelSwitch>(QStringLiteral("Show names on hover"))->click();
    f.segmented(QStringLiteral("tintPicker"))->segment(1)->click();
    f.segmented(QStringLiteral("Glass strength"))->segment(2)->click();
    EXPECT_EQ(f.c.callsSince(mark),
              (QStringList{"set dock.iconSize 26", "set dock.iconSize 27", "set dock.verticalPadding 28",
                           kControlsHaptic, "set dock.showLabels false", kControlsHaptic, "set dock.tint ink",
                           kControlsHaptic, "set dock.opacity 0.92"}));
    EXPECT_EQ(f.slider(QStringLiteral("App icon size"))->valueText(), QStringLiteral("27 pt"));
    // "Tint strength" spans 0 to 1.
    QSlider* strength = f.slider(QStringLiteral("Tint strength"))->slider();
    strength->setValue(strength->maximum());
    EXPECT_DOUBLE_EQ(f.c.h.preferences.customDockTintStrength(), 1.0);
    EXPECT_EQ(f.slider(QStringLiteral("Tint strength"))->valueText(), QStringLiteral("100%"));
    strength->setValue(strength->minimum());
    EXPECT_DOUBLE_EQ(f.c.h.preferences.customDockTintStrength(), 0.0);
}

namespace {

// A setting row's pieces, left to right: its title, its control and, for a slider, the read-out.
struct RowPieces {
    QRect title;
    QRect control;
    QRect value;
    Qt::Alignment valueAlignment;
};

RowPieces piecesOf(QWidget* row, const QString& title) {
    RowPieces pieces;
    for (VantrelLabel* label : row->findChildren<VantrelLabel*>(Qt::FindDirectChildrenOnly)) {
        if (label->text() == title) {
            pieces.title = label->geometry();
        } else {
            pieces.value = label->geometry();
            pieces.valueAlignment = label->alignment() & Qt::AlignHorizontal_Mask;
        }
    }
    if (auto* slider = row->findChild<QSlider*>()) pieces.control = slider->geometry();
    if (auto* picker = row->findChild<VantrelSegmentedControl*>()) pieces.control = picker->geometry();
    return pieces;
}

} // namespace

TEST(DockPage, SettingRowsKeepTheirTitleColumnGapsAndReadOutFrames) {
    DockPageFixture f;
    f.c.h.preferences.setCustomDockEnabled(true);
    f.make(1200);
    f.settle();

    // Surface and size: a 96 pt title column, 12 pt between the pieces.
    QWidget* tintRow = f.segmented(QStringLiteral("tintPicker"))->parentWidget();
    ASSERT_EQ(tintRow->objectName(), QStringLiteral("Tint"));
    const RowPieces tint = piecesOf(tintRow, QStringLiteral("Tint"));
    EXPECT_EQ(tint.title.left(), 0);
    EXPECT_EQ(tint.title.width(), 96);
    EXPECT_EQ(tint.control.left(), 96 + 12) << "the tint picker follows its title after 12 pt";
    EXPECT_EQ(tint.value, QRect()) << "no read-out for the tint";

    struct Expected {
        const char* title;
        int valueWidth;
        Qt::Alignment alignment;
    };
    for (const Expected& row :
         {Expected{"Tint strength", 34, Qt::AlignHCenter}, Expected{"App icon size", 42, Qt::AlignRight},
          Expected{"Dock thickness", 42, Qt::AlignRight}}) {
        const QString title = QString::fromLatin1(row.title);
        const RowPieces pieces = piecesOf(f.slider(title), title);
        EXPECT_EQ(pieces.title.width(), 96) << row.title;
        EXPECT_EQ(pieces.control.left(), 96 + 12) << row.title;
        EXPECT_EQ(pieces.value.left() - pieces.control.right() - 1, 12) << row.title;
        EXPECT_EQ(pieces.value.width(), row.valueWidth) << row.title;
        EXPECT_EQ(pieces.valueAlignment, row.alignment) << row.title;
        EXPECT_EQ(pieces.value.right() + 1, f.slider(title)->width()) << row.title;
    }

    // The native Dock's slider rows: a 110 pt title column, a 54 pt trailing read-out, and the
    // same gap on both sides of the slider.
    f.c.h.preferences.setCustomDockEnabled(true);
    f.c.h.preferences.setCustomDockEnabled(false);
    f.settle();
    for (const char* title : {"Icon size", "Magnified size"}) {
        const QString name = QString::fromLatin1(title);
        ASSERT_TRUE(f.slider(name)) << title;
        const RowPieces pieces = piecesOf(f.slider(name), name);
        EXPECT_EQ(pieces.title.width(), 110) << title;
        EXPECT_EQ(pieces.value.width(), 54) << title;
        EXPECT_EQ(pieces.valueAlignment, Qt::AlignRight) << title;
        EXPECT_EQ(pieces.control.left() - 110, pieces.value.left() - pieces.control.right() - 1) << title;
        EXPECT_GT(pieces.control.left(), 110) << title;
    }
}

TEST(DockPage, StacksSitFlushAndKeepTheirSpacing) {
    DockPageFixture f;
    f.c.h.preferences.setCustomDockEnabled(true);
    DockPage& page = f.make(1200);
    ASSERT_TRUE(f.d.content.addWebsite(QStringLiteral("Docs"), QStringLiteral("docs.example.org")));
    f.settle();
    auto gap = [](QWidget* upper, QWidget* lower) {
        return lower->mapTo(lower->window(), QPoint()).y() -
               (upper->mapTo(upper->window(), QPoint()).y() + upper->height());
    };
    auto left = [](QWidget* w) { return w->mapTo(w->parentWidget(), QPoint()).x(); };

    // The section: its cards from its very edge, 16 pt apart.
    QWidget* section = page.section();
    QList<QWidget*> blocks;
    for (int i = 0; i < section->layout()->count(); ++i)
        if (QWidget* w = section->layout()->itemAt(i)->widget()) blocks << w;
    ASSERT_EQ(blocks.size(), 6);
    EXPECT_EQ(blocks.front()->pos(), QPoint(0, 0));
    EXPECT_EQ(blocks.front()->width(), section->width());
    for (int i = 1; i < blocks.size(); ++i) EXPECT_EQ(gap(blocks[i - 1], blocks[i]), 16) << i;

    // Card contents: 15 pt in the visibility, surface and size cards, 14 in layout.
    auto rowOf = [&](const QString& control) -> QWidget* {
        if (VantrelSegmentedControl* picker = f.segmented(control)) return picker->parentWidget();
        auto* menu = f.named<VantrelMenuPicker>(control);
        return menu ? menu->parentWidget() : nullptr;
    };
    auto labelText = [](QWidget* row) {
        auto* label = row ? row->findChild<VantrelLabel*>() : nullptr;
        return label ? label->text() : QString();
    };
    EXPECT_EQ(gap(f.named<QWidget>(QStringLiteral("dockStatus")), rowOf(QStringLiteral("Visibility"))), 15);
    EXPECT_EQ(gap(rowOf(QStringLiteral("tintPicker")), f.slider(QStringLiteral("Tint strength"))), 15);
    EXPECT_EQ(gap(f.slider(QStringLiteral("App icon size")), f.slider(QStringLiteral("Dock thickness"))), 15);
    EXPECT_EQ(gap(rowOf(QStringLiteral("Alignment")), rowOf(QStringLiteral("Spacing"))), 14);

    // The two delay pickers fill their line, 14 pt apart.
    QWidget* reveal = rowOf(QStringLiteral("Reveal"));
    QWidget* hide = rowOf(QStringLiteral("Hide"));
    EXPECT_EQ(left(reveal), 0);
    EXPECT_EQ(left(hide) - (left(reveal) + reveal->width()), 14);
    EXPECT_EQ(left(hide) + hide->width(), hide->parentWidget()->width());

    // The tint picker takes the rest of its row, top to bottom.
    QWidget* tint = rowOf(QStringLiteral("tintPicker"));
    VantrelSegmentedControl* picker = f.segmented(QStringLiteral("tintPicker"));
    EXPECT_EQ(picker->x() + picker->width(), tint->width());
    for (VantrelLabel* title : tint->findChildren<VantrelLabel*>(Qt::FindDirectChildrenOnly)) {
        EXPECT_EQ(title->y(), 0);
        EXPECT_EQ(title->height(), tint->height());
        EXPECT_DOUBLE_EQ(VantrelType::pixelSize(title->font()), 11.5);
        EXPECT_EQ(title->font().weight(), QFont::DemiBold);
    }
    for (const char* title : {"Tint strength", "App icon size", "Dock thickness"}) {
        for (VantrelLabel* label : f.slider(QString::fromLatin1(title))->findChildren<VantrelLabel*>())
            if (label->text() == QString::fromLatin1(title)) {
                EXPECT_DOUBLE_EQ(VantrelType::pixelSize(label->font()), 11.5) << title;
                EXPECT_EQ(label->font().weight(), QFont::DemiBold) << title;
            }
    }

    // The pinned buttons, 9 pt apart from the card's edge; the globe 29 pt wide.
    QList<VantrelButton*> buttons;
    for (VantrelButton* b :
         f.named<SettingsCard>(QStringLiteral("Pinned content"))->findChildren<VantrelButton*>())
        if (b->text().contains(QChar(0x2026)) || b->text() == u"Done Removing") buttons << b;
    ASSERT_EQ(buttons.size(), 3);
    EXPECT_EQ(left(buttons[0]), 0);
    EXPECT_EQ(left(buttons[1]) - (left(buttons[0]) + buttons[0]->width()), 9);
    EXPECT_EQ(left(buttons[2]) - (left(buttons[1]) + buttons[1]->width()), 9);
    auto* row = page.section()->findChild<QWidget*>(QStringLiteral("pinnedRow"));
    ASSERT_TRUE(row);
    auto* globe = row->findChild<VantrelGlyph*>();
    EXPECT_EQ(globe->width(), 29);
    // The title over its kind, 1 pt apart.
    QList<VantrelLabel*> texts = row->findChildren<VantrelLabel*>();
    ASSERT_GE(texts.size(), 2);
    EXPECT_EQ(texts[0]->text(), QStringLiteral("Docs"));
    EXPECT_EQ(gap(texts[0], texts[1]), 1);
    // A plain button fades while pressed.
    const VantrelButtonStyle& plain = f.button(QStringLiteral("removal"))->buttonStyle();
    EXPECT_LT(plain.look(1, ColorScheme::dark).foreground.alphaF(),
              plain.look(0, ColorScheme::dark).foreground.alphaF());

    // Rows and grids of controls sit flush in their cards.
    QList<QWidget*> flush{page.section(),
                          rowOf(QStringLiteral("Reveal"))->parentWidget(),
                          f.named<MetricPill>(QStringLiteral("runningPill"))->parentWidget(),
                          buttons[0]->parentWidget(),
                          f.named<QWidget>(QStringLiteral("extensions")),
                          rowOf(QStringLiteral("Alignment"))->parentWidget()->parentWidget()};
    for (QWidget* w = rowOf(QStringLiteral("Alignment")); w && w != page.section(); w = w->parentWidget())
        if (qobject_cast<SettingsCard*>(w)) flush << w->parentWidget(); // the layout and motion row
    for (QWidget* w : flush) {
        ASSERT_TRUE(w && w->layout());
        EXPECT_EQ(w->layout()->contentsMargins(), QMargins()) << w->objectName().toStdString();
    }
    EXPECT_EQ(blocks.back()->geometry().bottom() + 1, section->height()) << "nothing below the last card";
    EXPECT_EQ(labelText(rowOf(QStringLiteral("Effect"))), QStringLiteral("Effect"));

    // The status line's type; the hover-names switch at the far end of its row.
    auto* statusLine = f.named<QWidget>(QStringLiteral("dockStatus"))->findChild<VantrelLabel*>();
    EXPECT_DOUBLE_EQ(VantrelType::pixelSize(statusLine->font()), 10.5);
    EXPECT_EQ(statusLine->font().weight(), QFont::Medium);
    auto* names = f.named<VantrelSwitch>(QStringLiteral("Show names on hover"));
    QWidget* namesRow = names->parentWidget();
    EXPECT_EQ(names->x() + names->width(), namesRow->width());
    EXPECT_EQ(namesRow->findChild<VantrelLabel*>()->geometry(),
              QRect(QPoint(0, 0), QSize(namesRow->findChild<VantrelLabel*>()->width(), namesRow->height())));

    // The native section: 15 pt between its size rows, the action row from the section's edge.
    f.c.h.preferences.setCustomDockEnabled(false);
    f.settle();
    EXPECT_EQ(gap(f.slider(QStringLiteral("Icon size")), f.slider(QStringLiteral("Magnified size"))), 15);
    auto* status = f.named<VantrelLabel>(QStringLiteral("nativeStatus"));
    EXPECT_EQ(status->mapTo(page.section(), QPoint()).x(), 0);
    // The "Layout" card and the glass card share the row between the section's edges.
    SettingsCard* layoutCard = nullptr;
    for (SettingsCard* card : page.section()->findChildren<SettingsCard*>())
        if (card->title() == u"Layout") layoutCard = card;
    ASSERT_TRUE(layoutCard);
    EXPECT_EQ(layoutCard->mapTo(page.section(), QPoint()).x(), 0);
    QWidget* glass = layoutCard->parentWidget()->layout()->itemAt(1)->widget();
    ASSERT_TRUE(glass);
    EXPECT_EQ(glass->mapTo(page.section(), QPoint()).x() + glass->width(), page.section()->width());
    EXPECT_EQ(layoutCard->y(), 0) << "both cards hang from the row's top";
    EXPECT_EQ(glass->y(), 0);
    EXPECT_EQ(layoutCard->parentWidget()->height(), std::max(layoutCard->height(), glass->height()));
    VantrelButton* apply = f.button(QStringLiteral("apply"));
    EXPECT_EQ(apply->mapTo(page.section(), QPoint()).x() + apply->width(), page.section()->width());
    for (const char* title : {"Icon size", "Magnified size"})
        for (VantrelLabel* label : f.slider(QString::fromLatin1(title))->findChildren<VantrelLabel*>())
            if (label->text() == QString::fromLatin1(title)) {
                EXPECT_DOUBLE_EQ(VantrelType::pixelSize(label->font()), 11.5) << title;
                EXPECT_EQ(label->font().weight(), QFont::Medium) << title;
            }
    VantrelLabel* note = nullptr;
    for (VantrelLabel* label : page.section()->findChildren<VantrelLabel*>())
        if (label->text() == u"Changes are applied only when you press Apply. The macOS Dock restarts once.")
            note = label;
    ASSERT_TRUE(note);
    EXPECT_DOUBLE_EQ(VantrelType::pixelSize(note->font()), 9.5);
}

TEST(DockPage, TheReplacementCardsShowTheirSubtitlesSymbolsAndOptions) {
    DockPageFixture f;
    f.c.h.preferences.setCustomDockEnabled(true);
    DockPage& page = f.make(1200);
    f.settle();
    auto card = [&](const char* title) -> SettingsCard* {
        for (SettingsCard* c : page.section()->findChildren<SettingsCard*>())
            if (c->title() == QString::fromLatin1(title)) return c;
        return nullptr;
    };
    auto subtitle = [&](const char* title) {
        SettingsCard* c = card(title);
        return c && c->subtitleLabel() ? c->subtitleLabel()->text() : QString();
    };
    EXPECT_EQ(subtitle("Vantrel Dock visibility"),
              QStringLiteral("Choose exactly when the floating Dock gets out of your way"));
    EXPECT_EQ(subtitle("Surface"), QStringLiteral("How the Dock sits against your wallpaper"));
    EXPECT_EQ(subtitle("Size & appearance"), QString());
    EXPECT_EQ(subtitle("Shelf extensions"), QStringLiteral("Every action is connected to a live module"));

    EXPECT_EQ(f.segmented(QStringLiteral("Spacing"))->options(), (QStringList{"Tight", "Standard", "Airy"}));
    EXPECT_EQ(f.segmented(QStringLiteral("Shape"))->options(), (QStringList{"Compact", "Rounded", "Pill"}));
    EXPECT_EQ(f.segmented(QStringLiteral("Size change"))->options(),
              (QStringList{"Subtle", "Standard", "Large"}));
    EXPECT_EQ(f.segmented(QStringLiteral("Glass strength"))->options(),
              (QStringList{"Clear", "Balanced", "Solid"}));
    for (const char* delay : {"Reveal", "Hide"})
        EXPECT_EQ(f.segmented(QString::fromLatin1(delay))->options(),
                  (QStringList{"Fast", "Natural", "Relaxed"}));

    auto* running = f.named<MetricPill>(QStringLiteral("runningPill"));
    auto* pinned = f.named<MetricPill>(QStringLiteral("pinnedPill"));
    EXPECT_EQ(running->symbol(), QStringLiteral("square.stack.3d.up"));
    EXPECT_EQ(pinned->title(), QStringLiteral("Pinned"));
    EXPECT_EQ(pinned->symbol(), QStringLiteral("pin"));
    bool noted = false;
    for (VantrelLabel* label : card("Size & appearance")->findChildren<VantrelLabel*>())
        if (label->text() ==
            u"Disabling or quitting Vantrel restores your exact previous macOS Dock settings.") {
            noted = true;
            EXPECT_EQ(label->parentWidget()->findChild<VantrelGlyph*>()->systemName(),
                      QStringLiteral("arrow.uturn.backward.circle"));
            EXPECT_DOUBLE_EQ(VantrelType::pixelSize(label->font()), 10.5);
        }
    EXPECT_TRUE(noted);
    EXPECT_EQ(page.websiteTitleField()->placeholderText(), QStringLiteral("Website name"));

    auto* live = f.named<QWidget>(QStringLiteral("liveState"));
    EXPECT_EQ(live->findChild<VantrelGlyph*>()->systemName(), QStringLiteral("arrow.up.and.down"));
    f.c.h.preferences.setCustomDockHideMode(DockHideMode::never);
    EXPECT_EQ(live->findChild<VantrelGlyph*>()->systemName(), QStringLiteral("pin.fill"));

    // Each shortcut: its symbol and line, padded 10 pt on every edge of its tile.
    const QStringList symbols{"tray.full", "folder.fill", "square.stack.3d.up.fill", "airplayaudio"};
    const QStringList lines{"Shared with the notch shelf", "Pin any Finder location",
                            "Live launch and active states", "Share the files currently waiting"};
    QList<QAbstractButton*> tiles = f.named<QWidget>(QStringLiteral("extensions"))
                                        ->findChildren<QAbstractButton*>(Qt::FindDirectChildrenOnly);
    ASSERT_EQ(tiles.size(), 4);
    for (int i = 0; i < 4; ++i) {
        auto* feature = tiles[i]->findChild<FeatureRow*>();
        EXPECT_EQ(feature->icon()->systemName(), symbols[i]);
        EXPECT_EQ(feature->subtitleLabel()->text(), lines[i]);
        EXPECT_EQ(feature->geometry(), tiles[i]->rect().marginsRemoved(QMargins(10, 10, 10, 10))) << i;
    }
}

TEST(DockPage, NativeSlidersSpanTheirRangesAndPickersIgnoreAnIndexWithoutAnOption) {
    DockPageFixture f;
    f.make();
    f.nativeQueue.drain();
    struct Range {
        const char* title;
        double low;
        double high;
        double (DockSettingsStore::*read)() const;
    };
    for (const Range& range : {Range{"Icon size", 24, 92, &DockSettingsStore::tileSize},
                               Range{"Magnified size", 36, 128, &DockSettingsStore::magnificationSize},
                               Range{"Reveal delay", 0, 1.2, &DockSettingsStore::autoHideDelay}}) {
        QSlider* slider = f.slider(QString::fromLatin1(range.title))->slider();
        slider->setValue(slider->minimum());
        EXPECT_DOUBLE_EQ((f.native.get()->*range.read)(), range.low) << range.title;
        slider->setValue(slider->maximum());
        EXPECT_DOUBLE_EQ((f.native.get()->*range.read)(), range.high) << range.title;
    }

    auto* position = f.named<QComboBox>(QStringLiteral("Position"));
    auto* effect = f.named<QComboBox>(QStringLiteral("Minimize effect"));
    ASSERT_TRUE(position && effect);
    EXPECT_EQ(effect->itemText(0), QStringLiteral("Genie"));
    const DockPosition where = f.native->position();
    const DockMinimizeEffect how = f.native->minimizeEffect();
    for (int index : {-1, 3, 7}) {
        position->activated(index);
        effect->activated(index);
    }
    EXPECT_EQ(f.native->position(), where);
    EXPECT_EQ(f.native->minimizeEffect(), how);
    position->activated(2);
    EXPECT_EQ(f.native->position(), DockPosition::right);
}

TEST(DockPage, PickersAndFieldsTakeTheAppearanceTheyAreDrawnIn) {
    DockPageFixture f;
    DockPage& page = f.make();
    auto lightness = [](QWidget* w, QPalette::ColorRole role) {
        return w->palette().color(role).lightnessF();
    };
    auto* position = f.named<QComboBox>(QStringLiteral("Position"));
    ASSERT_TRUE(position);
    for (ColorScheme scheme : {ColorScheme::dark, ColorScheme::light, ColorScheme::dark}) {
        VantrelTheme::setColorScheme(&page, scheme);
        position->grab();
        const bool dark = scheme == ColorScheme::dark;
        EXPECT_EQ(lightness(position, QPalette::Button) < 0.5, dark);
        EXPECT_EQ(lightness(position, QPalette::ButtonText) > 0.5, dark);
        EXPECT_EQ(lightness(position->view(), QPalette::Base) < 0.5, dark) << "the open list";
        EXPECT_EQ(lightness(position->view(), QPalette::Text) > 0.5, dark) << "the open list";
        // The chosen option: white text on the accent deepened to read at 4.5:1.
        const QColor chosen = position->view()->palette().color(QPalette::Highlight);
        EXPECT_GE(
            KitPaint::contrastRatio(chosen, position->view()->palette().color(QPalette::HighlightedText)),
            4.5)
            << "the chosen option";
        EXPECT_NEAR(chosen.hueF(), VantrelTheme::accent(f.c.h.preferences.accent()).hueF(), 0.02)
            << "the chosen option";
        QCheckBox* box = f.checkbox(QStringLiteral("Magnification"));
        box->grab();
        EXPECT_EQ(lightness(box, QPalette::Base) < 0.5, dark) << "the box";
        EXPECT_EQ(lightness(box, QPalette::WindowText) > 0.5, dark) << "its title";
    }

    f.c.h.preferences.setCustomDockEnabled(true);
    f.settle();
    for (QLineEdit* field : {page.websiteTitleField(), page.websiteAddressField()}) {
        field->grab();
        EXPECT_LT(lightness(field, QPalette::Base), 0.5);
        EXPECT_GT(lightness(field, QPalette::Text), 0.5);
        EXPECT_NE(field->palette().color(QPalette::PlaceholderText), field->palette().color(QPalette::Text))
            << "the prompt stays apart from typed text";
    }
    // A rounded border that shows, softly, in either appearance.
    for (ColorScheme scheme : {ColorScheme::dark, ColorScheme::light}) {
        QLineEdit* field = page.websiteAddressField();
        VantrelTheme::setColorScheme(&page, scheme);
        const QImage image = field->grab().toImage();
        const double edge = QColor(image.pixel(0, image.height() / 2)).lightnessF();
        const double fill = QColor(image.pixel(image.width() / 2, image.height() / 2)).lightnessF();
        EXPECT_NEAR(QColor(image.pixel(1, image.height() / 2)).lightnessF(), fill, 0.02) << "a hairline";
        if (scheme == ColorScheme::dark) {
            EXPECT_GT(edge, fill + 0.05);
            EXPECT_LT(edge, 0.5);
        } else {
            EXPECT_LT(edge, fill - 0.05);
            EXPECT_GT(edge, 0.5);
        }
    }
}

TEST(DockPage, PillsCountPinnedItemsLiveAndRunningAppsAtTheNextRebuild) {
    DockPageFixture f;
    f.c.h.preferences.setCustomDockEnabled(true);
    f.make();
    auto* running = f.named<MetricPill>(QStringLiteral("runningPill"));
    auto* pinned = f.named<MetricPill>(QStringLiteral("pinnedPill"));
    EXPECT_EQ(running->title(), QStringLiteral("Running apps"));
    EXPECT_EQ(pinned->value(), QStringLiteral("0"));
    ASSERT_TRUE(f.d.content.addWebsite(QString(), QStringLiteral("example.org")));
    EXPECT_EQ(pinned->value(), QStringLiteral("1"));

    RunningApplication app;
    app.processIdentifier = 7;
    app.localizedName = QStringLiteral("Editor");
    app.isRegular = true;
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::blue);
    app.icon = QIcon(pixmap);
    f.c.h.runningApplications.applications = {app};
    f.running.refresh();
    EXPECT_EQ(running->value(), QStringLiteral("0")) << "the running list itself is not observed";
    f.c.h.preferences.setCustomDockSpacing(4);
    EXPECT_EQ(running->value(), QStringLiteral("1"));
}

TEST(DockPage, PinnedContentListsMovesAndRemovesItems) {
    DockPageFixture f;
    f.c.h.preferences.setCustomDockEnabled(true);
    DockPage& page = f.make();
    auto* card = f.named<SettingsCard>(QStringLiteral("Pinned content"));
    ASSERT_TRUE(card);
    EXPECT_EQ(card->subtitleLabel()->text(),
              QStringLiteral("Drag any pinned icon in the live Dock to rearrange it. "
                             "Add apps, folders, or websites to build your Dock."));
    auto rows = [&] {
        QList<QWidget*> shown;
        for (QWidget* w : page.section()->findChildren<QWidget*>(QStringLiteral("pinnedRow")))
            if (f.shows(w)) shown << w;
        return shown;
    };
    auto dividers = [&] {
        int n = 0;
        for (QWidget* w : f.named<QWidget>(QStringLiteral("pinnedList"))->findChildren<QWidget*>())
            if (f.shows(w) && w->height() == 1 && w->objectName().isEmpty() &&
                w->parentWidget()->objectName() == u"pinnedList")
                ++n;
        return n;
    };
    EXPECT_FALSE(f.shows(f.named<QWidget>(QStringLiteral("pinnedList"))));

    // The address field's Return adds; the name field's does nothing.
    page.websiteTitleField()->setText(QStringLiteral("Docs"));
    page.websiteAddressField()->setText(QStringLiteral("docs.example.org"));
    QTest::keyClick(page.websiteTitleField(), Qt::Key_Return);
    f.settle();
    EXPECT_TRUE(rows().isEmpty());
    QTest::keyClick(page.websiteAddressField(), Qt::Key_Return);
    f.settle();
    ASSERT_EQ(rows().size(), 1);
    EXPECT_EQ(dividers(), 0);
    EXPECT_TRUE(page.websiteTitleField()->text().isEmpty());
    EXPECT_TRUE(page.websiteAddressField()->text().isEmpty());
    EXPECT_EQ(f.d.content.items().front().target, QStringLiteral("https://docs.example.org"));
    EXPECT_TRUE(card->subtitleLabel()->text().endsWith(QStringLiteral("Website added.")));

    // A refused address keeps both fields as typed.
    page.websiteTitleField()->setText(QStringLiteral("Again"));
    page.websiteAddressField()->setText(QStringLiteral("https://docs.example.org"));
    page.addWebsite();
    EXPECT_EQ(page.websiteTitleField()->text(), QStringLiteral("Again"));
    EXPECT_EQ(page.websiteAddressField()->text(), QStringLiteral("https://docs.example.org"));
    EXPECT_TRUE(
        card->subtitleLabel()->text().endsWith(QStringLiteral("That website is already in Vantrel Dock.")));

    page.websiteTitleField()->clear();
    page.websiteAddressField()->setText(QStringLiteral("b.example.org"));
    page.addWebsite();
    page.websiteAddressField()->setText(QStringLiteral("c.example.org"));
    page.addWebsite();
    f.settle();
    ASSERT_EQ(rows().size(), 3);
    EXPECT_EQ(dividers(), 2);
    EXPECT_EQ(f.d.content.items()[1].title, QStringLiteral("b.example.org")) << "no name: the host";
    QList<QWidget*> shown = rows();
    EXPECT_EQ(shown[0]->findChildren<VantrelLabel*>().at(1)->text(), QStringLiteral("Website"));
    EXPECT_EQ(shown[0]->findChild<VantrelGlyph*>()->systemName(), QStringLiteral("globe"));

    auto buttonOf = [&](int row, const QString& help) {
        for (QAbstractButton* b : rows().at(row)->findChildren<QAbstractButton*>())
            if (b->toolTip().startsWith(help)) return b;
        return static_cast<QAbstractButton*>(nullptr);
    };
    // Moving the first earlier or the last later writes nothing.
    int before = f.d.files.count(FakeFileManager::Operation::writeData);
    buttonOf(0, QStringLiteral("Move Docs earlier"))->click();
    buttonOf(2, QStringLiteral("Move c.example.org later"))->click();
    EXPECT_EQ(f.d.files.count(FakeFileManager::Operation::writeData), before);
    buttonOf(0, QStringLiteral("Move Docs later"))->click();
    f.settle();
    EXPECT_EQ(f.d.content.items()[1].title, QStringLiteral("Docs"));
    EXPECT_GT(f.d.files.count(FakeFileManager::Operation::writeData), before);

    before = f.d.files.count(FakeFileManager::Operation::writeData);
    auto* remove = buttonOf(1, QStringLiteral("Remove Docs from Vantrel Dock"));
    ASSERT_TRUE(remove);
    remove->click();
    f.settle();
    EXPECT_EQ(rows().size(), 2);
    EXPECT_GT(f.d.files.count(FakeFileManager::Operation::writeData), before) << "the removal is saved";
    EXPECT_EQ(f.named<MetricPill>(QStringLiteral("pinnedPill"))->value(), QStringLiteral("2"));

    // Removal mode flips the live Dock's flag, then plays the Dock haptic.
    const qsizetype mark = f.c.mark();
    f.button(QStringLiteral("removal"))->click();
    EXPECT_TRUE(f.d.controller->isEditingItems());
    EXPECT_EQ(f.c.callsSince(mark), QStringList{kDockHaptic});
    EXPECT_EQ(f.button(QStringLiteral("removal"))->text(), QStringLiteral("Done Removing"));
    EXPECT_EQ(card->subtitleLabel()->text(),
              QStringLiteral("Drag icons in the live Dock, or use the red minus button to remove one"));
    f.button(QStringLiteral("removal"))->click();
    EXPECT_EQ(f.button(QStringLiteral("removal"))->text(), QStringLiteral("Remove Icons\u2026"));
    EXPECT_TRUE(card->subtitleLabel()->text().startsWith(QStringLiteral("Drag any pinned icon")));
}

TEST(DockPage, ShelfExtensionsReachTheirModules) {
    DockPageFixture f;
    f.c.h.preferences.setCustomDockEnabled(true);
    f.make();
    auto* grid = f.named<QWidget>(QStringLiteral("extensions"));
    QList<QAbstractButton*> rows = grid->findChildren<QAbstractButton*>(Qt::FindDirectChildrenOnly);
    ASSERT_EQ(rows.size(), 4);
    QStringList titles;
    for (QAbstractButton* row : rows) titles << row->text();
    EXPECT_EQ(titles, (QStringList{"Temporary files", "Add a folder", "Running apps", "AirDrop shelf"}));
    EXPECT_EQ(rows[0]->y(), rows[1]->y());
    EXPECT_LT(rows[0]->x(), rows[1]->x());
    EXPECT_GT(rows[2]->y(), rows[0]->y());
    // Each tile ends in the arrow, drawn inside the tile even where it takes a line of its own.
    for (QAbstractButton* row : rows) {
        auto* arrow = row->findChild<VantrelGlyph*>();
        auto* feature = row->findChild<FeatureRow*>();
        ASSERT_TRUE(arrow && feature);
        EXPECT_EQ(arrow->systemName(), QStringLiteral("arrow.up.right"));
        EXPECT_EQ(arrow->pointSize(), 10);
        EXPECT_TRUE(arrow->isVisibleTo(row));
        EXPECT_TRUE(feature->rect().contains(arrow->geometry()));
        EXPECT_TRUE(row->rect().contains(feature->geometry().marginsAdded(QMargins(10, 10, 10, 10))));
        const QImage image = row->grab().toImage();
        const QRect mark = arrow->geometry().translated(feature->pos());
        ASSERT_TRUE(image.rect().contains(mark));
        const QRgb corner = image.pixel(mark.topLeft());
        bool drawn = false;
        for (int y = mark.top(); y <= mark.bottom(); ++y)
            for (int x = mark.left(); x <= mark.right(); ++x) drawn = drawn || image.pixel(x, y) != corner;
        EXPECT_TRUE(drawn) << row->text().toStdString();
        // The page is in the light appearance here: the dark scheme's grey would vanish on it.
        EXPECT_EQ(arrow->color(), VantrelTheme::tertiaryText().light);
    }

    const qsizetype mark = f.c.mark();
    rows[0]->click();
    EXPECT_EQ(f.c.callsSince(mark), QStringList{"showNotch files"});
    const int reads = f.c.h.runningApplications.listReads;
    rows[2]->click();
    EXPECT_EQ(f.c.h.runningApplications.listReads, reads + 1);
    rows[1]->click();
    ASSERT_TRUE(f.d.openPanel.lastRequest);
    EXPECT_EQ(f.d.openPanel.lastRequest->title, QStringLiteral("Add a folder to Vantrel Dock"));
    rows[3]->click();
    EXPECT_EQ(f.c.stores.fileShelf.shareStatus(),
              std::optional<QString>(QStringLiteral("Add files to the shelf before using AirDrop.")));
}

TEST(DockPage, TheLiveLineFollowsTheDockSlidingOutAndBack) {
    DockPageFixture f;
    f.c.h.preferences.setCustomDockEnabled(true);
    f.make();
    auto* live = f.named<QWidget>(QStringLiteral("liveState"));
    auto liveText = [&] { return live->findChild<VantrelLabel*>()->text(); };
    f.d.controller->show(f.c.h.preferences, f.d.content);
    ASSERT_NE(f.d.controller->panel(), nullptr);
    f.d.controller->setRevealed(false, false);
    ASSERT_FALSE(f.d.controller->isDockRevealed());
    EXPECT_EQ(liveText(), QStringLiteral("Vantrel Dock is hidden; touch the bottom edge to reveal it"));
    f.d.controller->setRevealed(true, false);
    EXPECT_EQ(liveText(), QStringLiteral("Vantrel Dock is currently revealed"));
}

TEST(DockPage, AddAppsChoosesSeveralInstalledApplicationsByNameAndIconInThePagesLook) {
    DockPageFixture f;
    f.c.h.preferences.setCustomDockEnabled(true);
    DockPage& page = f.make();
    VantrelTheme::setColorScheme(&page, ColorScheme::dark);

    // The page opens the chooser over itself; what comes back is pinned as before.
    f.d.workspace.applications = {
        {QStringLiteral("/apps/atlas.desktop"), ApplicationInfo{QStringLiteral("atlas"), QString(), true}},
        {QStringLiteral("/apps/web.desktop"),
         ApplicationInfo{QStringLiteral("Web Browser"), QString(), true}},
        {QStringLiteral("/apps/editor.desktop"),
         ApplicationInfo{QStringLiteral("Text Editor"), QString(), true}},
        {QStringLiteral("/apps/helper.desktop"),
         ApplicationInfo{QStringLiteral("Helper"), QString(), false}}};
    f.d.openPanel.multipleAnswer = QStringList{"/apps/atlas.desktop", "/apps/web.desktop"};
    VantrelButton* addApps = nullptr;
    for (VantrelButton* button : page.section()->findChildren<VantrelButton*>())
        if (button->text() == QStringLiteral("Add Apps\u2026")) addApps = button;
    ASSERT_NE(addApps, nullptr);
    addApps->click();
    ASSERT_TRUE(f.d.openPanel.lastRequest);
    EXPECT_EQ(f.d.openPanel.lastRequest->parent, &page);
    EXPECT_TRUE(f.d.openPanel.lastRequest->applicationsOnly);
    EXPECT_EQ(f.d.content.statusMessage(), QStringLiteral("Added 2 applications."));

    // The application's own panel lists the installed applications by name, as read, with icons.
    QPixmap red(32, 32);
    red.fill(Qt::red);
    f.d.workspace.icons[QStringLiteral("/apps/web.desktop")] = QIcon(red);
    FakeOpenPanel files;
    ApplicationChooserPanel panel(files, f.d.workspace, [] { return QColor(10, 132, 255); });
    const OpenPanelRequest request{.title = QStringLiteral("Add applications to Vantrel Dock"),
                                   .prompt = QStringLiteral("Add"),
                                   .applicationsOnly = true,
                                   .foldersOnly = false,
                                   .parent = &page};
    const std::unique_ptr<ApplicationChooser> chooser = panel.makeChooser(request, true);
    QStringList names;
    for (int row = 0; row < chooser->list()->count(); ++row) names << chooser->list()->item(row)->text();
    EXPECT_EQ(names, (QStringList{"atlas", "Text Editor", "Web Browser"}))
        << "NoDisplay entries are left out";
    EXPECT_EQ(chooser->list()->item(2)->icon().pixmap(16, 16).toImage().pixelColor(8, 8), QColor(Qt::red));
    EXPECT_EQ(chooser->confirmButton()->text(), QStringLiteral("Add"));
    EXPECT_FALSE(chooser->confirmButton()->isEnabled()) << "nothing chosen yet";

    // Drawn in the page's dark look: the kit's dark surface behind light names.
    chooser->resize(420, 300);
    chooser->list()->item(2)->setSelected(true);
    const QImage dark = chooser->grab().toImage();
    EXPECT_EQ(dark.pixel(4, 4), QColor::fromRgbF(0.035f, 0.04f, 0.052f).rgb());
    chooser->list()->item(2)->setSelected(false);
    VantrelTheme::setColorScheme(&page, ColorScheme::light);
    const std::unique_ptr<ApplicationChooser> light = panel.makeChooser(request, true);
    light->resize(420, 300);
    const QImage lightImage = light->grab().toImage();
    EXPECT_EQ(lightImage.pixel(4, 4), QColor::fromRgbF(0.985f, 0.987f, 0.99f).rgb());
    if (qEnvironmentVariableIsSet("VANTREL_WRITE_SHEETS"))
        saveContactSheet(
            {{QStringLiteral("dark, Web Browser chosen"), dark}, {QStringLiteral("light"), lightImage}},
            QStringLiteral(VANTREL_BINARY_DIR "/application-chooser-sheet.png"));

    // A click chooses a row and another lets it go: two chosen come back in list order.
    QTimer::singleShot(0, [] {
        auto* open = qobject_cast<ApplicationChooser*>(QApplication::activeModalWidget());
        ASSERT_NE(open, nullptr);
        QListWidget* list = open->list();
        for (int row : {2, 1, 0, 1})
            QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                              list->visualItemRect(list->item(row)).center());
        open->confirmButton()->click();
    });
    EXPECT_EQ(panel.runMultiple(request), (QStringList{"/apps/atlas.desktop", "/apps/web.desktop"}));
    QTimer::singleShot(0, [] {
        auto* open = qobject_cast<ApplicationChooser*>(QApplication::activeModalWidget());
        ASSERT_NE(open, nullptr);
        open->list()->item(0)->setSelected(true);
        open->cancelButton()->click();
    });
    EXPECT_EQ(panel.runMultiple(request), std::nullopt) << "cancelled";

    // Files and folders still go to the file chooser.
    files.answer = QStringLiteral("/home/me/Projects");
    EXPECT_EQ(panel.run({.title = QStringLiteral("Add a folder to Vantrel Dock"),
                         .prompt = QStringLiteral("Add Folder"),
                         .applicationsOnly = false,
                         .foldersOnly = true,
                         .parent = &page}),
              std::optional<QString>(QStringLiteral("/home/me/Projects")));
    EXPECT_EQ(files.multipleRuns, 0);
}

TEST(DockPage, AnIconSizeBelowTheSliderReadsAsStoredAndApplyKeepsIt) {
    DockPageFixture f;
    f.nativeDomain.values[QStringLiteral("tilesize")] = QStringLiteral("16");
    f.make();
    f.nativeQueue.drain();
    VantrelSliderRow* size = f.slider(QStringLiteral("Icon size"));
    ASSERT_EQ(f.native->tileSize(), 16);
    EXPECT_EQ(size->valueText(), QStringLiteral("16.0pt")) << "what Apply writes, not the slider's 24";
    EXPECT_EQ(size->slider()->value(), size->slider()->minimum());
    EXPECT_EQ(f.native->tileSize(), 16) << "showing it writes nothing";
}

TEST(DockPage, ApplyLendsItsFocusWithinThePageWhileBusyAndTakesItBack) {
    DockPageFixture f;
    DockPage& page = f.make();
    f.nativeQueue.drain();
    QApplication::setActiveWindow(&page);
    VantrelButton* reload = f.button(QStringLiteral("reload"));
    VantrelButton* apply = f.button(QStringLiteral("apply"));
    ASSERT_TRUE(reload->isEnabled());
    const int scrolled = page.verticalScrollBar()->value();

    // Busy, "Applying…" cannot hold the focus: a control of the same page has it, not the first
    // control of the window, and the page stays where it was.
    apply->setFocus(Qt::TabFocusReason);
    QTest::keyClick(apply, Qt::Key_Space);
    ASSERT_FALSE(apply->isEnabled());
    QWidget* lent = QApplication::focusWidget();
    ASSERT_NE(lent, nullptr);
    EXPECT_TRUE(page.section()->isAncestorOf(lent)) << lent->metaObject()->className();
    EXPECT_TRUE(KitPaint::showsFocusRing(lent));
    EXPECT_EQ(page.verticalScrollBar()->value(), scrolled);
    // Done: "Apply to macOS Dock" has it again.
    f.nativeQueue.drain();
    ASSERT_TRUE(apply->isEnabled());
    EXPECT_EQ(QApplication::focusWidget(), apply);
    EXPECT_TRUE(KitPaint::showsFocusRing(apply));

    // "Reload Current" the same; moved on by the user meanwhile, the focus stays where they put it.
    reload->setFocus(Qt::TabFocusReason);
    QTest::keyClick(reload, Qt::Key_Space);
    ASSERT_FALSE(reload->isEnabled());
    EXPECT_TRUE(page.section()->isAncestorOf(QApplication::focusWidget()));
    EXPECT_NE(QApplication::focusWidget(), reload);
    QWidget* elsewhere = f.checkbox(QStringLiteral("Automatically hide and show"));
    elsewhere->setFocus(Qt::TabFocusReason);
    f.nativeQueue.drain();
    ASSERT_TRUE(reload->isEnabled());
    EXPECT_EQ(QApplication::focusWidget(), elsewhere);
}

// "Move … earlier/later" keeps the focus, ring and all, on the button pressed, now in the item's
// new row; a removed item's row hands it to the same button of the row that takes its place, and
// the last row to "Add Website". The page does not scroll to anything on the way.
TEST(DockPage, APinnedRowsButtonKeepsTheFocusAsTheListIsBuiltAnew) {
    DockPageFixture f;
    f.c.h.preferences.setCustomDockEnabled(true);
    DockPage& page = f.make();
    QApplication::setActiveWindow(&page);
    for (const char* site : {"docs.example.org", "news.example.org"})
        ASSERT_TRUE(f.d.content.addWebsite(QString(), QString::fromLatin1(site)));
    f.settle();
    const auto focusedHelp = [] {
        QWidget* focus = QApplication::focusWidget();
        return focus ? focus->toolTip() : QString();
    };
    const auto buttonNamed = [&](const QString& help) {
        for (QAbstractButton* b : page.section()->findChildren<QAbstractButton*>())
            if (b->toolTip() == help && f.shows(b)) return b;
        return static_cast<QAbstractButton*>(nullptr);
    };
    buttonNamed(QStringLiteral("Move docs.example.org later"))->setFocus(Qt::TabFocusReason);
    const int scrolled = page.verticalScrollBar()->value();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
    f.settle();
    ASSERT_EQ(f.d.content.items()[1].title, QStringLiteral("docs.example.org"));
    EXPECT_EQ(focusedHelp(), QStringLiteral("Move docs.example.org later"));
    EXPECT_TRUE(KitPaint::showsFocusRing(QApplication::focusWidget()));
    EXPECT_EQ(page.verticalScrollBar()->value(), scrolled);

    buttonNamed(QStringLiteral("Remove news.example.org from Vantrel Dock"))->setFocus(Qt::TabFocusReason);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
    f.settle();
    EXPECT_EQ(focusedHelp(), QStringLiteral("Remove docs.example.org from Vantrel Dock"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
    f.settle();
    ASSERT_TRUE(f.d.content.items().empty());
    const auto* focused = qobject_cast<QAbstractButton*>(QApplication::focusWidget());
    ASSERT_NE(focused, nullptr);
    EXPECT_EQ(focused->text(), QStringLiteral("Add Website"));
}

// A change to one pinned item of many makes that item's row alone: the rows of the others stay the
// very widgets they were, in the list's new order, and their buttons act on their own items.
TEST(DockPage, AChangeToOnePinnedItemMakesThatRowAloneAndTheOtherRowsFollowTheOrder) {
    DockPageFixture f;
    f.c.h.preferences.setCustomDockEnabled(true);
    for (const char* site : {"a.example.org", "b.example.org", "c.example.org"})
        f.d.content.addWebsite(QString(), QString::fromLatin1(site));
    f.make();
    const auto rows = [&] {
        f.settle();
        QList<QWidget*> laid;
        QLayout* list = f.named<QWidget>(QStringLiteral("pinnedList"))->layout();
        for (int i = 0; i < list->count(); ++i)
            if (QWidget* w = list->itemAt(i)->widget(); w && w->objectName() == u"pinnedRow") laid << w;
        return laid;
    };
    const QList<QWidget*> before = rows();
    ASSERT_EQ(before.size(), 3);
    const QPointer<QWidget> removed = before[1];
    f.d.content.addWebsite(QString(), QStringLiteral("d.example.org"));
    EXPECT_EQ(rows().mid(0, 3), before);
    f.named<QAbstractButton>(QStringLiteral("Move c.example.org earlier"))->click();
    EXPECT_EQ(rows().mid(0, 3), (QList<QWidget*>{before[0], before[2], before[1]}));
    f.named<QAbstractButton>(QStringLiteral("Remove b.example.org from Vantrel Dock"))->click();
    EXPECT_EQ(rows().mid(0, 2), (QList<QWidget*>{before[0], before[2]}));
    EXPECT_FALSE(removed);
    EXPECT_EQ(f.d.content.items().size(), 3u);
}
