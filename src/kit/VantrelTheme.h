#pragma once

#include "core/PreferenceEnums.h"
#include "platform/SystemAppearance.h"

#include <QColor>
#include <QEvent>
#include <QFont>
#include <QPalette>

class QWidget;

namespace vantrel {

// A colour with one value for the dark appearance and one for the light one, both fixed for life.
struct AdaptiveColor {
    QColor dark;
    QColor light;

    // The value drawn in `scheme`.
    QColor resolve(ColorScheme scheme) const { return scheme == ColorScheme::dark ? dark : light; }
    // The value drawn in `widget`'s appearance (see VantrelTheme::colorScheme).
    QColor resolve(const QWidget* widget) const;
    bool operator==(const AdaptiveColor&) const = default;
};

// Every named colour of the palette: X(name, dark value, light value). rgb() is opaque;
// white(a)/black(a) are white or black at alpha a.
#define VANTREL_THEME_COLORS(X)                                                                              \
    X(canvasTop, rgb(0.038, 0.044, 0.057), rgb(0.965, 0.968, 0.972))                                         \
    X(canvasMiddle, rgb(0.019, 0.023, 0.031), rgb(0.93, 0.938, 0.948))                                       \
    X(canvasBottom, rgb(0.007, 0.008, 0.012), rgb(0.895, 0.906, 0.92))                                       \
    X(elevated, white(0.062), white(0.6))                                                                    \
    X(border, white(0.115), black(0.105))                                                                    \
    X(keyline, white(0.16), white(0.92))                                                                     \
    X(surfaceHighlight, white(1), white(1))                                                                  \
    X(secondaryText, white(0.59), black(0.6))                                                                \
    X(tertiaryText, white(0.38), black(0.4))                                                                 \
    X(surface, rgb(0.035, 0.04, 0.052), rgb(0.985, 0.987, 0.99))                                             \
    X(recessed, black(0.22), black(0.035))                                                                   \
    X(shadow, black(0.38), black(0.16))                                                                      \
    X(dormant, white(0.42), black(0.4))

// The one source of colour for every surface. Views take an adaptive colour and resolve it for
// the appearance they are drawn in; the settings that choose among the colours live in
// VantrelPreferences.
namespace VantrelTheme {

#define VANTREL_THEME_COLOR_DECL_(name, dark, light) const AdaptiveColor& name();
VANTREL_THEME_COLORS(VANTREL_THEME_COLOR_DECL_)
#undef VANTREL_THEME_COLOR_DECL_

// The blue glow of the window backdrop; equal to the default background tint.
QColor blueLight();
// An amber signal colour.
QColor caution();

// The accent colour of `accent`, the same in both appearances.
QColor accent(Accent accent);
// The background of the replacement Dock for `tint`; `accent` is read only for the accent tint,
// which is the accent colour at alpha 0.55.
QColor dockTint(DockTint tint, Accent accent);

// The primary text colour: white in the dark appearance, black in the light one.
QColor primary(ColorScheme scheme);

// White or black at `opacity` (clamped into 0...1).
QColor white(double opacity);
QColor black(double opacity);

// `color` with its alpha multiplied by `opacity` (clamped into 0...1), as a view's opacity
// modifier draws it.
QColor withOpacity(QColor color, double opacity);

// The appearance `widget` is drawn in: the scheme set with setColorScheme on it or its nearest
// ancestor; the light appearance when none names one.
ColorScheme colorScheme(const QWidget* widget);
// Gives `widget` and its descendants `scheme`, sends each of them colorSchemeChangeEvent() (for
// views that cache what they draw per appearance) and repaints them.
void setColorScheme(QWidget* widget, ColorScheme scheme);
// The type of the event setColorScheme sends.
QEvent::Type colorSchemeChangeEvent();

// The colours of Qt's own menus in `scheme`: the surface behind the items, the primary text, the
// tertiary text for disabled items, the border's tone for separators, and under the item the
// pointer is on `accent` deepened so that its white text reads at 4.5:1; the accent itself, for
// the marks of checked items, as the link colour.
QPalette menuPalette(ColorScheme scheme, QColor accent);
// The font of Qt's own menus: the theme's 13-point regular.
QFont menuFont();
// Gives every menu bar and menu of the application, those already open included (the window's
// menu bar and its menus, the status item's menu, the pickers' pop-up menus), the palette and
// font above. Called whenever the appearance or the accent changes.
void applyToMenus(ColorScheme scheme, QColor accent);

} // namespace VantrelTheme

} // namespace vantrel
