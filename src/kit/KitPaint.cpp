#include "kit/KitPaint.h"

#include "kit/VantrelSwitch.h"
#include "kit/VantrelTheme.h"

#include <QFocusEvent>
#include <QGraphicsOpacityEffect>
#include <QKeyEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPointer>
#include <QWidget>
#include <algorithm>
#include <cmath>
#include <vector>

namespace vantrel::KitPaint {

QColor tint(const QWidget* widget) {
    return widget->palette().color(QPalette::Highlight);
}

ColorScheme scheme(const QWidget* widget) {
    return VantrelTheme::colorScheme(widget);
}

QColor primary(ColorScheme scheme, double opacity) {
    return VantrelTheme::withOpacity(VantrelTheme::primary(scheme), opacity);
}

void fadeIfDisabled(QPainter& painter, const QWidget* widget) {
    if (widget && !widget->isEnabled()) painter.setOpacity(painter.opacity() * kDisabledOpacity);
}

bool fadedByDisabledGroup(const QWidget* widget) {
    for (const QWidget* group = widget; group && !group->isEnabled(); group = group->parentWidget()) {
        const auto* fade = qobject_cast<const QGraphicsOpacityEffect*>(group->graphicsEffect());
        if (fade && fade->isEnabled()) return true;
        if (group->isWindow()) break;
    }
    return false;
}

namespace {

constexpr char kClickFocus[] = "vantrelClickFocus";

// Notes on each watched widget whether its focus came from a click. Focus that comes back with
// its window, or from a closing popup, keeps what it was; where it never had any, it came with no
// key pressed, and shows no ring either. Tab pressed on it shows its ring though the focus stays:
// the only stop of its window is the next stop too.
class FocusReasonWatcher final : public QObject {
public:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::KeyPress) {
            const int key = static_cast<QKeyEvent*>(event)->key();
            auto* widget = qobject_cast<QWidget*>(watched);
            if ((key == Qt::Key_Tab || key == Qt::Key_Backtab) && widget &&
                widget->property(kClickFocus).toBool()) {
                widget->setProperty(kClickFocus, false);
                widget->update();
            }
        } else if (event->type() == QEvent::MouseButtonPress) {
            // A press in a window that is not yet active gives the focus there only once the
            // window is activated, for a reason that does not tell of the click.
            auto* widget = qobject_cast<QWidget*>(watched);
            if (widget && (widget->focusPolicy() & Qt::ClickFocus) == Qt::ClickFocus &&
                !widget->property(kClickFocus).toBool()) {
                widget->setProperty(kClickFocus, true);
                widget->update();
            }
        } else if (event->type() == QEvent::FocusIn) {
            const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
            if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason)
                watched->setProperty(kClickFocus, reason == Qt::MouseFocusReason);
            else if (!watched->property(kClickFocus).isValid())
                watched->setProperty(kClickFocus, true);
        }
        return false;
    }
};

// Repaints the surface that draws a field's ring as the field's focus comes and goes.
class FocusRepaint final : public QObject {
public:
    FocusRepaint(QWidget* field, QWidget* surface) : QObject(field), surface_(surface) {
        field->installEventFilter(this);
    }
    bool eventFilter(QObject*, QEvent* event) override {
        if ((event->type() == QEvent::FocusIn || event->type() == QEvent::FocusOut) && surface_)
            surface_->update();
        return false;
    }

private:
    QPointer<QWidget> surface_;
};

} // namespace

void watchFocusReason(QWidget* widget) {
    static FocusReasonWatcher watcher;
    widget->installEventFilter(&watcher);
}

void ringDrawnBy(QWidget* field, QWidget* surface) {
    watchFocusReason(field);
    new FocusRepaint(field, surface);
}

bool showsFocusRing(const QWidget* widget) {
    return widget->hasFocus() && !widget->property(kClickFocus).toBool();
}

void passFocus(const QWidget* from, QWidget* to) {
    to->setFocus(focusCameByClick(from) ? Qt::MouseFocusReason : Qt::TabFocusReason);
}

bool focusCameByClick(const QWidget* widget) {
    return widget->property(kClickFocus).toBool();
}

void paintSwitch(QPainter& painter, const SwitchLayout& layout, double on, const QColor& tint,
                 ColorScheme scheme, bool enabled, bool focused, const QColor& ring) {
    painter.save();
    if (!enabled) painter.setOpacity(painter.opacity() * kDisabledOpacity);
    const double radius = layout.track.height() / 2;
    painter.setPen(Qt::NoPen);
    const QColor off = primary(scheme, scheme == ColorScheme::dark ? 0.2 : 0.1);
    const double t = std::clamp(on, 0.0, 1.0);
    const auto mix = [t](double a, double b) { return float(a + (b - a) * t); };
    painter.setBrush(QColor::fromRgbF(mix(off.redF(), tint.redF()), mix(off.greenF(), tint.greenF()),
                                      mix(off.blueF(), tint.blueF()), mix(off.alphaF(), tint.alphaF())));
    painter.drawRoundedRect(layout.track, radius, radius);
    // The knob: a soft shadow under a white disc, a capsule while it is held.
    const double knob = layout.knob.height() / 2;
    painter.setBrush(QColor(0, 0, 0, 40));
    painter.drawRoundedRect(layout.knob.translated(0, 0.6), knob, knob);
    painter.setBrush(Qt::white);
    painter.drawRoundedRect(layout.knob, knob, knob);
    painter.restore();
    if (focused) paintFocusRing(painter, layout.track, radius, ring);
}

