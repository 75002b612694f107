#include "platform/linux/BoundedIcon.h"
#include "support/TempHome.h"

#include <QImage>
#include <gtest/gtest.h>

using namespace vantrel;
using namespace vantrel::test;

TEST(BoundedIcon, ABitmapWiderOrTallerThan2048PixelsIsNoIcon) {
    TempHome home;
    const auto picture = [&](int width, int height) {
        const QString path = home.root() + QStringLiteral("/%1x%2.png").arg(width).arg(height);
        QImage image(width, height, QImage::Format_ARGB32);
        image.fill(Qt::red);
        EXPECT_TRUE(image.save(path, "PNG"));
        return path;
    };
    EXPECT_FALSE(boundedIcon({picture(2048, 4)}).isNull());
    EXPECT_FALSE(boundedIcon({picture(4, 2048)}).isNull());
    EXPECT_TRUE(boundedIcon({picture(2049, 4)}).isNull());
    EXPECT_TRUE(boundedIcon({picture(4, 2049)}).isNull());
}
