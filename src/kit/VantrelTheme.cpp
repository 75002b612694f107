#include "kit/VantrelTheme.h"

#include "kit/KitControlStyle.h"
#include "kit/KitPaint.h"
#include "kit/VantrelType.h"

#include <QApplication>
#include <QCoreApplication>
#include <QMenu>
#include <QMenuBar>
#include <QVariant>
#include <QWidget>
#include <algorithm>

namespace vantrel {

namespace {

// The window property that carries the appearance down the widget tree.
constexpr char kSchemeProperty[] = "vantrelColorScheme";

QColor rgb(double red, double green, double blue) {
    return QColor::fromRgbF(float(red), float(green), float(blue), 1.0f);
}

} // namespace

QColor AdaptiveColor::resolve(const QWidget* widget) const {
    return resolve(VantrelTheme::colorScheme(widget));
}

namespace VantrelTheme {

// Built on first use by the thread-safe initialisation of function statics, then shared.
#define VANTREL_THEME_COLOR_DEF_(name, darkValue, lightValue)                                                \
    const AdaptiveColor& name() {                                                                            \
        static const AdaptiveColor color{darkValue, lightValue};                                             \
        return color;                                                                                        \
    }
VANTREL_THEME_COLORS(VANTREL_THEME_COLOR_DEF_)
#undef VANTREL_THEME_COLOR_DEF_

QColor blueLight() {
    return rgb(0.37, 0.58, 0.88);
}

QColor caution() {
    return rgb(0.95, 0.68, 0.3);
}

QColor accent(Accent accent) {
    switch (accent) {
    case Accent::sky:
        return rgb(0.18, 0.67, 1.0);
    case Accent::violet:
        return rgb(0.67, 0.43, 1.0);
    case Accent::mint:
        return rgb(0.17, 0.9, 0.72);
    case Accent::coral:
        return rgb(1.0, 0.4, 0.45);
    case Accent::graphite:
        return rgb(0.64, 0.72, 0.84);
    case Accent::amber:
        return rgb(1.0, 0.75, 0.28);
    case Accent::rose:
        return rgb(1.0, 0.48, 0.72);
    case Accent::teal:
        return rgb(0.22, 0.78, 0.85);
    case Accent::emerald:
        return rgb(0.3, 0.85, 0.46);
    case Accent::indigo:
        return rgb(0.46, 0.52, 1.0);
    case Accent::crimson:
        return rgb(1.0, 0.36, 0.36);
    case Accent::sand:
        return rgb(0.88, 0.79, 0.62);
    }
    return rgb(0.64, 0.72, 0.84);
}

QColor dockTint(DockTint tint, Accent accentCase) {
    switch (tint) {
    case DockTint::graphite:
        return rgb(0.055, 0.065, 0.085);
    case DockTint::ink:
        return rgb(0.02, 0.02, 0.03);
    case DockTint::slate:
        return rgb(0.1, 0.13, 0.17);
    case DockTint::accent:
        return withOpacity(accent(accentCase), 0.55);
    case DockTint::warm:
        return rgb(0.12, 0.09, 0.07);
    }
    return rgb(0.055, 0.065, 0.085);
}

QColor primary(ColorScheme scheme) {
    return scheme == ColorScheme::dark ? QColor(Qt::white) : QColor(Qt::black);
}

QColor white(double opacity) {
    return QColor::fromRgbF(1.0f, 1.0f, 1.0f, float(std::clamp(opacity, 0.0, 1.0)));
}

QColor black(double opacity) {
    return QColor::fromRgbF(0.0f, 0.0f, 0.0f, float(std::clamp(opacity, 0.0, 1.0)));
}

QColor withOpacity(QColor color, double opacity) {
    const double factor = std::clamp(opacity, 0.0, 1.0);
    color.setAlphaF(float(color.alphaF() * factor));
    return color;
}

ColorScheme colorScheme(const QWidget* widget) {
    for (const QWidget* w = widget; w; w = w->parentWidget()) {
        // Asked on every paint, up the whole parent chain: property() first searches the class's
        // declared properties by name, which costs far more than the few dynamic ones widgets carry.
        if (!w->dynamicPropertyNames().contains(kSchemeProperty)) continue;
        const QVariant value = w->property(kSchemeProperty);
        if (value.isValid()) return fromRawValue<ColorScheme>(value.toString()).value_or(ColorScheme::light);
    }
    return ColorScheme::light;
}

void setColorScheme(QWidget* widget, ColorScheme scheme) {
    if (!widget) return;
    widget->setProperty(kSchemeProperty, rawValue(scheme));
    QEvent event(colorSchemeChangeEvent());
    QCoreApplication::sendEvent(widget, &event);
    for (QWidget* child : widget->findChildren<QWidget*>()) QCoreApplication::sendEvent(child, &event);
    // Painting a widget's region repaints the children inside it.
    widget->update();
}

QEvent::Type colorSchemeChangeEvent() {
    static const auto type = QEvent::Type(QEvent::registerEventType());
    return type;
}

} // namespace VantrelTheme

QPalette VantrelTheme::menuPalette(ColorScheme scheme, QColor accent) {
    const QColor background = surface().resolve(scheme);
    const QColor text = primary(scheme);
    // The translucent tones laid over the surface, as they show on it.
    const auto over = [&background](QColor tone) {
        const double a = tone.alphaF();
        return QColor::fromRgbF(float(tone.redF() * a + background.redF() * (1 - a)),
                                float(tone.greenF() * a + background.greenF() * (1 - a)),
                                float(tone.blueF() * a + background.blueF() * (1 - a)));
    };
    const QColor disabled = over(tertiaryText().resolve(scheme));
    const QColor line = over(border().resolve(scheme));
    QPalette palette;
    for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        const QColor ink = group == QPalette::Disabled ? disabled : text;
        for (QPalette::ColorRole role : {QPalette::Window, QPalette::Base, QPalette::Button,
                                         QPalette::AlternateBase, QPalette::ToolTipBase})
            palette.setColor(group, role, background);
        for (QPalette::ColorRole role :
             {QPalette::WindowText, QPalette::Text, QPalette::ButtonText, QPalette::ToolTipText})
            palette.setColor(group, role, ink);
        for (QPalette::ColorRole role : {QPalette::Mid, QPalette::Dark, QPalette::Midlight, QPalette::Shadow})
            palette.setColor(group, role, line);
        palette.setColor(group, QPalette::Light, over(keyline().resolve(scheme)));
        palette.setColor(group, QPalette::Highlight, KitPaint::selectionColor(accent));
        palette.setColor(group, QPalette::Link, accent);
        palette.setColor(group, QPalette::HighlightedText, Qt::white);
    }
    return palette;
}

