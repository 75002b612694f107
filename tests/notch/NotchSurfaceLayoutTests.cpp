#include "core/VantrelPreferences.h"
#include "notch/NotchSurfaceLayout.h"
#include "platform/InMemoryDefaults.h"

#include <QLocale>
#include <gtest/gtest.h>

using namespace vantrel;
namespace Layout = NotchSurfaceLayout;

namespace {

std::vector<NotchTab> tabs(std::initializer_list<NotchTab> list) {
    return list;
}

} // namespace

TEST(NotchAvailableTabs, HomeFirstThenTheStoredOrderFilteredByTheSwitches) {
    InMemoryDefaultsProvider defaults;
    VantrelPreferences preferences(defaults.standard());
    EXPECT_EQ(
        Layout::availableTabs(preferences),
        tabs({NotchTab::home, NotchTab::clipboard, NotchTab::calendar, NotchTab::focus, NotchTab::timers,
              NotchTab::system, NotchTab::note, NotchTab::files, NotchTab::mirror, NotchTab::bookmarks}));

    preferences.setNotchWidgetOrder({"files", "notes", "Clipboard", "clipboard", "files", "home", "mirror"});
    preferences.setNotchMirrorEnabled(false);
    // Misspelt names are dropped, repeats and home shown once, switched-off modules left out.
    EXPECT_EQ(Layout::availableTabs(preferences),
              tabs({NotchTab::home, NotchTab::files, NotchTab::clipboard}));
    // The media switch plays no part.
    preferences.setNotchMediaEnabled(false);
    EXPECT_EQ(Layout::availableTabs(preferences).size(), 3u);

    preferences.setNotchWidgetOrder(defaultNotchWidgetOrder());
    preferences.setNotchClipboardEnabled(false);
    preferences.setNotchCalendarEnabled(false);
    preferences.setNotchFocusEnabled(false);
    preferences.setNotchTimersEnabled(false);
    preferences.setNotchSystemEnabled(false);
    preferences.setNotchNotesEnabled(false);
    preferences.setNotchFilesEnabled(false);
    preferences.setNotchBookmarksEnabled(false);
    EXPECT_EQ(Layout::availableTabs(preferences), tabs({NotchTab::home}));
    preferences.setNotchNotesEnabled(true);
    EXPECT_EQ(Layout::availableTabs(preferences), tabs({NotchTab::home, NotchTab::note}));
}

TEST(NotchTabRail, TitlesScalesAndGlyphBoxes) {
    EXPECT_EQ(Layout::tabTitle(NotchTab::focus), "Timer");
    EXPECT_EQ(Layout::tabTitle(NotchTab::timers), "Timers");
    EXPECT_EQ(Layout::tabTitle(NotchTab::home), "Home");
    EXPECT_EQ(Layout::tabTitle(NotchTab::note), "Note");
    EXPECT_EQ(Layout::tabTitle(NotchTab::bookmarks), "Bookmarks");

    EXPECT_DOUBLE_EQ(Layout::symbolScale(NotchTab::home), 0.94);
    EXPECT_DOUBLE_EQ(Layout::symbolScale(NotchTab::system), 1.06);
    EXPECT_DOUBLE_EQ(Layout::symbolScale(NotchTab::files), 1.02);
    EXPECT_DOUBLE_EQ(Layout::symbolScale(NotchTab::mirror), 1.02);
    EXPECT_DOUBLE_EQ(Layout::symbolScale(NotchTab::bookmarks), 0.9);
    EXPECT_DOUBLE_EQ(Layout::symbolScale(NotchTab::clipboard), 1.0);

    const Layout::TabGlyphGeometry header = Layout::tabGlyph(NotchTab::clipboard, 32);
    EXPECT_NEAR(header.plateRadius, 10.88, 1e-9);
    EXPECT_NEAR(header.symbolBox.width(), 13.76, 1e-9);
    EXPECT_NEAR(header.symbolBox.center().x(), 16, 1e-9);
    const Layout::TabGlyphGeometry glance = Layout::tabGlyph(NotchTab::system, 25);
    EXPECT_DOUBLE_EQ(glance.plateRadius, 9);
    EXPECT_NEAR(glance.symbolBox.height(), 25 * 0.43 * 1.06, 1e-9);
}

