#pragma once

#include "platform/SystemAppearance.h"

#include <QByteArray>
#include <QColor>
#include <QImage>
#include <QRectF>
#include <functional>

class QPainter;
class QPainterPath;
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
// For a text field whose ring `surface` draws round the field's capsule: watches the field's
// focus reason, and repaints `surface` as the field gains or loses the focus.
void ringDrawnBy(QWidget* field, QWidget* surface);
// Whether `widget` shows its focus ring: it has the focus, and not from a click. Needs
// watchFocusReason; the ring is for the keyboard only.
bool showsFocusRing(const QWidget* widget);

// A switch whose track is `on` of the way (0 to 1) from the off colour to the tint.
// A focused switch draws its ring in `ring`.
void paintSwitch(QPainter& painter, const SwitchLayout& layout, double on, const QColor& tint,
                 ColorScheme scheme, bool enabled, bool focused, const QColor& ring);
// Gives `to` the focus as `from` had it: focus that came from a click stays without a ring when
// the control that had it is replaced.
void passFocus(const QWidget* from, QWidget* to);
// Whether `widget`'s last focus came from a click (needs watchFocusReason).
bool focusCameByClick(const QWidget* widget);

// The WCAG contrast ratio of two colours, from 1 (the same) to 21 (black on white); alpha is
// ignored: composite a translucent colour first.
double contrastRatio(const QColor& a, const QColor& b);
// `over` laid on the opaque `under` at `over`'s alpha.
QColor composite(const QColor& over, const QColor& under);
// The colour of a focus ring drawn on the opaque `surface`: `accent` where it stands out from
// the surface by 3.5:1, else the accent taken towards black on a light surface (towards white on
// a dark one) until it stands out by 4.5:1. The margins keep the ring clear of 3:1 also where
// the surface is a gradient or glass a little lighter or darker than the colour named for it.
QColor ringColor(const QColor& surface, const QColor& accent);
// The outline of a control (a check box, a field) on the opaque `surface`: the primary colour of
// that surface at the least opacity that stands out from it by 4.5:1.
QColor outlineColor(const QColor& surface);
// The fill under white text of a selected row or item: `accent`, taken towards black until the
// white text on it reads at 4.5:1.
QColor selectionColor(const QColor& accent);
// Black or white, whichever reads better on `fill` (a check mark on a checked box).
QColor inkOn(const QColor& fill);
// The opaque colour behind `widget`: the canvas of its appearance.
QColor surfaceBehind(const QWidget* widget);
// The ring of `widget` on the surface behind it, in its tint where that stands out.
QColor focusRingColor(const QWidget* widget);

// A ring around `rect` that shows keyboard focus. It reaches kFocusRingRoom beyond `rect`: a
// control whose rect has no such room around its shape draws it with paintFocusRingInside.
void paintFocusRing(QPainter& painter, const QRectF& rect, double radius, const QColor& tint,
                    double width = 2);
inline constexpr double kFocusRingRoom = 3;
// The same ring with its outer edge on `bounds`, so that all of it is seen inside them.
void paintFocusRingInside(QPainter& painter, const QRectF& bounds, double radius, const QColor& tint);
// The ring of a control that fills its own shape (a button, a segment): 2 wide, centred on
// `ring`, which lies far enough inside the shape's edge that the fill shows on both sides of it,
// in the colour that stands out from `fill` laid over the surface behind `widget`.
void paintFocusRingOnFill(QPainter& painter, const QPainterPath& ring, const QColor& fill,
                          const QWidget* widget);
// Set on a control whose ring a FocusHalo draws outside it: the control draws none itself.
inline constexpr char kRingOutsideProperty[] = "vantrelRingOutside";
bool ringDrawnOutside(const QWidget* widget);
// The ring inside `widget`'s own rect, when it shows one: for a plain control (a row, a tile, a
// symbol) that draws no shape of its own. Needs watchFocusReason. None where a FocusHalo draws it.
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
