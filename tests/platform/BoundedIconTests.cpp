#include "platform/linux/BoundedIcon.h"
#include "platform/linux/IconThemes.h"
#include "platform/linux/LinuxWorkspace.h"
#include "platform/linux/MprisMediaAutomation.h"
#include "platform/linux/X11RunningApplications.h"
#include "support/HostileFiles.h"
#include "support/HostilePictures.h"
#include "support/ManualWorkQueue.h"
#include "support/Promptly.h"
#include "support/RecordingSystemLog.h"
#include "support/TempHome.h"

#include <QBuffer>
#include <QDBusConnection>
#include <QFile>
#include <QIcon>
#include <QImage>
#include <QPixmap>
#include <chrono>
#include <fcntl.h>
#include <functional>
#include <future>
#include <gtest/gtest.h>
#include <memory>
#include <optional>
#include <thread>
#include <unistd.h>

using namespace vantrel;
using namespace vantrel::test;

namespace {

// A red disc on a transparent square, as a picture that exists only as SVG.
constexpr char kRedDisc[] =
    R"(<svg xmlns="http://www.w3.org/2000/svg" width="16" height="16" viewBox="0 0 16 16">
<circle cx="8" cy="8" r="7" fill="#ff0000"/></svg>)";

// Points Qt's icon lookup at a theme of the test's own for the life of the object.
class ScopedIconTheme {
public:
    ScopedIconTheme(const QString& searchPath, const QString& name)
        : paths_(QIcon::themeSearchPaths()), name_(QIcon::themeName()) {
        QIcon::setThemeSearchPaths({searchPath});
        QIcon::setThemeName(name);
    }
    ~ScopedIconTheme() {
        QIcon::setThemeSearchPaths(paths_);
        QIcon::setThemeName(name_);
    }

private:
    QStringList paths_;
    QString name_;
};

QString entry(TempHome& home, const QString& name, const QString& icon) {
    return home.writeFile(QStringLiteral("applications/") + name + QStringLiteral(".desktop"),
                          "[Desktop Entry]\nType=Application\nName=" + name.toUtf8() +
                              "\nExec=true\nIcon=" + icon.toUtf8() + "\n");
}

} // namespace

TEST(BoundedIcon, AnIconThatIsNoRegularFileWithinItsLimitIsNoIconAndIsNeverWaitedOn) {
    TempHome home;
    const QString icons = home.root() + QStringLiteral("/icons");
    home.writeFile(QStringLiteral("icons/fixture/index.theme"),
                   "[Icon Theme]\nName=Fixture\nDirectories=48x48/apps\n\n[48x48/apps]\nSize=48\n");
    const QString themedFifo = icons + QStringLiteral("/fixture/48x48/apps/stuck.png");
    const QString fifo = home.root() + "/fifo.png", huge = home.root() + "/huge.png",
                  folder = home.root() + "/folder.png";
    ASSERT_TRUE(makeHostile(Hostile::fifo, themedFifo, {}, 0));
    ASSERT_TRUE(makeHostile(Hostile::fifo, fifo, {}, 0));
    ASSERT_TRUE(makeHostile(Hostile::overLimit, huge, {}, 8 << 20));
    ASSERT_TRUE(makeHostile(Hostile::folder, folder, {}, 0));
    const ScopedIconTheme theme(icons, QStringLiteral("fixture"));

    for (const QString& icon : {fifo, QStringLiteral("stuck"), huge, folder}) {
        SCOPED_TRACE(icon.toStdString());
        // Kept by a reader that is left waiting.
        struct Shared {
            RecordingSystemLog log;
            LinuxWorkspace workspace{log};
        };
        auto shared = std::make_shared<Shared>();
        const QString path = entry(home, QStringLiteral("Stuck"), icon);
        EXPECT_EQ(promptly([shared, path] { return shared->workspace.iconForFile(path).isNull(); },
                           {fifo, themedFifo}),
                  std::optional<bool>(true));
    }
}