namespace {

double luminance(const QColor& color) {
    const auto linear = [](double c) {
        return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
    };
    const QColor rgb = color.toRgb();
    return 0.2126 * linear(rgb.redF()) + 0.7152 * linear(rgb.greenF()) + 0.0722 * linear(rgb.blueF());
}

} // namespace

double contrastRatio(const QColor& a, const QColor& b) {
    const double la = luminance(a), lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

QColor composite(const QColor& over, const QColor& under) {
    const double a = std::clamp(over.alphaF(), 0.0f, 1.0f);
    const auto mix = [a](double top, double bottom) { return float(top * a + bottom * (1 - a)); };
    return QColor::fromRgbF(mix(over.redF(), under.redF()), mix(over.greenF(), under.greenF()),
                            mix(over.blueF(), under.blueF()), 1);
}

namespace {

// Whichever of black and white stands out more from the opaque `ground`.
QColor farEnd(const QColor& ground) {
    return contrastRatio(Qt::black, ground) >= contrastRatio(Qt::white, ground) ? Qt::black : Qt::white;
}

// `colour` taken towards `end` in steps until it stands out from `against` by `ratio`, so that
// it keeps as much of its hue as the contrast allows.
QColor towards(const QColor& colour, const QColor& end, const QColor& against, double ratio, int steps) {
    QColor result = colour;
    for (int step = 1; step <= steps && contrastRatio(result, against) < ratio; ++step) {
        QColor toward = end;
        toward.setAlphaF(float(step / double(steps)));
        result = composite(toward, colour);
    }
    return result;
}

} // namespace

QColor ringColor(const QColor& surface, const QColor& accent) {
    const QColor ground = composite(surface, Qt::black);
    const QColor tint = composite(accent, ground);
    if (contrastRatio(tint, ground) >= 3.5) return tint;
    // Towards whichever end stands out more from the surface.
    return towards(tint, farEnd(ground), ground, 4.5, 20);
}

QColor outlineColor(const QColor& surface) {
    const QColor ground = composite(surface, Qt::black);
    const QColor end = farEnd(ground);
    // The quietest tone of the primary colour that still outlines a control by 3:1, with room
    // for a card or glass a good deal lighter or darker than the colour named for it.
    for (int step = 6; step <= 20; ++step) {
        QColor tone = end;
        tone.setAlphaF(float(step / 20.0));
        const QColor seen = composite(tone, ground);
        if (contrastRatio(seen, ground) >= 4.5) return seen;
    }
    return end;
}

QColor selectionColor(const QColor& accent) {
    return towards(composite(accent, Qt::black), Qt::black, Qt::white, 4.5, 40);
}

QColor inkOn(const QColor& fill) {
    return farEnd(composite(fill, Qt::black));
}

QColor surfaceBehind(const QWidget* widget) {
    return VantrelTheme::canvasMiddle().resolve(VantrelTheme::colorScheme(widget));
}

QColor focusRingColor(const QWidget* widget) {
    return ringColor(surfaceBehind(widget), tint(widget));
}

void paintFocusRingOnFill(QPainter& painter, const QPainterPath& ring, const QColor& fill,
                          const QWidget* widget) {
    painter.save();
    painter.setOpacity(1);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(ringColor(composite(fill, surfaceBehind(widget)), tint(widget)), 2));
    painter.drawPath(ring);
    painter.restore();
}

void paintFocusRing(QPainter& painter, const QRectF& rect, double radius, const QColor& tint, double width) {
    painter.save();
    painter.setBrush(Qt::NoBrush);
    QPen pen(tint, width);
    pen.setMiterLimit(10);
    painter.setPen(pen);
    const double outset = width / 2 + 1;
    painter.drawRoundedRect(rect.adjusted(-outset, -outset, outset, outset), radius + outset,
                            radius + outset);
    painter.restore();
}

void paintFocusRingInside(QPainter& painter, const QRectF& bounds, double radius, const QColor& tint) {
    const double room = kFocusRingRoom;
    paintFocusRing(painter, bounds.adjusted(room, room, -room, -room), std::max(0.0, radius - room), tint);
}

bool ringDrawnOutside(const QWidget* widget) {
    return widget->property(kRingOutsideProperty).toBool();
}

void paintFocusRingOf(QPainter& painter, const QWidget* widget, double radius) {
    if (!showsFocusRing(widget) || ringDrawnOutside(widget)) return;
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setOpacity(1);
    paintFocusRingInside(painter, QRectF(widget->rect()), radius, focusRingColor(widget));
    painter.restore();
}

namespace {

struct SharedImage {
    QByteArray key;
    QImage image;
};

} // namespace

QImage sharedImage(const QByteArray& key, const std::function<QImage()>& make) {
    static std::vector<SharedImage> images;
    std::erase_if(images, [](const SharedImage& entry) { return entry.image.isDetached(); });
    for (const SharedImage& entry : images)
        if (entry.key == key) return entry.image;
    images.push_back({key, make()});
    return images.back().image;
}

} // namespace vantrel::KitPaint
