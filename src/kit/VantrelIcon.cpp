#include "kit/VantrelIcon.h"

#include "core/VantrelPreferences.h"
#include "kit/VantrelConcentricGeometry.h"
#include "kit/VantrelGlyph.h"

#include <QLinearGradient>
#include <QPainter>
#include <cmath>

namespace vantrel {

using VantrelTheme::withOpacity;

QColor IconColor::resolve(const VantrelPreferences& preferences) const {
    return color_ ? *color_ : VantrelTheme::accent(preferences.accent());
}

VantrelIcon::VantrelIcon(VantrelPreferences& preferences, QString systemName, IconColor color, double size,
                         QWidget* parent)
    : QWidget(parent), preferences_(preferences), systemName_(std::move(systemName)), color_(color),
      size_(size) {
    setFixedSize(int(std::ceil(size)), int(std::ceil(size)));
    setAttribute(Qt::WA_TransparentForMouseEvents);
    connect(&preferences_, &VantrelPreferences::changed, this, [this](VantrelPreferences::Setting setting) {
        if (setting == VantrelPreferences::Setting::customIconTintEnabled ||
            setting == VantrelPreferences::Setting::iconTint ||
            (setting == VantrelPreferences::Setting::accent && color_.followsAccent()))
            update();
    });
}

QColor VantrelIcon::iconColor(const VantrelPreferences& preferences, const QColor& own) {
    if (!preferences.customIconTintEnabled()) return own;
    const BackgroundTint tint = preferences.iconTint();
    return QColor::fromRgbF(float(tint.red), float(tint.green), float(tint.blue), 1.0f);
}

void VantrelIcon::paint(QPainter& painter, const QRectF& rect, QStringView systemName,
                        const QColor& iconColor, ColorScheme scheme) {
    const double size = std::min(rect.width(), rect.height());
    const QPainterPath shape = VantrelConcentricGeometry::nestedRectangle(cornerRadius(size)).path(rect);
    const QColor highlight = VantrelTheme::surfaceHighlight().resolve(scheme);
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);

    QLinearGradient tile(rect.topLeft(), rect.bottomRight());
    tile.setColorAt(0, withOpacity(highlight, 0.085));
    tile.setColorAt(0.5, withOpacity(iconColor, 0.105));
    tile.setColorAt(1, VantrelTheme::recessed().resolve(scheme));
    painter.fillPath(shape, tile);

    QLinearGradient sheen(QPointF(rect.center().x(), rect.top()), rect.center());
    sheen.setColorAt(0, withOpacity(highlight, 0.11));
    sheen.setColorAt(1, withOpacity(highlight, 0));
    painter.fillPath(shape, sheen);

    VantrelGlyph::paint(painter, rect, systemName, iconColor, 0.4 * size, QFont::DemiBold);

    QLinearGradient edge(rect.topLeft(), rect.bottomRight());
    edge.setColorAt(0, VantrelTheme::keyline().resolve(scheme));
    edge.setColorAt(0.5, withOpacity(iconColor, 0.24));
    edge.setColorAt(1, withOpacity(VantrelTheme::border().resolve(scheme), 0.45));
    painter.strokePath(shape, QPen(QBrush(edge), 0.75));
    painter.restore();
}

void VantrelIcon::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    paint(painter, QRectF(0, 0, size_, size_), systemName_, iconColor(), VantrelTheme::colorScheme(this));
}

} // namespace vantrel