TEST(BoundedIcon, TheGenericApplicationAndAPlayersIconAreReadOnlyWithinBounds) {
    TempHome home;
    const QString icons = home.root() + QStringLiteral("/icons");
    home.writeFile(QStringLiteral("icons/hicolor/index.theme"),
                   "[Icon Theme]\nName=Hicolor\nDirectories=48x48/apps\n\n[48x48/apps]\nSize=48\n");
    const QString generic = icons + QStringLiteral("/hicolor/48x48/apps/application-x-executable.png");
    const QString player = icons + QStringLiteral("/hicolor/48x48/apps/spotify-client.png");
    for (const QString& path : {generic, player}) ASSERT_TRUE(makeHostile(Hostile::fifo, path, {}, 0));
    const ScopedIconTheme theme(icons, QStringLiteral("hicolor"));
    auto running = std::make_shared<X11RunningApplications>(QByteArray(), QStringList());
    auto media = std::make_shared<MprisMediaAutomation>(QDBusConnection::connectToBus(
        QStringLiteral("unix:path=/nonexistent/vantrel-bus"), QStringLiteral("vantrel-icon-bus")));
    const auto genericIsNull = [running] {
        return running->genericApplicationIcon().pixmap(64, 64).isNull();
    };
    const auto playerIsNull = [media] {
        return media->applicationIcon(QStringLiteral("com.spotify.client")).isNull();
    };
    EXPECT_EQ(promptly(genericIsNull, {generic, player}), std::optional<bool>(true)) << "the generic icon";
    EXPECT_EQ(promptly(playerIsNull, {generic, player}), std::optional<bool>(true)) << "the player's icon";

    // The same places holding pictures: read from there.
    for (const QString& path : {generic, player}) {
        ASSERT_TRUE(QFile::remove(path));
        QImage image(48, 48, QImage::Format_ARGB32);
        image.fill(Qt::red);
        ASSERT_TRUE(image.save(path, "PNG"));
    }
    EXPECT_EQ(running->genericApplicationIcon().pixmap(64, 64).toImage().pixelColor(32, 32), QColor(Qt::red));
    EXPECT_EQ(media->applicationIcon(QStringLiteral("com.spotify.client")).pixelColor(32, 32),
              QColor(Qt::red));
}

TEST(BoundedIcon, AnIconThatExistsOnlyAsSvgIsDrawnFromItsThemeNameOrItsPath) {
    TempHome home;
    const QString icons = home.root() + QStringLiteral("/icons");
    // The fixture theme inherits hicolor, where the application put its icon.
    home.writeFile(
        QStringLiteral("icons/fixture/index.theme"),
        "[Icon Theme]\nName=Fixture\nInherits=hicolor\nDirectories=48x48/apps\n\n[48x48/apps]\nSize=48\n");
    home.writeFile(QStringLiteral("icons/fixture/48x48/apps/.keep"), "");
    home.writeFile(
        QStringLiteral("icons/hicolor/index.theme"),
        "[Icon Theme]\nName=Hicolor\nDirectories=48x48/apps,scalable/apps\n\n[48x48/apps]\nSize=48\n\n"
        "[scalable/apps]\nSize=48\nType=Scalable\n");
    const QString svg = home.writeFile(QStringLiteral("icons/hicolor/scalable/apps/only-svg.svg"), kRedDisc);
    const ScopedIconTheme theme(icons, QStringLiteral("fixture"));
    RecordingSystemLog log;
    LinuxWorkspace workspace(log);

    for (const QString& icon : {QStringLiteral("only-svg"), svg}) {
        SCOPED_TRACE(icon.toStdString());
        const QIcon found = workspace.iconForFile(entry(home, QStringLiteral("Svg"), icon));
        ASSERT_FALSE(found.isNull());
        // Drawn sharp at the size asked, not the 16 points the file names.
        const QImage image = found.pixmap(64, 64).toImage();
        ASSERT_EQ(image.size(), QSize(64, 64));
        EXPECT_EQ(image.pixelColor(32, 32), QColor(255, 0, 0));
        EXPECT_EQ(image.pixelColor(1, 1).alpha(), 0);
        // Sharp: only the disc's outline is partly covered, not a band blurred from 16 pixels.
        int partly = 0;
        for (int y = 0; y < 64; ++y)
            for (int x = 0; x < 64; ++x) partly += qAlpha(image.pixel(x, y)) % 255 != 0;
        EXPECT_LT(partly, 400) << partly;
    }
    EXPECT_EQ(IconThemes().files(QStringLiteral("only-svg")), QStringList{svg});
}

