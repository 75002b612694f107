#pragma once

#include "kit/VantrelPanel.h"
#include "notch/NotchPanelController.h"
#include "notch/NotchSurfaceView.h"
#include "notch/NotchTestSupport.h"

#include <QApplication>
#include <QEnterEvent>
#include <QPropertyAnimation>
#include <QVariantAnimation>
#include <gtest/gtest.h>

namespace vantrel::test {

// The notch on a 1512 by 982 display with a 185 by 32 notch, its panel shown: the
// surface under test is the one the panel hosts.
class NotchSurfaceTest : public ::testing::Test {
protected:
    NotchHarness h;
    ModuleStores& stores = h.stores;
    NotchPanelController& controller = h.controller;

    void SetUp() override { controller.show(); }

    NotchSurfaceView& view() const {
        return *qobject_cast<NotchSurfaceView*>(controller.panel()->contentView());
    }

    // Opens the panel and lets the opening and any re-framing run to their ends.
    void expand(std::optional<NotchTab> tab = std::nullopt) {
        controller.expand(tab, false);
        settle();
    }
    void settle() {
        if (QVariantAnimation* mask = controller.presentationAnimation())
            mask->setCurrentTime(mask->totalDuration());
        if (QPropertyAnimation* frame = controller.frameAnimation())
            frame->setCurrentTime(frame->totalDuration());
        h.scheduler.advance(Seconds(1));
    }

    void enter() {
        QEnterEvent event(QPointF(10, 10), QPointF(10, 10), QPointF(10, 10));
        QApplication::sendEvent(&view(), &event);
    }
    void leave() {
        QEvent event(QEvent::Leave);
        QApplication::sendEvent(&view(), &event);
    }
};

} // namespace vantrel::test
