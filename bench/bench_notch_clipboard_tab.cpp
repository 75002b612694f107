// Painting the notch's clipboard tab over the fullest history the store keeps: 120 entries of
// 100,000 characters each, several lines apiece.

#include "BenchSupport.h"
#include "core/LocalPersistence.h"
#include "modules/ClipboardStore.h"
#include "notch/NotchClipboardView.h"
#include "platform/MenuPresenter.h"
#include "platform/Pasteboard.h"
#include "platform/SystemLog.h"
#include "platform/WorkQueue.h"
#include "platform/linux/PosixFileManager.h"

#include <QApplication>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QScrollArea>
#include <QScrollBar>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

using namespace vantrel;

namespace {

class QuietPasteboard final : public Pasteboard {
public:
    std::int64_t changeCount() const override { return 1; }
    QStringList types() const override { return {}; }
    std::optional<QString> string() const override { return std::nullopt; }
    void writeString(const QString&) override {}
};

// Nothing is written while painting is measured.
class DiscardingQueue final : public WorkQueue {
public:
    void async(std::function<void()>) override {}
    void sync(std::function<void()>) override {}
};

class NoMenus final : public MenuPresenter {
public:
    void present(const Request&, std::function<void(int)>) override {}
};

QString longEntry(int index) {
    QString text = QStringLiteral("Entry %1\n").arg(index);
    const QString line = QStringLiteral("the quick brown fox jumps over the lazy dog, again and again\n");
    while (text.size() < ClipboardStore::kMaximumCharacters) text.append(line);
    text.truncate(ClipboardStore::kMaximumCharacters);
    return text;
}

struct FullHistory : bench::TemporaryPersistence {
    QuietPasteboard pasteboard;
    NoMenus menus;
    std::unique_ptr<ClipboardStore> store;

    FullHistory() {
        QJsonArray seeded;
        for (int i = 0; i < ClipboardStore::kLimit; ++i)
            seeded.append(
                ClipboardEntry{QUuid::createUuid(), longEntry(i), clock.now(), i % 9 == 0}.toJson());
        files.createDirectory(persistence.directory());
        files.writeData(QJsonDocument(seeded).toJson(QJsonDocument::Compact),
                        persistence.store().url(ClipboardStore::fileName()));
        store = std::make_unique<ClipboardStore>(pasteboard, persistence, clock, scheduler,
                                                 std::make_unique<DiscardingQueue>(), [] {});
    }
};

// One full paint of the tab at the size the tall tier gives it on a medium notch.
void paintTab(benchmark::State& state, bool scrolled) {
    FullHistory history;
    if (history.store->entries().size() != ClipboardStore::kLimit) {
        state.SkipWithError("the history did not load");
        return;
    }
    NotchClipboardView view(*history.store, QColor(0x8e, 0x8e, 0x93), history.menus);
    view.resize(792, 357);
    view.show();
    QApplication::processEvents();
    if (scrolled) view.row(60);
    QImage image(view.size(), QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        image.fill(Qt::black);
        view.render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
        benchmark::DoNotOptimize(image.constBits());
    }
    state.counters["rows built"] = view.builtRowCount();
}

void BM_PaintClipboardTab(benchmark::State& state) {
    paintTab(state, false);
}
void BM_PaintClipboardTabScrolled(benchmark::State& state) {
    paintTab(state, true);
}

BENCHMARK(BM_PaintClipboardTab)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PaintClipboardTabScrolled)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM",
            qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QApplication app(argc, argv);
    return bench::runBenchmarks(argc, argv);
}