TEST(BoundedIcon, EachSizeIsReadOnceForAllIconsOfItsFilesAndAFileWhosePixelsDoNotReadGivesWay) {
    TempHome home;
    const QString icons = home.root() + QStringLiteral("/icons");
    home.writeFile(
        QStringLiteral("icons/fixture/index.theme"),
        "[Icon Theme]\nName=Fixture\nDirectories=48x48/apps,256x256/apps\n\n[48x48/apps]\nSize=48\n\n"
        "[256x256/apps]\nSize=256\n");
    const QString small =
        home.writeFile(QStringLiteral("icons/fixture/48x48/apps/probe.png"), solidPng(48, Qt::red));
    // Its header names 256 × 256, its pixels are cut off.
    const QByteArray cutOff = solidPng(256, Qt::green);
    home.writeFile(QStringLiteral("icons/fixture/256x256/apps/probe.png"), cutOff.left(cutOff.size() / 2));
    const ScopedIconTheme theme(icons, QStringLiteral("fixture"));

    auto icon = std::make_optional(IconThemes().icon(QStringLiteral("probe")));
    ASSERT_FALSE(icon->isNull());
    // The cut-off 256 would serve 200 best; the 48 is drawn instead, scaled up.
    const QImage large = icon->pixmap(200, 200).toImage();
    ASSERT_EQ(large.size(), QSize(200, 200));
    EXPECT_EQ(large.pixelColor(100, 100), QColor(Qt::red));
    EXPECT_EQ(icon->availableSizes(), QList<QSize>{QSize(48, 48)});

    // The pixels are not kept: a size not drawn yet is read from the file as it is now, while a
    // size drawn before stays as drawn, for every icon of the same files made meanwhile.
    QFile file(small);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(solidPng(48, Qt::blue));
    file.close();
    EXPECT_EQ(icon->pixmap(32, 32).toImage().pixelColor(16, 16), QColor(Qt::blue));
    // Held on by a pixmap drawn from it, as a tile holds its own, the drawing is shared after the
    // icon is gone; once neither is left, the next icon looks at the files afresh.
    QPixmap tile = icon->pixmap(200, 200);
    icon.reset();
    EXPECT_EQ(IconThemes().icon(QStringLiteral("probe")).pixmap(200, 200).toImage().pixelColor(100, 100),
              QColor(Qt::red));
    tile = QPixmap();
    EXPECT_EQ(IconThemes().icon(QStringLiteral("probe")).pixmap(200, 200).toImage().pixelColor(100, 100),
              QColor(Qt::blue));
}

TEST(BoundedIcon, AWellNamedIconWakesOnlyItsOwnImagePluginAndAMisnamedOneIsReadByItsContent) {
    const auto mapped = [](const char* plugin) {
        QFile maps(QStringLiteral("/proc/self/maps"));
        return maps.open(QIODevice::ReadOnly) && maps.readAll().contains(plugin);
    };
    if (mapped("imageformats/libqtiff.so"))
        GTEST_SKIP() << "another test of this process woke every image plugin";
    TempHome home;
    // One red pixel, written as bytes: Qt's own image writer would itself wake every plugin.
    static const char kRedPixel[] =
        "\x89\x50\x4e\x47\x0d\x0a\x1a\x0a\x00\x00\x00\x0d\x49\x48\x44\x52\x00\x00\x00\x01"
        "\x00\x00\x00\x01\x08\x06\x00\x00\x00\x1f\x15\xc4\x89\x00\x00\x00\x0d\x49\x44\x41"
        "\x54\x78\x9c\x63\xf8\xcf\xc0\xf0\x1f\x00\x05\x00\x01\xff\x89\x99\x3d\x1d\x00\x00"
        "\x00\x00\x49\x45\x4e\x44\xae\x42\x60\x82";
    const QString png =
        home.writeFile(QStringLiteral("square.png"), QByteArray(kRedPixel, sizeof kRedPixel - 1));
    EXPECT_EQ(IconThemes().icon(png).pixmap(32, 32).toImage().pixelColor(16, 16), QColor(Qt::red));
    EXPECT_FALSE(mapped("imageformats/libqtiff.so"));
    const QString misnamed = home.writeFile(QStringLiteral("disc.png"), kRedDisc);
    EXPECT_EQ(IconThemes().icon(misnamed).pixmap(64, 64).toImage().pixelColor(32, 32), QColor(Qt::red));
}

