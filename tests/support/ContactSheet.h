#pragma once

#include <QImage>
#include <QPainter>
#include <QString>
#include <algorithm>
#include <utility>
#include <vector>

namespace vantrel::test {

// Renders meant for a person to look over, one under another with each one's name above it, saved
// as one picture at `path`.
inline void saveContactSheet(const std::vector<std::pair<QString, QImage>>& sheet, const QString& path) {
    int width = 0, height = 0;
    for (const auto& [name, image] : sheet) {
        width = std::max(width, image.width());
        height += image.height() + 28;
    }
    QImage page(width + 32, height + 16, QImage::Format_ARGB32_Premultiplied);
    page.fill(QColor(96, 104, 120));
    QPainter painter(&page);
    int y = 8;
    for (const auto& [name, image] : sheet) {
        painter.setPen(Qt::white);
        painter.drawText(QPointF(16, y + 16), name);
        painter.drawImage(QPoint(16, y + 22), image);
        y += image.height() + 28;
    }
    painter.end();
    page.save(path);
}

} // namespace vantrel::test
