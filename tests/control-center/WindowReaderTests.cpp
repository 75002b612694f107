#include "control-center/WindowReader.h"
#include "support/ManualScheduler.h"

#include <gtest/gtest.h>
#include <memory>

using namespace vantrel;
using namespace vantrel::test;

TEST(WindowReader, ReportsEachDistinctWindowOnceOneTurnLater) {
    ManualClock clock;
    ManualScheduler scheduler(clock);
    std::vector<QWidget*> reported;
    auto first = std::make_unique<QWidget>();
    QWidget content(first.get());
    auto* reader = new WindowReader(
        scheduler, [&](QWidget& window) { reported.push_back(&window); }, &content);

    first->show();
    reader->updateWindow();
    EXPECT_TRUE(reported.empty()) << "nothing before the turn";
    scheduler.runDue();
    EXPECT_EQ(reported, std::vector<QWidget*>{first.get()});

    // Updates in the same window, shown again or not, report nothing more.
    reader->updateWindow();
    first->hide();
    first->show();
    scheduler.runDue();
    EXPECT_EQ(reported.size(), 1u);
    EXPECT_EQ(reader->configuredWindow(), first.get());

    // The content moves into a new window: reported once more.
    auto second = std::make_unique<QWidget>();
    content.setParent(second.get());
    second->show();
    content.show();
    scheduler.runDue();
    EXPECT_EQ(reported, (std::vector<QWidget*>{first.get(), second.get()}));

    // The last window is held weakly: once it is gone, the first window counts as new again.
    content.setParent(nullptr);
    second.reset();
    EXPECT_EQ(reader->configuredWindow(), nullptr);
    content.setParent(first.get());
    content.show();
    scheduler.runDue();
    EXPECT_EQ(reported.size(), 3u);
    EXPECT_EQ(reported.back(), first.get());
}

TEST(WindowReader, AReaderOutsideAnyWindowReportsNothing) {
    ManualClock clock;
    ManualScheduler scheduler(clock);
    int reports = 0;
    WindowReader alone(scheduler, [&](QWidget&) { ++reports; });
    alone.updateWindow();
    scheduler.runDue();
    EXPECT_EQ(reports, 0);
    EXPECT_EQ(alone.configuredWindow(), nullptr);

    // A reader that dies before its turn leaves nothing behind that could call it.
    auto window = std::make_unique<QWidget>();
    new WindowReader(
        scheduler, [&](QWidget&) { ++reports; }, window.get());
    window.reset();
    scheduler.runDue();
    EXPECT_EQ(reports, 0);
}