// A PNG of a few hundred kilobytes can hold text chunks that inflate to gigabytes: its size comes
// from its header chunk alone, its text never reaches the reader, a compressed drawing inflates no
// further than a plain one may be large, and nothing is drawn larger than 2048 pixels, whatever size
// is asked.
TEST(BoundedIcon, NoIconIsInflatedOrDrawnPastItsBoundsWhateverItsFewBytesName) {
    TempHome home;
    const QByteArray png = pngWithTexts(48, Qt::red, 4, 7'900'000);
    ASSERT_FALSE(QImage::fromData(png).textKeys().isEmpty()) << "the fixture holds no text";
    EXPECT_EQ(pngSize(png), std::optional<QSize>(QSize(48, 48)));
    EXPECT_EQ(pngSize(png.left(32)), std::nullopt) << "its header cut off";
    EXPECT_EQ(pngSize(png.left(8) + pngChunk("tEXt", "a") + png.mid(8)), std::nullopt)
        << "a chunk before its header";
    QByteArray noWidth = png;
    noWidth.replace(16, 4, QByteArray(4, '\0'));
    EXPECT_EQ(pngSize(noWidth), std::nullopt);
    EXPECT_EQ(pngSize("GIF89a"), std::nullopt);

    // Every chunk but the text, in its order; a chunk cut off stays as it was.
    const QByteArray plain = pngWithTexts(48, Qt::red, 0, 0);
    const QByteArray texts = png.left(33) + pngChunk("tEXt", QByteArray("Title\0plain", 11)) +
                             pngChunk("iTXt", QByteArray("Title\0\0\0\0\0words", 15)) + png.mid(33);
    EXPECT_EQ(withoutTextChunks(texts), plain);
    EXPECT_EQ(withoutTextChunks(texts.left(texts.size() - 6)), plain.left(plain.size() - 6));
    EXPECT_EQ(withoutTextChunks(kRedDisc), QByteArray(kRedDisc)) << "no PNG";

    const QString path = home.writeFile(QStringLiteral("texts.png"), png);
    const QIcon icon = boundedIcon({path});
    ASSERT_FALSE(icon.isNull());
    EXPECT_EQ(icon.availableSizes(), QList<QSize>{QSize(48, 48)});
    const QImage drawn = icon.pixmap(48, 48).toImage();
    EXPECT_EQ(drawn.pixelColor(24, 24), QColor(Qt::red));
    EXPECT_TRUE(drawn.textKeys().isEmpty()) << drawn.textKeys().join(u',').toStdString();

    // A compressed drawing is inflated within the bound of a plain one (8 MiB), or not drawn.
    const QByteArray disc = gzipped(kRedDisc);
    const QByteArray bomb =
        gzipped(QByteArray(kRedDisc).replace("</svg>", QByteArray(9 << 20, ' ') + "</svg>"));
    EXPECT_LT(bomb.size(), 64 << 10);
    EXPECT_EQ(inflatedDrawing(disc, 8 << 20), std::optional<QByteArray>(kRedDisc));
    EXPECT_EQ(inflatedDrawing(bomb, 8 << 20), std::nullopt);
    EXPECT_EQ(inflatedDrawing(disc.left(disc.size() / 2), 8 << 20), std::nullopt) << "cut off";
    EXPECT_EQ(inflatedDrawing(kRedDisc, 8 << 20), std::optional<QByteArray>(kRedDisc));
    EXPECT_EQ(boundedIcon({home.writeFile(QStringLiteral("disc.svgz"), disc)})
                  .pixmap(64, 64)
                  .toImage()
                  .pixelColor(32, 32),
              QColor(Qt::red));
    EXPECT_TRUE(boundedIcon({home.writeFile(QStringLiteral("bomb.svgz"), bomb)}).pixmap(64, 64).isNull());

    const QString svg = home.writeFile(QStringLiteral("disc.svg"), kRedDisc);
    const QImage large = boundedIcon({svg}).pixmap(4096, 4096).toImage();
    EXPECT_EQ(large.size(), QSize(2048, 2048));
    EXPECT_EQ(large.pixelColor(1024, 1024), QColor(Qt::red));
}

