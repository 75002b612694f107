#include "kit/VantrelScrollIndicator.h"

#include <QApplication>
#include <QEnterEvent>
#include <QImage>
#include <QScrollArea>
#include <QScrollBar>
#include <cstdlib>
#include <gtest/gtest.h>

using namespace vantrel;

namespace {

// Whether anything is drawn in the trailing 6 points of a grey view, where the handle lies.
bool handleDrawn(QScrollArea& area) {
    QImage image(area.size(), QImage::Format_ARGB32_Premultiplied);
    area.render(&image);
    for (int y = 0; y < image.height(); ++y)
        for (int x = image.width() - 6; x < image.width(); ++x)
            if (std::abs(qGray(image.pixel(x, y)) - 128) > 10) return true;
    return false;
}

void pointer(QWidget* viewport, bool enters) {
    if (enters) {
        QEnterEvent enter(QPointF(10, 10), QPointF(10, 10), QPointF(10, 10));
        QApplication::sendEvent(viewport, &enter);
    } else {
        QEvent leave(QEvent::Leave);
        QApplication::sendEvent(viewport, &leave);
    }
}

} // namespace

// Laid over the text's trailing edge, the handle shows while the list scrolls or the pointer
// rests on it, and fades out after; never where there is nothing to scroll.
TEST(VantrelScrollIndicator, ShowsWhileScrollingOrHoveredAndFadesOutAfter) {
    QScrollArea area;
    area.setFrameShape(QFrame::NoFrame);
    area.setStyleSheet(QStringLiteral("background: rgb(128, 128, 128)"));
    auto* content = new QWidget;
    content->setFixedSize(200, 400);
    area.setWidget(content);
    area.resize(200, 74);
    VantrelScrollIndicator* indicator = VantrelScrollIndicator::install(&area);
    area.show();
    QVariantAnimation* fade = indicator->fadeAnimation();

    EXPECT_FALSE(handleDrawn(area)) << "a list that can scroll but has not shows no handle";

    area.verticalScrollBar()->setValue(60);
    EXPECT_TRUE(handleDrawn(area)) << "scrolling shows the handle";
    fade->setCurrentTime(fade->duration() / 2);
    EXPECT_TRUE(handleDrawn(area)) << "it stays a moment after the scroll";
    fade->setCurrentTime(fade->duration());
    EXPECT_FALSE(handleDrawn(area)) << "and then fades out";

    pointer(area.viewport(), true);
    EXPECT_TRUE(handleDrawn(area)) << "the pointer over the list shows it";
    EXPECT_NE(fade->state(), QAbstractAnimation::Running) << "and keeps it while it rests there";
    area.verticalScrollBar()->setValue(120);
    EXPECT_NE(fade->state(), QAbstractAnimation::Running);
    pointer(area.viewport(), false);
    ASSERT_EQ(fade->state(), QAbstractAnimation::Running) << "leaving fades it out";
    fade->setCurrentTime(fade->duration());
    EXPECT_FALSE(handleDrawn(area));

    content->setFixedSize(200, 50);
    pointer(area.viewport(), true);
    area.verticalScrollBar()->setValue(0);
    EXPECT_FALSE(handleDrawn(area)) << "nothing to scroll, no handle";
}
