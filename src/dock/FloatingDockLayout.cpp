#include "dock/FloatingDockLayout.h"

#include <algorithm>

namespace vantrel {

namespace {
constexpr double kRowInset = 16;
constexpr double kMargin = 7;
constexpr double kSeparatorWidth = 13;
} // namespace

FloatingDockLayout FloatingDockLayout::make(const Input& input) {
    const double s = std::max(0.0, input.iconSize);
    const double tileHeight = s + 12;
    std::vector<std::pair<Slot, double>> row;
    for (const Slot slot : input.pinned)
        row.emplace_back(slot, slot == Slot::separator ? kSeparatorWidth : s + 5);
    const bool hasPinned = !input.pinned.empty();
    const int running = std::max(0, input.running);
    if (hasPinned && running > 0) row.emplace_back(Slot::divider, 1);
    for (int i = 0; i < running; ++i) row.emplace_back(Slot::running, s + 5);
    if (hasPinned || running > 0) row.emplace_back(Slot::divider, 1);
    row.emplace_back(Slot::shelf, s + 5);
    if (input.showTrash) row.emplace_back(Slot::trash, s + 5);

    double rowWidth = 0;
    for (const auto& [slot, width] : row) rowWidth += width;
    rowWidth += input.spacing * double(row.size() - 1);

    FloatingDockLayout layout;
    const double surfaceX = input.horizontalClearance + kMargin;
    const double surfaceY = input.labelClearance + kMargin;
    layout.surface =
        QRectF(surfaceX, surfaceY, rowWidth + 2 * kRowInset, tileHeight + 2 * input.verticalPadding);
    double x = surfaceX + kRowInset;
    const double rowTop = surfaceY + input.verticalPadding;
    for (const auto& [slot, width] : row) {
        // A divider is as high as an icon, centred on the row.
        const double height = slot == Slot::divider ? s : tileHeight;
        layout.cells.push_back({slot, QRectF(x, rowTop + (tileHeight - height) / 2, width, height)});
        x += width + input.spacing;
    }
    layout.size = QSizeF(layout.surface.width() + 2 * kMargin + 2 * input.horizontalClearance,
                         input.labelClearance + layout.surface.height() + 2 * kMargin);
    return layout;
}

QSizeF FloatingDockLayout::reduceContentSize(QSizeF earlier, QSizeF later) {
    return later.width() == 0 && later.height() == 0 ? earlier : later;
}

} // namespace vantrel
