#include "dock/DockPlaceholderView.h"
#include "support/ContactSheet.h"

#include <QDir>
#include <QPainter>
#include <gtest/gtest.h>

using namespace vantrel;
using namespace vantrel::test;

namespace {
QImage render(QWidget& view) {
    QImage image(view.size(), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    view.render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
    return image;
}
} // namespace

TEST(DockPlaceholderView, ARoundedSlabWithAsManyEmptyTilePlacesAsTheEstimateCounts) {
    DockPlaceholderView view;
    std::vector<std::pair<QString, QImage>> sheet;
    // The estimated widths for two, three and eight tiles of 44 points: 49 n + 8 (n - 1) + 18 + 46.
    for (const int tiles : {2, 3, 8}) {
        view.resize(49 * tiles + 8 * (tiles - 1) + 18 + 46, 81);
        EXPECT_EQ(view.placeCount(), tiles);
        const QImage image = render(view);
        sheet.emplace_back(QStringLiteral("%1 places").arg(tiles), image);
        // The corners are cut round; the slab is translucent; a tile place is lighter than it.
        EXPECT_EQ(qAlpha(image.pixel(1, 1)), 0);
        EXPECT_GT(qAlpha(image.pixel(view.width() / 2, 0)), 0) << "the slab reaches the top edge";
        const QColor slab = image.pixelColor(view.width() / 2, 6);
        EXPECT_NEAR(slab.alphaF(), 0.82, 0.02);
        const int firstTileX = (view.width() - (tiles * 44 + (tiles - 1) * 13)) / 2 + 22;
        EXPECT_GT(image.pixelColor(firstTileX, 40).lightness(), slab.lightness());
    }
    // A point short of three places of 44 (the panel 37 taller than a tile) leaves two.
    view.resize(49 * 3 + 8 * 2 + 18 + 46 - 1, 81);
    EXPECT_EQ(view.placeCount(), 2);
    view.resize(60, 20);
    EXPECT_EQ(view.placeCount(), 0) << "too low for a tile";
    QDir().mkpath(VANTREL_BINARY_DIR "/renders");
    saveContactSheet(sheet, VANTREL_BINARY_DIR "/renders/dock-placeholder.png");
}
