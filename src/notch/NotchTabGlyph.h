#pragma once

#include "kit/Navigation.h"

#include <QColor>
#include <QRectF>

class QPainter;

namespace vantrel {

// One tab inside a rail button: a rounded selection plate under the tab's symbol. Decoration
// only; the button around it carries the tab's name.
struct NotchTabGlyph {
    NotchTab tab = NotchTab::home;
    QColor foreground;
    QColor selectionFill;
    bool isSelected = false;
    double buttonSize = 32;

    // Draws the glyph in the square of side `buttonSize` at `origin`.
    void paint(QPainter& painter, QPointF origin) const;
};

} // namespace vantrel
