#include "notch/NotchSurfaceLayout.h"

#include "core/VantrelPreferences.h"
#include "modules/MediaPlaybackPolicy.h"
#include "notch/NotchSurfaceLook.h"

#include <QLocale>
#include <algorithm>
#include <set>

namespace vantrel::NotchSurfaceLayout {

std::vector<NotchTab> availableTabs(const QStringList& widgetOrder,
                                    const std::function<bool(NotchTab)>& isEnabled) {
    std::vector<NotchTab> tabs{NotchTab::home};
    std::set<NotchTab> seen{NotchTab::home};
    for (const QString& name : widgetOrder) {
        const std::optional<NotchTab> tab = fromRawValue<NotchTab>(name);
        // A stored order may repeat a name or name home; the rail still shows each tab once.
        if (!tab || seen.contains(*tab) || !isEnabled(*tab)) continue;
        seen.insert(*tab);
        tabs.push_back(*tab);
    }
    return tabs;
}

std::vector<NotchTab> availableTabs(const VantrelPreferences& preferences) {
    return availableTabs(preferences.notchWidgetOrder(),
                         [&preferences](NotchTab tab) { return isModuleEnabled(preferences, tab); });
}

bool isModuleEnabled(const VantrelPreferences& preferences, NotchTab tab) {
    switch (tab) {
    case NotchTab::home:
        return true;
    case NotchTab::clipboard:
        return preferences.notchClipboardEnabled();
    case NotchTab::calendar:
        return preferences.notchCalendarEnabled();
    case NotchTab::focus:
        return preferences.notchFocusEnabled();
    case NotchTab::timers:
        return preferences.notchTimersEnabled();
    case NotchTab::system:
        return preferences.notchSystemEnabled();
    case NotchTab::note:
        return preferences.notchNotesEnabled();
    case NotchTab::files:
        return preferences.notchFilesEnabled();
    case NotchTab::mirror:
        return preferences.notchMirrorEnabled();
    case NotchTab::bookmarks:
        return preferences.notchBookmarksEnabled();
    }
    return false;
}

QString tabTitle(NotchTab tab) {
    if (tab == NotchTab::focus) return QStringLiteral("Timer");
    QString name = rawValue(tab);
    name[0] = name[0].toUpper();
    return name;
}

double symbolScale(NotchTab tab) {
    switch (tab) {
    case NotchTab::home:
        return 0.94;
    case NotchTab::system:
        return 1.06;
    case NotchTab::files:
    case NotchTab::mirror:
        return 1.02;
    case NotchTab::bookmarks:
        return 0.9;
    default:
        return 1.0;
    }
}

TabGlyphGeometry tabGlyph(NotchTab tab, double buttonSize) {
    const double side = buttonSize * 0.43 * symbolScale(tab);
    const double origin = (buttonSize - side) / 2;
    return {std::max(buttonSize * 0.34, 9.0), QRectF(origin, origin, side, side)};
}

IdentityTexts headerTexts(const QString& mediaTitle, const QString& mediaArtist) {
    if (MediaPlaybackPolicy::hasCurrentItem(mediaTitle)) return {mediaTitle, mediaArtist};
    return {QStringLiteral("Vantrel"), QStringLiteral("Your Mac, tuned to you")};
}

IdentityTexts glanceTexts(const QString& mediaTitle, const QString& mediaArtist) {
    return {mediaTitle.isEmpty() ? QStringLiteral("Vantrel") : mediaTitle,
            mediaArtist.isEmpty() ? QStringLiteral("Ready when you are") : mediaArtist};
}

IdentityTexts calendarTexts(const QDate& today, const QLocale& locale,
                            const std::vector<QString>& eventTitles) {
    return {locale.toString(today, QStringLiteral("MMM d")),
            eventTitles.empty() ? QStringLiteral("No events today") : eventTitles.front()};
}

ContentRows contentRows(const QSizeF& surface, bool hasPhysicalNotch, double topBridgeHeight,
                        NotchTab selectedTab) {
    ContentRows rows;
    rows.bridgeSpacerHeight = NotchSurfaceLook::bridgeSpacerHeight(hasPhysicalNotch, topBridgeHeight);
    const double top = rows.bridgeSpacerHeight;
    const double width = surface.width();
    const double height = surface.height();
    rows.showsGlance = selectedTab == NotchTab::home;
    if (rows.showsGlance) {
        rows.glance = QRectF(kGlanceSidePadding, top, std::max(width - 2 * kGlanceSidePadding, 0.0),
                             std::max(height - top - kGlanceBottomPadding, 0.0));
        return rows;
    }
    rows.header = QRectF(kHeaderSidePadding, top + kHeaderVerticalPadding,
                         std::max(width - 2 * kHeaderSidePadding, 0.0), kHeaderHeight);
    const double contentTop = top + kHeaderHeight + 2 * kHeaderVerticalPadding + kHeaderGap;
    rows.content =
        QRectF(kContentPadding, contentTop + kContentPadding, std::max(width - 2 * kContentPadding, 0.0),
               std::max(height - contentTop - 2 * kContentPadding, 0.0));
    return rows;
}

namespace {

// A rectangle of the given size centred vertically on `midY`, starting at `x`.
QRectF centredAt(double x, double midY, double width, double height) {
    return QRectF(x, midY - height / 2, width, height);
}

std::vector<QRectF> buttonRow(double x, double midY, int count, double side, double spacing) {
    std::vector<QRectF> buttons;
    for (int i = 0; i < count; ++i) buttons.push_back(centredAt(x + i * (side + spacing), midY, side, side));
    return buttons;
}

double rowWidth(int count, double item, double spacing) {
    return count > 0 ? count * item + (count - 1) * spacing : 0;
}

} // namespace

Header header(const QRectF& row, int tabCount, double titleWidth, double subtitleWidth) {
    Header h;
    const int n = std::max(tabCount, 0);
    h.railWidth = rowWidth(n, kHeaderRailButton, kHeaderRailSpacing);
    h.sideWidth = std::max((row.width() - h.railWidth) / 2, kMinimumSideWidth);
    const double total = 2 * h.sideWidth + h.railWidth;
    const double left = row.left() + (row.width() - total) / 2;
    const double midY = row.center().y();

    h.identity = QRectF(left, row.top(), h.sideWidth, row.height());
    const double fullWidth =
        kArtworkTile + kIdentitySpacing + std::max(titleWidth, subtitleWidth) + kIdentityTrailingPadding;
    h.showsFullIdentity = fullWidth <= h.sideWidth;
    h.artworkTile = centredAt(left, midY, kArtworkTile, kArtworkTile);
    if (h.showsFullIdentity) {
        const double textLeft = left + kArtworkTile + kIdentitySpacing;
        h.textColumn = QRectF(textLeft, row.top(), h.identity.right() - kIdentityTrailingPadding - textLeft,
                              row.height());
    }

    h.rail = QRectF(left + h.sideWidth, row.top(), h.railWidth, row.height());
    h.railButtons = buttonRow(h.rail.left(), midY, n, kHeaderRailButton, kHeaderRailSpacing);
    const double sideRight = left + total;
    h.collapseButton = centredAt(sideRight - kCollapseWidth, midY, kCollapseWidth, kCollapseHeight);
    return h;
}

Glance glance(const QRectF& row, int tabCount) {
    Glance g;
    const int n = std::max(tabCount, 0);
    g.isWide = NotchSurfaceLook::isWideGlance(row.width());
    const double transportWidth = rowWidth(3, kGlanceMediaButtonWidth, kGlanceMediaSpacing);
    const double railWidth = rowWidth(n, kGlanceRailButton, kGlanceRailSpacing);

    // Artwork, text, transport, [divider, calendar], rail, collapse; the text column takes what
    // the others leave.
    double fixed = kGlanceArtworkFrame + transportWidth + railWidth + kCollapseWidth;
    int items = 5;
    if (g.isWide) {
        fixed += 1 + kGlanceCalendarWidth;
        items += 2;
    }
    const double spacing = (items - 1) * kGlanceSpacing;
    const double textWidth = std::max(row.width() - fixed - spacing, 0.0);
    const double total = fixed + spacing + textWidth;
    const double midY = row.center().y();

    double x = row.left() + (row.width() - total) / 2;
    g.artworkTile = centredAt(x + (kGlanceArtworkFrame - kArtworkTile) / 2, midY, kArtworkTile, kArtworkTile);
    x += kGlanceArtworkFrame + kGlanceSpacing;
    g.textColumn = centredAt(x, midY, textWidth, kGlanceDividerHeight);
    x += textWidth + kGlanceSpacing;
    for (int i = 0; i < 3; ++i)
        g.mediaButtons.push_back(centredAt(x + i * (kGlanceMediaButtonWidth + kGlanceMediaSpacing), midY,
                                           kGlanceMediaButtonWidth, kGlanceMediaButtonHeight));
    x += transportWidth + kGlanceSpacing;
    if (g.isWide) {
        g.divider = centredAt(x, midY, 1, kGlanceDividerHeight);
        x += 1 + kGlanceSpacing;
        g.calendarButton = centredAt(x, midY, kGlanceCalendarWidth, kGlanceDividerHeight);
        x += kGlanceCalendarWidth + kGlanceSpacing;
    }
    g.railButtons = buttonRow(x, midY, n, kGlanceRailButton, kGlanceRailSpacing);
    x += railWidth + kGlanceSpacing;
    g.collapseButton = centredAt(x, midY, kCollapseWidth, kCollapseHeight);
    return g;
}

} // namespace vantrel::NotchSurfaceLayout
