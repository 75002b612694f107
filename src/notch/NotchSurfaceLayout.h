#pragma once

#include "kit/Navigation.h"

#include <QDate>
#include <QRectF>
#include <QString>
#include <QStringList>
#include <functional>
#include <vector>

class QLocale;

namespace vantrel {

class VantrelPreferences;

// Where everything of the open notch surface sits and what it says, from the surface's size and
// the state it shows. Pure: the view draws and places its children from these results.
namespace NotchSurfaceLayout {

// Header row.
constexpr double kHeaderHeight = 36;
constexpr double kHeaderSidePadding = 17;
constexpr double kHeaderVerticalPadding = 8;
constexpr double kHeaderRailButton = 32;
constexpr double kHeaderRailSpacing = 3;
constexpr double kMinimumSideWidth = 36;
constexpr double kArtworkTile = 31;
constexpr double kIdentitySpacing = 9;
constexpr double kIdentityTrailingPadding = 8;
// The collapse button.
constexpr double kCollapseWidth = 36;
constexpr double kCollapseHeight = 30;
// Content under the header.
constexpr double kHeaderGap = 1;
constexpr double kContentPadding = 14;
// Home glance row.
constexpr double kGlanceSidePadding = 18;
constexpr double kGlanceBottomPadding = 7;
constexpr double kGlanceSpacing = 9;
constexpr double kGlanceArtworkFrame = 38;
constexpr double kGlanceMediaButtonWidth = 25;
constexpr double kGlanceMediaButtonHeight = 28;
constexpr double kGlanceMediaSpacing = 2;
constexpr double kGlanceRailButton = 25;
constexpr double kGlanceRailSpacing = 2;
constexpr double kGlanceDividerHeight = 34;
constexpr double kGlanceCalendarWidth = 104;

// The tabs the surface offers, in rail order: home, then the stored widget order with names that
// match no tab dropped, filtered by the module switches. Each tab appears once.
std::vector<NotchTab> availableTabs(const QStringList& widgetOrder,
                                    const std::function<bool(NotchTab)>& isEnabled);
std::vector<NotchTab> availableTabs(const VantrelPreferences& preferences);
// The module switch of a tab; home has none and is always on.
bool isModuleEnabled(const VantrelPreferences& preferences, NotchTab tab);

// A rail button's tooltip and accessible name.
QString tabTitle(NotchTab tab);
// How large a tab's symbol is drawn relative to the others.
double symbolScale(NotchTab tab);

// One rail glyph of side `buttonSize`: its selection plate radius and its symbol box.
struct TabGlyphGeometry {
    double plateRadius = 0;
    QRectF symbolBox;
};
TabGlyphGeometry tabGlyph(NotchTab tab, double buttonSize);

// What the now-playing identity says: the header treats the idle "Nothing playing" as no item,
// the glance row only an empty text.
struct IdentityTexts {
    QString title;
    QString subtitle;
};
IdentityTexts headerTexts(const QString& mediaTitle, const QString& mediaArtist);
IdentityTexts glanceTexts(const QString& mediaTitle, const QString& mediaArtist);
// The calendar button of the glance row: today's day and abbreviated month, and the first event.
IdentityTexts calendarTexts(const QDate& today, const QLocale& locale,
                            const std::vector<QString>& eventTitles);

// The rows inside either look.
struct ContentRows {
    double bridgeSpacerHeight = 0;
    bool showsGlance = false;
    QRectF glance;  // the home tab's glance row
    QRectF header;  // the header row, padded
    QRectF content; // the selected tab's view, padded
};
ContentRows contentRows(const QSizeF& surface, bool hasPhysicalNotch, double topBridgeHeight,
                        NotchTab selectedTab);

// The header: identity block, rail and collapse button. `titleWidth` and `subtitleWidth` are the
// texts' natural widths; the full identity shows only where they fit.
struct Header {
    double railWidth = 0;
    double sideWidth = 0;
    bool showsFullIdentity = false;
    QRectF identity;
    QRectF artworkTile;
    QRectF textColumn;
    QRectF rail;
    std::vector<QRectF> railButtons;
    QRectF collapseButton;
};
Header header(const QRectF& row, int tabCount, double titleWidth, double subtitleWidth);

// The home tab's single row.
struct Glance {
    bool isWide = false;
    QRectF artworkTile;
    QRectF textColumn;
    std::vector<QRectF> mediaButtons; // previous, play or pause, next
    QRectF divider;                   // empty unless wide
    QRectF calendarButton;            // empty unless wide
    std::vector<QRectF> railButtons;
    QRectF collapseButton;
};
Glance glance(const QRectF& row, int tabCount);

} // namespace NotchSurfaceLayout

} // namespace vantrel