// A PNG's image data is its rows: data that runs on past them, short or long, is never inflated
// (a megabyte of it holds a gigabyte of zeros), and only data no longer than the rows is decoded
// on the asking thread.
TEST(BoundedIcon, APngWhoseDataRunsOnPastItsRowsIsRefusedAndOnlyShortDataIsDecodedAtOnce) {
    TempHome home;
    const QColor red(Qt::red);
    const QByteArray rows = rowsOf(48, red);
    ASSERT_EQ(rows.size(), 9264);
    const QByteArray packed = pngOfRows(48, 48, rows);
    const QByteArray stored = pngOfRows(48, 48, rows, 0);
    const QByteArray runsOn = pngOfRows(48, 48, rows + QByteArray(1 << 20, '\0'));
    const QByteArray longData = pngOfRows(48, 48, rows + noiseBytes(64 << 10), 0);
    ASSERT_LT(runsOn.size(), 4096) << "the zeros are not deflated short";

    // Adam7 passes of 8 × 8 take 271 bytes: exactly those pass, one more does not.
    EXPECT_EQ(pngData(packed)->rawBytes, 9264);
    EXPECT_TRUE(pngDataWithinPicture(pngOfRows(8, 8, QByteArray(271, '\0'), 9, true)));
    EXPECT_FALSE(pngDataWithinPicture(pngOfRows(8, 8, QByteArray(272, '\0'), 9, true)));
    EXPECT_FALSE(pngDataWithinPicture(pngOfRows(48, 48, rows + '\0'))) << "one byte past its rows";
    EXPECT_TRUE(pngDataWithinPicture(packed.left(packed.size() / 2))) << "cut off: the reader's to refuse";
    // A header naming interlaced sides near 2^31 counts bytes past what a qint64 holds: bounded,
    // never wrapped round to a small or negative limit.
    const std::optional<PngData> huge =
        pngData(QByteArray::fromBase64("iVBORw0KGgoAAAANSUhEUnZnPjxzIAADCAIAAAFAiWCC"));
    ASSERT_TRUE(huge);
    EXPECT_GT(huge->rawBytes, qint64(1) << 40);
    EXPECT_GT(huge->longestData(), huge->rawBytes);

    ManualWorkQueue queue;
    ResultPort port;
    const auto decoding = std::make_shared<IconDecoding>(&queue, port.handle(), [] {});
    const auto icon = [&](const QString& name, const QByteArray& bytes) {
        return boundedIcon({home.writeFile(name, bytes)}, decoding);
    };
    // Every file is read on the queue first; asked meanwhile, an icon is not null.
    const QIcon packedIcon = icon(QStringLiteral("packed.png"), packed);
    const QIcon longIcon = icon(QStringLiteral("long.png"), longData);
    const QIcon running = icon(QStringLiteral("runs-on.png"), runsOn);
    const QIcon slow = icon(QStringLiteral("stored.png"), stored);
    for (const QIcon* asked : {&packedIcon, &longIcon, &running, &slow}) EXPECT_FALSE(asked->isNull());
    queue.drain();
    EXPECT_EQ(packedIcon.pixmap(48, 48).toImage().pixelColor(24, 24), red) << "decoded at once";
    EXPECT_TRUE(longIcon.isNull()) << "refused before it is read";
    EXPECT_TRUE(running.pixmap(48, 48).isNull());
    EXPECT_TRUE(running.isNull());
    EXPECT_EQ(queue.pendingCount(), 0u);
    // Longer than its rows, as stored rows are: decoded on the queue.
    EXPECT_TRUE(slow.pixmap(48, 48).isNull());
    ASSERT_EQ(queue.pendingCount(), 1u);
    queue.drain();
    EXPECT_EQ(slow.pixmap(48, 48).toImage().pixelColor(24, 24), red);
}

