#include "BenchSupport.h"
#include "platform/ThreadWorkQueue.h"
#include "platform/linux/BoundedIcon.h"
#include "platform/linux/HeapMemory.h"
#include "platform/linux/IconThemes.h"

#include "support/HostilePictures.h"
#include "support/ManualScheduler.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <QtEndian>
#include <algorithm>
#include <zlib.h>

using namespace vantrel;

namespace {

enum class Hostility { noise, drawing, texts, runsOn, dataChunks, emptyChunks };

// A 48-pixel PNG whose one data chunk holds `rows` deflated, then a gigabyte of zeros, deflated
// into about a megabyte in the same stream.
QByteArray runningOn(const QByteArray& rows) {
    z_stream stream{};
    deflateInit(&stream, 9);
    QByteArray deflated;
    const QByteArray zeros(1 << 20, '\0');
    const auto feed = [&](const QByteArray& bytes, int flush) {
        stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(bytes.constData()));
        stream.avail_in = uInt(bytes.size());
        int status = Z_OK;
        do {
            char chunk[1 << 16];
            stream.next_out = reinterpret_cast<Bytef*>(chunk);
            stream.avail_out = sizeof chunk;
            status = deflate(&stream, flush);
            deflated.append(chunk, qsizetype(sizeof chunk - stream.avail_out));
        } while (stream.avail_out == 0 || (flush == Z_FINISH && status != Z_STREAM_END));
    };
    feed(rows, Z_NO_FLUSH);
    for (int i = 0; i < 1024; ++i) feed(zeros, Z_NO_FLUSH);
    feed({}, Z_FINISH);
    deflateEnd(&stream);
    // A stored stream of nothing, whose zlib header the deflated stream replaces.
    QByteArray png = test::pngOfRows(48, 48, {}, 0);
    const qsizetype data = png.indexOf("IDAT") - 4;
    return png.left(data) + test::pngChunk("IDAT", deflated) + png.mid(png.indexOf("IEND") - 4);
}