TEST(NotchSurfaceTexts, HeaderAndGlanceTreatTheIdlePlayerDifferently) {
    const Layout::IdentityTexts idleHeader = Layout::headerTexts("Nothing playing", "Open Music or Spotify");
    EXPECT_EQ(idleHeader.title, "Vantrel");
    EXPECT_EQ(idleHeader.subtitle, "Your Mac, tuned to you");
    const Layout::IdentityTexts idleGlance = Layout::glanceTexts("Nothing playing", "Open Music or Spotify");
    EXPECT_EQ(idleGlance.title, "Nothing playing");
    EXPECT_EQ(idleGlance.subtitle, "Open Music or Spotify");

    const Layout::IdentityTexts emptyGlance = Layout::glanceTexts("", "");
    EXPECT_EQ(emptyGlance.title, "Vantrel");
    EXPECT_EQ(emptyGlance.subtitle, "Ready when you are");
    EXPECT_EQ(Layout::headerTexts("  ", "x").title, "Vantrel");

    const Layout::IdentityTexts playing = Layout::headerTexts("Blue in Green", "Miles Davis");
    EXPECT_EQ(playing.title, "Blue in Green");
    EXPECT_EQ(playing.subtitle, "Miles Davis");

    const QLocale english(QLocale::English, QLocale::UnitedStates);
    const Layout::IdentityTexts noEvents = Layout::calendarTexts(QDate(2026, 12, 7), english, {});
    EXPECT_EQ(noEvents.title, "Dec 7");
    EXPECT_EQ(noEvents.subtitle, "No events today");
    EXPECT_EQ(Layout::calendarTexts(QDate(2026, 12, 7), english, {"Stand-up", "Lunch"}).subtitle, "Stand-up");
}

TEST(NotchSurfaceLayout, RowsUnderTheNotchBand) {
    const Layout::ContentRows home = Layout::contentRows(QSizeF(820, 104), true, 32, NotchTab::home);
    EXPECT_TRUE(home.showsGlance);
    EXPECT_EQ(home.glance, QRectF(18, 32, 784, 104 - 32 - 7));
    EXPECT_TRUE(home.header.isNull());
    // A surface no taller than the band leaves an empty glance, never a negative one.
    const Layout::ContentRows flat = Layout::contentRows(QSizeF(820, 30), true, 32, NotchTab::home);
    EXPECT_EQ(flat.glance.height(), 0);
    EXPECT_EQ(flat.glance.top(), 32);

    const Layout::ContentRows clipboard =
        Layout::contentRows(QSizeF(820, 470), true, 32, NotchTab::clipboard);
    EXPECT_FALSE(clipboard.showsGlance);
    EXPECT_EQ(clipboard.header, QRectF(17, 40, 786, 36));
    // Header block of 52, a gap of 1, then the content padded by 14.
    EXPECT_EQ(clipboard.content, QRectF(14, 32 + 52 + 1 + 14, 792, 470 - 85 - 28));

    const Layout::ContentRows noNotch = Layout::contentRows(QSizeF(820, 470), false, 32, NotchTab::files);
    EXPECT_DOUBLE_EQ(noNotch.bridgeSpacerHeight, 7);
    EXPECT_DOUBLE_EQ(noNotch.header.top(), 15);
}

