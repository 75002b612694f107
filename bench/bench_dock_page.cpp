// The Dock page's two costs. A drag of "Tint strength" writes every value it passes through: one
// step is the write-back to the settings and the page's update after it, with a goal of a median
// under 1 ms. Turning the replacement Dock on builds its six cards at once: the goal is a median
// under 16 ms, one frame. A change to a list of 300 pinned items rebuilds the list, keeping the
// keyboard's place on a row: the goal is under 16 ms, one frame.

#include "../tests/settings/DockPageFixture.h"
#include "kit/VantrelSliderRow.h"

#include <QApplication>
#include <QSlider>
#include <benchmark/benchmark.h>

using namespace vantrel;
using namespace vantrel::test;

namespace {

void tintStrengthStep(benchmark::State& state) {
    DockPageFixture f;
    f.c.h.preferences.setCustomDockEnabled(true);
    for (int i = 0; i < 3; ++i)
        f.d.content.addWebsite(QString(), QStringLiteral("site%1.example.org").arg(i));
    DockPage& page = f.make(1200);
    VantrelSliderRow* row = f.slider(QStringLiteral("Tint strength"));
    QSlider* slider = row->slider();
    int position = slider->minimum();
    for (auto _ : state) {
        position = position >= slider->maximum() ? slider->minimum() : position + 1;
        slider->setValue(position);
        benchmark::DoNotOptimize(row->valueText());
    }
    benchmark::DoNotOptimize(page.section());
}
BENCHMARK(tintStrengthStep)->Unit(benchmark::kMicrosecond);

void buildReplacementSection(benchmark::State& state) {
    DockPageFixture f;
    for (int i = 0; i < 3; ++i)
        f.d.content.addWebsite(QString(), QStringLiteral("site%1.example.org").arg(i));
    DockPage& page = f.make(1200);
    bool on = false;
    for (auto _ : state) {
        on = !on;
        // Off builds the native section, which is not measured; on builds the replacement one.
        state.PauseTiming();
        if (on) f.settle();
        state.ResumeTiming();
        f.c.h.preferences.setCustomDockEnabled(on);
        if (!on) {
            state.PauseTiming();
            f.settle();
            state.ResumeTiming();
        }
    }
    benchmark::DoNotOptimize(page.section());
}
BENCHMARK(buildReplacementSection)->Unit(benchmark::kMillisecond);

void rebuildPinnedRows(benchmark::State& state) {
    DockPageFixture f;
    f.c.h.preferences.setCustomDockEnabled(true);
    for (int i = 0; i < 300; ++i)
        f.d.content.addWebsite(QString(), QStringLiteral("site%1.example.org").arg(i));
    DockPage& page = f.make(1200);
    f.settle();
    // The keys on a row's first control, as after a click on it.
    QWidget* row = f.named<QWidget>(QStringLiteral("pinnedRow"));
    if (QWidget* control = row ? row->nextInFocusChain() : nullptr) control->setFocus(Qt::TabFocusReason);
    for (auto _ : state) {
        // The list's own rebuild over its 300 items, without a change of the store's to save.
        Q_EMIT f.d.content.itemsChanged();
        // The rest of the turn: the rows that went deleted, the new ones shown and laid out.
        QCoreApplication::sendPostedEvents();
    }
    state.counters["rows"] = double(f.d.content.items().size());
    benchmark::DoNotOptimize(page.section());
}
BENCHMARK(rebuildPinnedRows)->Unit(benchmark::kMillisecond);

// A website added to 299 pinned items, then removed again: the store's change and save, the list
// rebuilt with the one row made or gone, and the rest of the turn.
void addOrRemoveOnePinnedItem(benchmark::State& state) {
    DockPageFixture f;
    f.c.h.preferences.setCustomDockEnabled(true);
    for (int i = 0; i < 299; ++i)
        f.d.content.addWebsite(QString(), QStringLiteral("site%1.example.org").arg(i));
    DockPage& page = f.make(1200);
    f.settle();
    QWidget* row = f.named<QWidget>(QStringLiteral("pinnedRow"));
    if (QWidget* control = row ? row->nextInFocusChain() : nullptr) control->setFocus(Qt::TabFocusReason);
    bool add = true;
    for (auto _ : state) {
        if (add)
            f.d.content.addWebsite(QString(), QStringLiteral("extra.example.org"));
        else
            f.d.content.remove(f.d.content.items().back());
        add = !add;
        QCoreApplication::sendPostedEvents();
    }
    benchmark::DoNotOptimize(page.section());
}
BENCHMARK(addOrRemoveOnePinnedItem)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
