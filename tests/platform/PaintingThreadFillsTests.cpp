#include "platform/linux/PaintingThreadFills.h"

#include <QImage>
#include <QPainter>
#include <QSemaphore>
#include <QThreadPool>
#include <atomic>
#include <gtest/gtest.h>

using namespace vantrel;

namespace {

// With the pool's only thread held busy, a page-sized fill, a smooth scale and a conversion still
// finish on the painting thread: none of them waits for the pool.
TEST(PaintingThreadFills, LargeFillsScalesAndConversionsNeverWaitForThePool) {
    keepFillsOnThePaintingThread();
    QThreadPool* global = QThreadPool::globalInstance();
    const int oldMax = global->maxThreadCount();
    global->setMaxThreadCount(1);
    QSemaphore painted;
    std::atomic<bool> releasedByThePainter{false};
    global->start([&painted, &releasedByThePainter] {
        // Handed the fills' bands, the painter would wait on this thread until it gives up here.
        releasedByThePainter = painted.tryAcquire(1, 10'000);
    });

    QImage page(1300, 900, QImage::Format_ARGB32_Premultiplied);
    page.fill(Qt::transparent);
    {
        QPainter painter(&page);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setBrush(QColor(30, 120, 220, 200));
        painter.setPen(Qt::NoPen);
        painter.drawRoundedRect(QRectF(10, 10, 1280, 880), 24, 24);
    }
    const QImage scaled = page.scaled(650, 450, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    const QImage converted = page.convertToFormat(QImage::Format_RGB32);
    painted.release();
    global->waitForDone();
    global->setMaxThreadCount(oldMax);

    EXPECT_TRUE(releasedByThePainter) << "the painting waited for the pool's busy thread";
    EXPECT_EQ(page.pixelColor(650, 450).alpha(), 200);
    EXPECT_EQ(scaled.size(), QSize(650, 450));
    EXPECT_EQ(converted.pixelColor(650, 450).alpha(), 255);
}

} // namespace
