#include "platform/linux/PaintingThreadFills.h"

#include <QImage>
#include <QPainter>
#include <QSemaphore>
#include <QThread>
#include <QThreadPool>
#include <atomic>
#include <gtest/gtest.h>

using namespace vantrel;

namespace {

// With the pool's only thread held busy, a page-sized fill, a smooth scale and a conversion still
// finish on the painting thread: none of them waits for the pool.
TEST(PaintingThreadFills, LargeFillsScalesAndConversionsNeverWaitForThePool) {
    if (!keepFillsOnThePaintingThread()) GTEST_SKIP() << "this build leaves large fills to Qt's pool";
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

// Only the painting thread's question to the global pool is answered for Qt; any other pool, or
// a question about another thread, gets the truth.
TEST(PaintingThreadFills, OtherPoolsAndThreadsGetQtsOwnAnswer) {
    if (!keepFillsOnThePaintingThread()) GTEST_SKIP() << "this build leaves large fills to Qt's pool";
    EXPECT_TRUE(QThreadPool::globalInstance()->contains(QThread::currentThread()));
    QThreadPool other;
    EXPECT_FALSE(other.contains(QThread::currentThread()));
    std::atomic<bool> ownThread{false};
    QThread* worker = nullptr;
    QSemaphore started, answered;
    other.start([&] {
        worker = QThread::currentThread();
        ownThread = other.contains(worker);
        started.release();
        // The pool deletes its threads once it is done; this one waits to be asked about.
        answered.acquire();
    });
    started.acquire();
    EXPECT_TRUE(ownThread);
    EXPECT_FALSE(QThreadPool::globalInstance()->contains(worker));
    answered.release();
    other.waitForDone();
}

} // namespace