// A drawing draws from its own file alone: a picture it places by a path (a FIFO's included, a
// path an entity spells, one placed inside an inline drawing) makes it no icon, and is never
// opened; an inline picture is drawn.
TEST(BoundedIcon, ADrawingThatPlacesAPictureByItsPathIsRefusedUnreadAndAnInlineOneIsDrawn) {
    TempHome home;
    const QString green = home.writeFile(QStringLiteral("green.png"), solidPng(4, Qt::green));
    const QString fifo = home.root() + QStringLiteral("/fifo.png");
    ASSERT_TRUE(makeHostile(Hostile::fifo, fifo, {}, 0));
    const auto drawing = [](const QByteArray& href, const QByteArray& doctype = {}) {
        return doctype +
               "<svg xmlns=\"http://www.w3.org/2000/svg\" xmlns:xlink=\"http://www.w3.org/1999/xlink\" "
               "width=\"16\" height=\"16\"><rect width=\"16\" height=\"16\" fill=\"#ff0000\"/>"
               "<image x=\"4\" y=\"4\" width=\"8\" height=\"8\" xlink:href=\"" +
               href + "\"/></svg>";
    };
    const auto inlined = [](const QByteArray& mime, const QByteArray& bytes) {
        return "data:" + mime + ";base64," + bytes.toBase64();
    };
    const QByteArray byPath = drawing(green.toUtf8());
    const QByteArray byEntity =
        drawing("&picture;", "<!DOCTYPE svg [<!ENTITY picture \"" + green.toUtf8() + "\">]>");
    const QByteArray inPlacedDrawing = drawing(inlined("image/svg+xml", byPath));
    const QByteArray inline_ = drawing(inlined("image/png", solidPng(4, Qt::blue)));
    const QByteArray inlineInPlaced = drawing(inlined("image/svg+xml", inline_));

    EXPECT_FALSE(drawingReadsOnlyItself(drawing("passwd")));
    EXPECT_FALSE(drawingReadsOnlyItself(drawing(" data:image/png;base64,")));
    EXPECT_FALSE(drawingReadsOnlyItself(
        QByteArray(byPath).replace("xlink:href", "other:href").replace("xmlns:xlink", "xmlns:other")));
    EXPECT_FALSE(drawingReadsOnlyItself(inlined("image/svg+xml", {}) + "<svg")) << "no XML";
    QByteArray nested = byPath;
    for (int i = 0; i < 6; ++i) nested = drawing(inlined("image/svg+xml", nested));
    EXPECT_FALSE(drawingReadsOnlyItself(nested)) << "placed deeper than is looked into";

    for (const QByteArray& refused : {byPath, byEntity, inPlacedDrawing}) {
        const QIcon icon = boundedIcon({home.writeFile(QStringLiteral("refused.svg"), refused)});
        EXPECT_TRUE(icon.pixmap(64, 64).isNull()) << refused.constData();
        EXPECT_TRUE(icon.isNull());
    }
    const QString waiting = home.writeFile(QStringLiteral("fifo.svg"), drawing(fifo.toUtf8()));
    EXPECT_EQ(promptly([waiting] { return boundedIcon({waiting}).pixmap(64, 64).isNull(); }, {fifo}),
              std::optional<bool>(true));
    for (const QByteArray& drawn : {inline_, inlineInPlaced}) {
        const QImage image =
            boundedIcon({home.writeFile(QStringLiteral("inline.svg"), drawn)}).pixmap(64, 64).toImage();
        EXPECT_EQ(image.pixelColor(4, 4), QColor(Qt::red));
        EXPECT_EQ(image.pixelColor(32, 32), QColor(Qt::blue));
    }
}

// Each size drawn is kept for the next ask, but a picture for the active mode (the pointer over
// the icon) only while its asker holds it.
TEST(BoundedIcon, APictureForTheActiveModeIsHeldOnlyByItsAsker) {
    TempHome home;
    const QIcon icon =
        boundedIcon({home.writeFile(QStringLiteral("red.png"), pngOfRows(48, 48, rowsOf(48, Qt::red)))});
    const QPixmap normal = icon.pixmap(QSize(44, 44));
    EXPECT_EQ(icon.pixmap(QSize(44, 44)).cacheKey(), normal.cacheKey());
    const QPixmap active = icon.pixmap(QSize(71, 71), QIcon::Active);
    EXPECT_EQ(active.size(), QSize(71, 71));
    EXPECT_EQ(active.toImage().pixelColor(35, 35), QColor(Qt::red));
    EXPECT_TRUE(active.isDetached()) << "kept besides";
    EXPECT_NE(icon.pixmap(QSize(71, 71), QIcon::Active).cacheKey(), active.cacheKey());
    EXPECT_EQ(icon.pixmap(QSize(44, 44), QIcon::Active).cacheKey(), normal.cacheKey()) << "a size kept";
}
