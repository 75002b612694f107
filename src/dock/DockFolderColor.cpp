#include "dock/DockFolderColor.h"

namespace vantrel {

QString title(DockFolderColor color) {
    if (color == DockFolderColor::none) return QStringLiteral("Default");
    QString name = rawValue(color);
    name[0] = name[0].toUpper();
    return name;
}

std::optional<QColor> color(DockFolderColor color) {
    switch (color) {
    case DockFolderColor::none:
        return std::nullopt;
    case DockFolderColor::red:
        return QColor::fromRgbF(1.0f, 0.42f, 0.40f);
    case DockFolderColor::orange:
        return QColor::fromRgbF(1.0f, 0.63f, 0.30f);
    case DockFolderColor::yellow:
        return QColor::fromRgbF(1.0f, 0.84f, 0.35f);
    case DockFolderColor::green:
        return QColor::fromRgbF(0.36f, 0.85f, 0.50f);
    case DockFolderColor::blue:
        return QColor::fromRgbF(0.30f, 0.68f, 1.0f);
    case DockFolderColor::purple:
        return QColor::fromRgbF(0.71f, 0.50f, 1.0f);
    case DockFolderColor::pink:
        return QColor::fromRgbF(1.0f, 0.52f, 0.76f);
    case DockFolderColor::graphite:
        return QColor::fromRgbF(0.68f, 0.73f, 0.80f);
    }
    return std::nullopt;
}

} // namespace vantrel
