#include "notch/NotchTabGlyph.h"

#include "kit/GlyphCatalogue.h"
#include "kit/VantrelConcentricGeometry.h"
#include "notch/NotchSurfaceLayout.h"

#include <QPainter>

namespace vantrel {

void NotchTabGlyph::paint(QPainter& painter, QPointF origin) const {
    const NotchSurfaceLayout::TabGlyphGeometry geometry = NotchSurfaceLayout::tabGlyph(tab, buttonSize);
    if (isSelected) {
        painter.fillPath(ContinuousRoundedRectangle{geometry.plateRadius}.path(
                             QRectF(origin, QSizeF(buttonSize, buttonSize))),
                         selectionFill);
    }
    GlyphCatalogue::paint(painter, symbol(tab), geometry.symbolBox.translated(origin), foreground,
                          QFont::Medium);
}

} // namespace vantrel
