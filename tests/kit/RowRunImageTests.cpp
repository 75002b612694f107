#include "KitRender.h"
#include "kit/RowRunImage.h"

#include <QLinearGradient>
#include <QPainter>
#include <QRadialGradient>
#include <gtest/gtest.h>

using namespace vantrel;

TEST(RowRunImage, DrawsAnyPartOfThePictureAsPaintedAtOnceAtEitherScale) {
    const auto picture = [](QPainter& p) {
        QLinearGradient fade(0, 0, 0, 150);
        fade.setColorAt(0, QColor(20, 40, 90));
        fade.setColorAt(1, QColor(200, 10, 30, 128));
        p.fillRect(QRectF(0, 0, 211, 150), fade);
        QRadialGradient glow(QPointF(211, 0), 120);
        glow.setColorAt(0, QColor(40, 120, 255, 60));
        glow.setColorAt(1, QColor(40, 120, 255, 0));
        p.fillRect(QRectF(0, 0, 211, 120), glow);
        p.fillRect(QRectF(50.5, 20.25, 31, 17), QColor(0, 255, 0, 90));
        p.fillRect(QRectF(30, 0, 60, 1), Qt::white);
    };
    for (const qreal ratio : {1.0, 2.0}) {
        SCOPED_TRACE(testing::Message() << "ratio " << ratio);
        const QSize device = QSize(211, 150) * ratio;
        QImage whole(device, QImage::Format_ARGB32_Premultiplied);
        whole.setDevicePixelRatio(ratio);
        whole.fill(Qt::transparent);
        {
            QPainter p(&whole);
            picture(p);
        }
        const RowRunImage runs = RowRunImage::render(device, ratio, picture);
        EXPECT_EQ(runs.size(), device);
        EXPECT_LT(runs.sizeInBytes(), device.width() * device.height() * 4 / 2);
        // Parts that start and end inside a run and a band, one row, the whole and beyond it.
        for (const QRect part : {QRect(0, 0, device.width(), device.height()), QRect(7, 3, 101, 37),
                                 QRect(device.width() - 9, device.height() - 21, 30, 30), QRect(40, 17, 1, 1),
                                 QRect(-5, 16, device.width() + 10, 1)}) {
            QImage drawn(device, QImage::Format_ARGB32_Premultiplied);
            drawn.setDevicePixelRatio(ratio);
            drawn.fill(Qt::transparent);
            {
                QPainter p(&drawn);
                runs.draw(p, part);
            }
            QImage piece = whole.copy(part);
            piece.setDevicePixelRatio(1);
            QImage expected(device, QImage::Format_ARGB32_Premultiplied);
            expected.fill(Qt::transparent);
            QPainter(&expected).drawImage(part.topLeft(), piece);
            // Qt rounds a gradient a level apart here and there when it is painted a band at a time.
            EXPECT_LE(test::largestChannelDifference(drawn, expected), 1)
                << part.x() << "," << part.y() << " " << part.width() << "x" << part.height();
        }
    }
}