TEST(NotchSurfaceLayout, HeaderSidesRailAndIdentity) {
    const QRectF row(17, 40, 786, 36);
    const Layout::Header full = Layout::header(row, 10, 60, 130);
    EXPECT_DOUBLE_EQ(full.railWidth, 10 * 32 + 9 * 3);
    EXPECT_DOUBLE_EQ(full.sideWidth, (786 - 347) / 2.0);
    EXPECT_TRUE(full.showsFullIdentity);
    EXPECT_EQ(full.artworkTile, QRectF(17, 42.5, 31, 31));
    EXPECT_DOUBLE_EQ(full.textColumn.left(), 17 + 31 + 9);
    EXPECT_DOUBLE_EQ(full.textColumn.right(), 17 + full.sideWidth - 8);
    ASSERT_EQ(full.railButtons.size(), 10u);
    EXPECT_EQ(full.railButtons[0], QRectF(17 + full.sideWidth, 42, 32, 32));
    EXPECT_DOUBLE_EQ(full.railButtons[1].left() - full.railButtons[0].left(), 35);
    EXPECT_EQ(full.collapseButton, QRectF(803 - 36, 43, 36, 30));

    // No tabs: a rail of 0 and two halves, each at least 36.
    const Layout::Header empty = Layout::header(row, 0, 10, 10);
    EXPECT_DOUBLE_EQ(empty.railWidth, 0);
    EXPECT_DOUBLE_EQ(empty.sideWidth, 393);
    // Too narrow for two sides of 36: the row overflows evenly on both ends.
    const Layout::Header cramped = Layout::header(QRectF(0, 0, 40, 36), 0, 10, 10);
    EXPECT_DOUBLE_EQ(cramped.sideWidth, 36);
    EXPECT_DOUBLE_EQ(cramped.identity.left(), -16);
    EXPECT_DOUBLE_EQ(cramped.collapseButton.right(), 56);

    // Texts wider than the side leave only the artwork tile.
    const Layout::Header narrow = Layout::header(row, 10, 400, 20);
    EXPECT_FALSE(narrow.showsFullIdentity);
    EXPECT_TRUE(narrow.textColumn.isNull());
    EXPECT_EQ(narrow.artworkTile.size(), QSizeF(31, 31));
    // Exactly fitting texts still show.
    EXPECT_TRUE(Layout::header(row, 10, full.sideWidth - 48, 20).showsFullIdentity);
}

TEST(NotchSurfaceLayout, GlanceRowHasTheCalendarFrom740) {
    const Layout::Glance narrow = Layout::glance(QRectF(18, 32, 739, 65), 10);
    EXPECT_FALSE(narrow.isWide);
    EXPECT_TRUE(narrow.divider.isNull());
    EXPECT_TRUE(narrow.calendarButton.isNull());

    const Layout::Glance wide = Layout::glance(QRectF(18, 32, 740, 65), 10);
    EXPECT_TRUE(wide.isWide);
    EXPECT_EQ(wide.divider.size(), QSizeF(1, 34));
    EXPECT_EQ(wide.calendarButton.width(), 104);

    const Layout::Glance g = Layout::glance(QRectF(18, 32, 784, 65), 10);
    EXPECT_EQ(g.artworkTile, QRectF(18 + 3.5, 32 + 17, 31, 31));
    EXPECT_DOUBLE_EQ(g.textColumn.left(), 18 + 38 + 9);
    ASSERT_EQ(g.mediaButtons.size(), 3u);
    EXPECT_EQ(g.mediaButtons[0].size(), QSizeF(25, 28));
    EXPECT_DOUBLE_EQ(g.mediaButtons[0].left(), g.textColumn.right() + 9);
    EXPECT_DOUBLE_EQ(g.mediaButtons[2].left() - g.mediaButtons[0].left(), 54);
    ASSERT_EQ(g.railButtons.size(), 10u);
    EXPECT_EQ(g.railButtons[0].size(), QSizeF(25, 25));
    EXPECT_DOUBLE_EQ(g.railButtons[1].left() - g.railButtons[0].left(), 27);
    // Everything fits exactly: the collapse button closes the row.
    EXPECT_DOUBLE_EQ(g.collapseButton.right(), 18 + 784);
    EXPECT_EQ(g.collapseButton.size(), QSizeF(36, 30));

    // Too narrow for its fixed parts: the row overflows evenly on both ends (the artwork's frame
    // is 38 wide, the tile 31 in its middle).
    const Layout::Glance cramped = Layout::glance(QRectF(18, 32, 300, 65), 10);
    EXPECT_EQ(cramped.textColumn.width(), 0);
    const double before = 18 - (cramped.artworkTile.left() - 3.5);
    const double after = cramped.collapseButton.right() - (18 + 300);
    EXPECT_GT(before, 0);
    EXPECT_DOUBLE_EQ(before, after);
}