QFont VantrelTheme::menuFont() {
    return VantrelType::font(13, QFont::Normal);
}

namespace {

// Gives each menu bar and menu its look as it is made ready to show.
class MenuLook final : public QObject {
public:
    QPalette palette;
    QFont font;

    void give(QWidget& widget) const {
        // The platform's check boxes in a menu are lost on a dark surface: the kit draws them.
        if (qobject_cast<QMenu*>(&widget) && widget.style() != KitControlStyle::shared())
            widget.setStyle(KitControlStyle::shared());
        if (widget.palette() != palette) widget.setPalette(palette);
        if (widget.font() != font) widget.setFont(font);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Polish &&
            (qobject_cast<QMenu*>(watched) || qobject_cast<QMenuBar*>(watched)))
            give(*static_cast<QWidget*>(watched));
        return false;
    }
};

} // namespace

void VantrelTheme::applyToMenus(ColorScheme scheme, QColor accent) {
    static MenuLook* look = [] {
        auto* filter = new MenuLook;
        if (QCoreApplication::instance()) {
            filter->setParent(QCoreApplication::instance());
            QCoreApplication::instance()->installEventFilter(filter);
        }
        return filter;
    }();
    look->palette = menuPalette(scheme, accent);
    look->font = menuFont();
    // Menus made earlier take the new look at once; later ones as they are made ready.
    for (QWidget* widget : QApplication::allWidgets())
        if (qobject_cast<QMenu*>(widget) || qobject_cast<QMenuBar*>(widget)) look->give(*widget);
}

} // namespace vantrel
