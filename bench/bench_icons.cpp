#include "BenchSupport.h"
#include "platform/ThreadWorkQueue.h"
#include "platform/linux/IconThemes.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>

using namespace vantrel;

namespace {

// A theme of its own holding one hostile icon within the limits: a 2048-pixel PNG of noise (5 MB), or a
// 7 MB drawing of a hundred thousand shapes.
struct HostileTheme {
    QTemporaryDir dir;
    QStringList paths = QIcon::themeSearchPaths();
    QString name = QIcon::themeName();

    explicit HostileTheme(bool drawing) {
        const QString theme = dir.path() + QStringLiteral("/hostile/");
        QDir().mkpath(theme + QStringLiteral("2048x2048/apps"));
        QDir().mkpath(theme + QStringLiteral("scalable/apps"));
        QFile index(theme + QStringLiteral("index.theme"));
        if (index.open(QIODevice::WriteOnly))
            index.write("[Icon Theme]\nName=Hostile\nDirectories=2048x2048/apps,scalable/apps\n\n"
                        "[2048x2048/apps]\nSize=2048\n\n[scalable/apps]\nSize=48\nType=Scalable\n");
        if (drawing) {
            QFile svg(theme + QStringLiteral("scalable/apps/hostile.svg"));
            if (svg.open(QIODevice::WriteOnly)) {
                svg.write("<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"48\" height=\"48\">\n");
                for (int i = 0; i < 100000; ++i)
                    svg.write(
                        QStringLiteral("<rect x=\"%1\" y=\"%2\" width=\"3\" height=\"3\" fill=\"#%3\"/>\n")
                            .arg(i % 45)
                            .arg(i / 45 % 45)
                            .arg(i * 2654435761u % 0xffffff, 6, 16, QLatin1Char('0'))
                            .toLatin1());
                svg.write("</svg>\n");
            }
        } else {
            QImage noise(2048, 2048, QImage::Format_ARGB32);
            quint32 seed = 1;
            for (int y = 0; y < noise.height(); ++y) {
                auto* line = reinterpret_cast<quint32*>(noise.scanLine(y));
                for (int x = 0; x < noise.width(); ++x)
                    line[x] = 0xff000000u | (((seed = seed * 1664525u + 1013904223u) >> 8) & 0x070707u);
            }
            noise.save(theme + QStringLiteral("2048x2048/apps/hostile.png"));
        }
        QIcon::setThemeSearchPaths({dir.path()});
        QIcon::setThemeName(QStringLiteral("hostile"));
    }
    ~HostileTheme() {
        QIcon::setThemeName(name);
        QIcon::setThemeSearchPaths(paths);
    }
};

// What the main thread spends on a tile's first look at a hostile icon: looking it up, asking
// whether it is null and drawing it at a Dock tile's size, with the themes read (and pictures
// decoded) on their queue as in the program.
void BM_HostileIconFirstDrawOnTheMainThread(benchmark::State& state) {
    const HostileTheme theme(state.range(0) == 1);
    ThreadWorkQueue reader(QStringLiteral("icon-themes"));
    IconThemes themes(&reader);
    themes.files(QStringLiteral("hostile"));
    reader.sync([] {});
    QCoreApplication::processEvents();
    for (auto _ : state) {
        const QIcon icon = themes.icon(QStringLiteral("hostile"));
        benchmark::DoNotOptimize(icon.isNull());
        benchmark::DoNotOptimize(icon.pixmap(154, 154).cacheKey());
        state.PauseTiming();
        // The next round asks afresh: nothing of this one is kept.
        reader.sync([] {});
        QCoreApplication::processEvents();
        state.ResumeTiming();
    }
    state.SetLabel(state.range(0) == 1 ? "7 MB drawing" : "2048-pixel PNG");
}

} // namespace

BENCHMARK(BM_HostileIconFirstDrawOnTheMainThread)
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    return vantrel::bench::runBenchmarks(argc, argv);
}