// A 256-pixel PNG of under 8 MB whose image data is split into 655,424 data chunks (`emptyChunks`
// false: a few bytes each, then empty ones), or kept whole behind 655,360 empty ancillary chunks.
QByteArray manyChunks(bool emptyChunks) {
    const QByteArray png = test::pngOfRows(256, 256, test::rowsOf(256, QColor(30, 30, 200)));
    const qsizetype dataAt = png.indexOf("IDAT") - 4;
    const qsizetype dataLength = qFromBigEndian<quint32>(png.constData() + dataAt);
    const QByteArray data = png.mid(dataAt + 8, dataLength);
    QByteArray chunks;
    chunks.reserve(8 << 20);
    if (emptyChunks) {
        const QByteArray empty = test::pngChunk("emPt", {});
        for (int i = 0; i < 655'360; ++i) chunks += empty;
        chunks += png.mid(dataAt, 12 + dataLength);
    } else {
        constexpr int kChunks = 655'424;
        for (qsizetype at = 0; at < data.size(); at += 4) chunks += test::pngChunk("IDAT", data.mid(at, 4));
        const QByteArray empty = test::pngChunk("IDAT", {});
        for (qsizetype i = (data.size() + 3) / 4; i < kChunks; ++i) chunks += empty;
    }
    return png.left(dataAt) + chunks + png.mid(dataAt + 12 + dataLength);
}

// A theme of its own holding one hostile icon within the limits: a 2048-pixel PNG of noise (5 MB),
// a 7 MB drawing of a hundred thousand shapes, a 48- and a 256-pixel PNG of some 300 KB each
// whose 40 text chunks inflate to 7.9 MB each, or a 48-pixel PNG whose data runs on past its rows
// for a megabyte of deflated zeros (a gigabyte inflated).
struct HostileTheme {
    QTemporaryDir dir;
    QStringList paths = QIcon::themeSearchPaths();
    QString name = QIcon::themeName();

    explicit HostileTheme(Hostility hostility) {
        const QString theme = dir.path() + QStringLiteral("/hostile/");
        for (const char* folder : {"48x48/apps", "256x256/apps", "2048x2048/apps", "scalable/apps"})
            QDir().mkpath(theme + QLatin1String(folder));
        QFile index(theme + QStringLiteral("index.theme"));
        if (index.open(QIODevice::WriteOnly))
            index.write("[Icon Theme]\nName=Hostile\nDirectories=48x48/apps,256x256/apps,2048x2048/apps,"
                        "scalable/apps\n\n[48x48/apps]\nSize=48\n\n[256x256/apps]\nSize=256\n\n"
                        "[2048x2048/apps]\nSize=2048\n\n[scalable/apps]\nSize=48\nType=Scalable\n");
        const auto write = [&](const QString& path, const QByteArray& bytes) {
            QFile file(theme + path);
            if (file.open(QIODevice::WriteOnly)) file.write(bytes);
        };
        if (hostility == Hostility::dataChunks || hostility == Hostility::emptyChunks) {
            write(QStringLiteral("256x256/apps/hostile.png"),
                  manyChunks(hostility == Hostility::emptyChunks));
        } else if (hostility == Hostility::runsOn) {
            write(QStringLiteral("48x48/apps/hostile.png"), runningOn(test::rowsOf(48, QColor(30, 30, 200))));
        } else if (hostility == Hostility::drawing) {
            write(QStringLiteral("scalable/apps/hostile.svg"), test::drawingOfShapes(100000));
        } else if (hostility == Hostility::texts) {
            for (const int side : {48, 256})
                write(QStringLiteral("%1x%1/apps/hostile.png").arg(side),
                      test::pngWithTexts(side, QColor(30, 30, 200), 40, 7'900'000));
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

// The process's anonymous memory, in MiB.
double anonymousMiB() {
    QFile rollup(QStringLiteral("/proc/self/smaps_rollup"));
    if (!rollup.open(QIODevice::ReadOnly)) return 0;
    for (const QByteArray& line : rollup.readAll().split('\n'))
        if (line.startsWith("Anonymous:"))
            return line.mid(10).trimmed().split(' ').value(0).toDouble() / 1024;
    return 0;
}

const char* labelOf(Hostility hostility) {
    switch (hostility) {
    case Hostility::noise:
        return "2048-pixel PNG";
    case Hostility::drawing:
        return "7 MB drawing";
    case Hostility::texts:
        return "PNG of 40 text chunks of 7.9 MB";
    case Hostility::runsOn:
        return "48-pixel PNG running on for 1 MB of deflated zeros";
    case Hostility::dataChunks:
        return "256-pixel PNG in 655,424 data chunks";
    case Hostility::emptyChunks:
        return "256-pixel PNG behind 655,360 empty chunks";
    }
    return "";
}

// What the main thread spends on a tile's first look at a hostile icon: looking it up, asking
// whether it is null and drawing it at a Dock tile's size, with the themes read (and pictures
// decoded) on their queue as in the program. Besides, how much more anonymous memory the process
// holds once the icon is drawn and let go, and 10 s have passed, than before its first look
// (goal: under 5 MiB).
void BM_HostileIconFirstDrawOnTheMainThread(benchmark::State& state) {
    const auto hostility = Hostility(state.range(0));
    const HostileTheme theme(hostility);
    ThreadWorkQueue reader(QStringLiteral("icon-themes"));
    test::ManualClock clock;
    test::ManualScheduler scheduler(clock);
    IconThemes themes(&reader, &scheduler);
    // The queue's work done, told, and the quiet spell after it over: what it freed is given back.
    const auto settle = [&] {
        reader.sync([] {});
        QCoreApplication::processEvents();
        scheduler.advance(Seconds(10));
        reader.sync([] {});
    };
    themes.files(QStringLiteral("hostile"));
    settle();
    const double before = anonymousMiB();
    double longest = 0;
    for (auto _ : state) {
        QElapsedTimer timer;
        timer.start();
        const QIcon icon = themes.icon(QStringLiteral("hostile"));
        benchmark::DoNotOptimize(icon.isNull());
        benchmark::DoNotOptimize(icon.pixmap(154, 154).cacheKey());
        longest = std::max(longest, timer.nsecsElapsed() / 1e6);
        state.PauseTiming();
        // The next round asks afresh: nothing of this one is kept.
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        settle();
        state.ResumeTiming();
    }
    state.counters["longest_ms"] = longest;
    state.counters["anon_growth_MiB"] = anonymousMiB() - before;
    state.SetLabel(labelOf(hostility));
}

// What the main thread spends drawing an icon already read at a size not drawn yet: only a small
// PNG of few chunks kept in memory is decoded there (goal: a many-chunk PNG under 1 ms).
void BM_HostileIconNewSizeOnTheMainThread(benchmark::State& state) {
    const auto hostility = Hostility(state.range(0));
    const HostileTheme theme(hostility);
    ThreadWorkQueue reader(QStringLiteral("icon-themes"));
    IconThemes themes(&reader);
    themes.files(QStringLiteral("hostile"));
    reader.sync([] {});
    QCoreApplication::processEvents();
    const QIcon icon = themes.icon(QStringLiteral("hostile"));
    benchmark::DoNotOptimize(icon.isNull());
    reader.sync([] {});
    QCoreApplication::processEvents();
    int side = 16;
    double longest = 0;
    for (auto _ : state) {
        ++side;
        QElapsedTimer timer;
        timer.start();
        benchmark::DoNotOptimize(icon.pixmap(side, side).cacheKey());
        longest = std::max(longest, timer.nsecsElapsed() / 1e6);
        state.PauseTiming();
        reader.sync([] {});
        QCoreApplication::processEvents();
        state.ResumeTiming();
    }
    state.counters["longest_ms"] = longest;
    state.SetLabel(labelOf(hostility));
}

} // namespace

BENCHMARK(BM_HostileIconNewSizeOnTheMainThread)
    ->Arg(int(Hostility::dataChunks))
    ->Arg(int(Hostility::emptyChunks))
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5);

BENCHMARK(BM_HostileIconFirstDrawOnTheMainThread)
    ->Arg(int(Hostility::noise))
    ->Arg(int(Hostility::drawing))
    ->Arg(int(Hostility::texts))
    ->Arg(int(Hostility::runsOn))
    ->Arg(int(Hostility::dataChunks))
    ->Arg(int(Hostility::emptyChunks))
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);

int main(int argc, char** argv) {
    // As the program does.
    mapLargeBlocksApart();
    QApplication app(argc, argv);
    return vantrel::bench::runBenchmarks(argc, argv);
}
