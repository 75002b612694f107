#pragma once

#include "platform/SystemAppearance.h"

#include <QByteArray>
#include <QColor>
#include <QImage>
#include <QRectF>
#include <functional>

class QPainter;
class QWidget;

namespace vantrel {

struct SwitchLayout;

// Drawing shared by the kit's controls, so that every switch, segment and slider looks alike.
namespace KitPaint {

// The tint a control is drawn in: the page's accent, handed down as the palette's highlight.
QColor tint(const QWidget* widget);
// The appearance the widget is drawn in.
ColorScheme scheme(const QWidget* widget);
// The primary text colour of an appearance at `opacity`.
QColor primary(ColorScheme scheme, double opacity = 1.0);

// How far a control that cannot be used now fades back, with everything it draws.
inline constexpr double kDisabledOpacity = 0.45;
// Fades what `painter` draws next when `widget` (or an ancestor) is disabled.
void fadeIfDisabled(QPainter& painter, const QWidget* widget);
// Whether `widget` is disabled by an ancestor that is itself drawn faded (through an opacity
// effect), so that text inside it does not fade a second time.
bool fadedByDisabledGroup(const QWidget* widget);

// Lets `widget` tell focus taken by a click from focus reached with the keyboard.
void watchFocusReason(QWidget* widget);
// Whether `widget` shows its focus ring: it has the focus, and not from a click. Needs
// watchFocusReason; the ring is for the keyboard only.
bool showsFocusRing(const QWidget* widget);

// A switch whose track is `on` of the way (0 to 1) from the off colour to the tint.
void paintSwitch(QPainter& painter, const SwitchLayout& layout, double on, const QColor& tint,
                 ColorScheme scheme, bool enabled, bool focused);
// Gives `to` the focus as `from` had it: focus that came from a click stays without a ring when
// the control that had it is replaced.
void passFocus(const QWidget* from, QWidget* to);
// Whether `widget`'s last focus came from a click (needs watchFocusReason).
bool focusCameByClick(const QWidget* widget);

// A ring around `rect` that shows keyboard focus. It reaches kFocusRingRoom beyond `rect`: a
// control whose rect has no such room around its shape draws it with paintFocusRingInside.
void paintFocusRing(QPainter& painter, const QRectF& rect, double radius, const QColor& tint,
                    double width = 2);
inline constexpr double kFocusRingRoom = 3;
// The same ring with its outer edge on `bounds`, so that all of it is seen inside them.
void paintFocusRingInside(QPainter& painter, const QRectF& bounds, double radius, const QColor& tint);
// The ring inside `widget`'s own rect, when it shows one: for a plain control (a row, a tile, a
// symbol) that draws no shape of its own. Needs watchFocusReason.
void paintFocusRingOf(QPainter& painter, const QWidget* widget, double radius);

// The image made by `make` for `key`, shared by every caller that asks for the same key while one
// of them still holds it: paint caches of pieces that many widgets draw alike (a shadow's blur and
// the strips of its edges). An image that only this cache still holds is let go at the next look-up.
QImage sharedImage(const QByteArray& key, const std::function<QImage()>& make);

template <typename T> void appendKey(QByteArray& key, const T& value) {
    key.append(reinterpret_cast<const char*>(&value), sizeof value);
}

} // namespace KitPaint

} // namespace vantrel
