#pragma once

#include <QRectF>
#include <QSizeF>
#include <vector>

namespace vantrel {

// The geometry of the Dock's row, from the settings and what the row holds: the clear band above
// for the name bubbles, the surface with its insets and margins, and the tiles and dividers in
// row order.
struct FloatingDockLayout {
    enum class Slot { pinned, separator, divider, running, shelf, trash };

    struct Input {
        double iconSize = 44;
        double spacing = 8;
        double verticalPadding = 11;
        // What the row holds: one entry per pinned item (`separator` for a separator, `pinned`
        // otherwise), then the count of visible running applications and whether the Trash shows.
        std::vector<Slot> pinned;
        int running = 0;
        bool showTrash = true;
        double labelClearance = 28;
        double horizontalClearance = 50;
    };

    struct Cell {
        Slot slot;
        QRectF rect;
    };

    // Tiles and dividers in row order, in the content's coordinates (origin at its top left).
    std::vector<Cell> cells;
    // The rounded surface, behind the row.
    QRectF surface;
    // The whole content: band, surface with its margins.
    QSizeF size;

    static FloatingDockLayout make(const Input& input);
    // A measured size as the view publishes it: a later size replaces an earlier one unless it
    // is exactly zero by zero.
    static QSizeF reduceContentSize(QSizeF earlier, QSizeF later);
};

} // namespace vantrel
