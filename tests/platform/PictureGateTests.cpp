#include "platform/PictureGate.h"
#include "platform/ThreadWorkQueue.h"
#include "platform/linux/BoundedIcon.h"
#include "support/HostileFiles.h"
#include "support/HostilePictures.h"
#include "support/Promptly.h"
#include "support/TempHome.h"

#include <QCoreApplication>
#include <QDir>
#include <QIcon>
#include <QtEndian>
#include <future>
#include <gtest/gtest.h>

using namespace vantrel;
using namespace vantrel::test;

namespace {

const QByteArray kOpen =
    "<svg xmlns=\"http://www.w3.org/2000/svg\" xmlns:xlink=\"http://www.w3.org/1999/xlink\" "
    "width=\"16\" height=\"16\">";
const QByteArray kRed = "<rect width=\"16\" height=\"16\" fill=\"#ff0000\"/>";

QByteArray svgOf(const QByteArray& body, const QByteArray& prologue = {}) {
    return prologue + kOpen + kRed + body + "</svg>";
}

QByteArray inlined(const QByteArray& mime, const QByteArray& bytes) {
    return "data:" + mime + ";base64," + bytes.toBase64();
}

// A drawing holding `inner` inline as a picture.
QByteArray holding(const QByteArray& inner) {
    return svgOf("<image width=\"8\" height=\"8\" xlink:href=\"" + inlined("image/svg+xml", inner) + "\"/>");
}

// A PNG of nothing but its header, naming `width` × `height`.
QByteArray pngHeader(quint32 width, quint32 height) {
    QByteArray header(13, '\0');
    qToBigEndian(width, header.data());
    qToBigEndian(height, header.data() + 4);
    header[8] = 8;
    header[9] = 6;
    return QByteArray("\x89PNG\r\n\x1a\n", 8) + pngChunk("IHDR", header) + pngChunk("IEND", {});
}

QByteArray webpHeader(int side) {
    QByteArray bytes = QByteArray("RIFF") + QByteArray(4, '\0') + "WEBPVP8L" + QByteArray(4, '\0') + '\x2f';
    QByteArray bits(4, '\0');
    qToLittleEndian(quint32(side - 1) | quint32(side - 1) << 14, bits.data());
    return bytes + bits + QByteArray(16, '\0');
}

// A lossy WebP with an extended header naming a canvas of `width` × `height`.
QByteArray webpCanvas(int width, int height) {
    QByteArray bytes = QByteArray("RIFF") + QByteArray(4, '\0') + "WEBPVP8X" + QByteArray(8, '\0');
    QByteArray sides(6, '\0');
    for (int i = 0; i < 3; ++i) {
        sides[i] = char(((width - 1) >> (8 * i)) & 0xff);
        sides[3 + i] = char(((height - 1) >> (8 * i)) & 0xff);
    }
    return bytes + sides + QByteArray(8, '\0');
}

QByteArray bmpHeader(qint32 width, qint32 height) {
    QByteArray bytes = "BM" + QByteArray(12, '\0');
    QByteArray info(16, '\0');
    qToLittleEndian(quint32(40), info.data());
    qToLittleEndian(width, info.data() + 4);
    qToLittleEndian(height, info.data() + 8);
    return bytes + info;
}

QByteArray jpegHeader(int side) {
    QByteArray frame = QByteArray::fromHex("FFD8FFC0001108");
    QByteArray sides(4, '\0');
    qToBigEndian(quint16(side), sides.data());
    qToBigEndian(quint16(side), sides.data() + 2);
    return frame + sides + QByteArray::fromHex("03012200021101031101FFD9");
}

QByteArray gifHeader(int side) {
    QByteArray bytes = "GIF89a" + QByteArray(4, '\0') + QByteArray::fromHex("000000") + ";";
    qToLittleEndian(quint16(side), bytes.data() + 6);
    qToLittleEndian(quint16(side), bytes.data() + 8);
    return bytes;
}

// Each picture placed inline in one drawing.
QByteArray placing(const QList<QByteArray>& pictures) {
    QByteArray body;
    for (const QByteArray& p : pictures)
        body += "<image width=\"4\" height=\"4\" xlink:href=\"" + inlined("image/png", p) + "\"/>";
    return svgOf(body);
}

// Holds every read until released, as a hung file system does.
class HeldReader final : public PictureFileReader {
public:
    std::optional<QByteArray> read(const QString& path, qint64 maximumBytes) override {
        released_.wait();
        return regularPictureFiles().read(path, maximumBytes);
    }
    void release() { release_.set_value(); }

private:
    std::promise<void> release_;
    std::shared_future<void> released_ = release_.get_future().share();
};

} // namespace

// Every way a drawing names a file (a style sheet's processing instruction, a DOCTYPE or an entity,
// href, xlink:href, url() in an attribute or a style, @import), absolute or relative, at every depth
// of drawings held inline, plain or compressed, is refused; the file named, a FIFO, is never opened,
// and a second icon on the same queue is drawn after it.
TEST(PictureGate, ADrawingNamingAnyFileAtAnyDepthIsRefusedUnopened) {
    TempHome home;
    const QString fifo = home.root() + QStringLiteral("/named.css");
    ASSERT_TRUE(makeHostile(Hostile::fifo, fifo, {}, 0));
    const QString previous = QDir::currentPath();
    QDir::setCurrent(home.root());
    QList<QByteArray> naming;
    for (const QByteArray& name : {fifo.toUtf8(), QByteArray("named.css")}) {
        naming << svgOf({},
                        "<?xml version=\"1.0\"?><?xml-stylesheet type=\"text/css\" href=\"" + name + "\"?>")
               << svgOf({}, "<!DOCTYPE svg SYSTEM \"" + name + "\">")
               << svgOf("<image width=\"8\" height=\"8\" xlink:href=\"&p;\"/>",
                        "<!DOCTYPE svg [<!ENTITY p \"" + name + "\">]>")
               << svgOf("<image width=\"8\" height=\"8\" href=\"" + name + "\"/>")
               << svgOf("<image width=\"8\" height=\"8\" xlink:href=\"" + name + "\"/>")
               << svgOf("<filter id=\"f\"><feImage href=\"" + name + "\"/></filter>")
               << svgOf("<use href=\"" + name + "#shape\"/>")
               << svgOf("<rect width=\"4\" height=\"4\" fill=\"url(" + name + "#paint)\"/>")
               << svgOf("<rect width=\"4\" height=\"4\" style=\"fill: url('" + name + "')\"/>")
               << svgOf("<style>@import url(\"" + name + "\");</style>")
               << svgOf("<style>@import '#x';</style>")
               << svgOf("<style><![CDATA[rect { fill: url(" + name + ") }]]></style>")
               << svgOf("<style>rect { fill: u\\72l(" + name + ") }</style>");
    }
    for (const QByteArray& drawing : naming) {
        QByteArray nested = drawing;
        for (int depth = 0; depth <= 3; ++depth) {
            SCOPED_TRACE(depth);
            EXPECT_FALSE(drawingReadsOnlyItself(nested)) << drawing.constData();
            nested = depth == 1 ? svgOf("<image width=\"8\" height=\"8\" xlink:href=\"" +
                                        inlined("image/svg+xml-compressed", gzipped(nested)) + "\"/>")
                                : holding(nested);
        }
    }
    // What reads only itself still passes: fragments of the same document, and inline pictures.
    const QByteArray own =
        svgOf("<defs><linearGradient id=\"g\"/></defs><rect width=\"4\" height=\"4\" fill=\"url(#g)\"/>"
              "<use href=\"#g\"/><rect width=\"4\" height=\"4\" style=\"fill: url('#g')\"/><image "
              "width=\"4\" height=\"4\" href=\"" +
                  inlined("image/png", solidPng(4, Qt::blue)) + "\"/>",
              "<?xml version=\"1.0\" encoding=\"UTF-8\"?>");
    EXPECT_TRUE(drawingReadsOnlyItself(own));
    EXPECT_TRUE(drawingReadsOnlyItself(holding(holding(own))));

    // Drawn through the gate's queue: refused without the FIFO ever opened, and the queue free for
    // the next icon.
    ThreadWorkQueue queue(QStringLiteral("test.pictures"));
    ResultPort port;
    const auto decoding = std::make_shared<IconDecoding>(&queue, port.handle(), [] {});
    std::vector<QIcon> hostile;
    for (qsizetype i = 0; i < naming.size(); ++i) {
        hostile.push_back(boundedIcon(
            {home.writeFile(QStringLiteral("hostile-%1.svg").arg(i), holding(naming[i]))}, decoding));
        EXPECT_TRUE(hostile.back().pixmap(64, 64).isNull());
    }
    const QIcon second =
        boundedIcon({home.writeFile(QStringLiteral("red.png"), solidPng(48, Qt::red))}, decoding);
    EXPECT_TRUE(second.pixmap(48, 48).isNull());
    EXPECT_EQ(promptly(
                  [&queue] {
                      queue.sync([] {});
                      return true;
                  },
                  {fifo}),
              std::optional<bool>(true));
    QCoreApplication::processEvents();
    for (const QIcon& icon : hostile) {
        EXPECT_TRUE(icon.pixmap(64, 64).isNull());
        EXPECT_TRUE(icon.isNull());
    }
    EXPECT_EQ(second.pixmap(48, 48).toImage().pixelColor(24, 24), QColor(Qt::red));
    QDir::setCurrent(previous);
}

// A picture held inline is bounded by its header before anything decodes it: none over 2048 pixels
// a side (PNG, JPEG, GIF, WebP, a drawing's own size), and all of one drawing's, at every depth,
// within a few tens of MiB decoded; a small one is drawn.
TEST(PictureGate, PicturesHeldInlineAreBoundedByTheirHeadersAndASmallOneIsDrawn) {
    EXPECT_EQ(bitmapHeaderSize(pngHeader(5600, 5600)), std::optional<QSize>(QSize(5600, 5600)));
    EXPECT_EQ(bitmapHeaderSize(webpHeader(5600)), std::optional<QSize>(QSize(5600, 5600)));
    EXPECT_EQ(bitmapHeaderSize(jpegHeader(5600)), std::optional<QSize>(QSize(5600, 5600)));
    EXPECT_EQ(bitmapHeaderSize(gifHeader(5600)), std::optional<QSize>(QSize(5600, 5600)));
    EXPECT_EQ(bitmapHeaderSize(webpCanvas(5600, 300)), std::optional<QSize>(QSize(5600, 300)));
    EXPECT_EQ(bitmapHeaderSize(bmpHeader(5600, -300)), std::optional<QSize>(QSize(5600, 300))) << "top down";
    EXPECT_EQ(bitmapHeaderSize(bmpHeader(0, 300)), std::nullopt);
    EXPECT_EQ(bitmapHeaderSize(QByteArray::fromHex("FFD8FFD0") + jpegHeader(5600).mid(2)),
              std::optional<QSize>(QSize(5600, 5600)))
        << "past a marker of no length";
    for (const QByteArray& large : {pngHeader(5600, 5600), pngHeader(2049, 1), webpHeader(5600),
                                    jpegHeader(5600), gifHeader(5600), QByteArray("no picture at all")}) {
        EXPECT_FALSE(drawingReadsOnlyItself(placing({large})));
        EXPECT_FALSE(drawingReadsOnlyItself(holding(placing({large}))));
    }
    EXPECT_FALSE(drawingReadsOnlyItself(holding("<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"100000\" "
                                                "height=\"100000\"/>")));
    // 2048 square takes 16 MiB decoded: two fit the budget, a third does not, nested or not.
    const QByteArray side = pngHeader(2048, 2048);
    EXPECT_TRUE(drawingReadsOnlyItself(placing({side, side})));
    EXPECT_FALSE(drawingReadsOnlyItself(placing({side, side, side})));
    EXPECT_FALSE(drawingReadsOnlyItself(svgOf("<image width=\"8\" height=\"8\" xlink:href=\"" +
                                              inlined("image/png", side) + "\"/><image xlink:href=\"" +
                                              inlined("image/svg+xml", placing({side, side})) + "\"/>")));

    TempHome home;
    const QImage drawn =
        boundedIcon({home.writeFile(QStringLiteral("small.svg"), placing({solidPng(4, Qt::blue)}))})
            .pixmap(64, 64)
            .toImage();
    EXPECT_EQ(drawn.pixelColor(60, 60), QColor(Qt::red));
    EXPECT_EQ(drawn.pixelColor(8, 8), QColor(Qt::blue));
}

// On a file system that holds every read, asking for an icon answers at once (not null, nothing
// drawn yet), and the picture is drawn once the read is let go.
TEST(PictureGate, AskingForAnIconReturnsAtOnceWhileItsFileIsHeld) {
    TempHome home;
    const QString path = home.writeFile(QStringLiteral("red.png"), solidPng(48, Qt::red));
    HeldReader reader;
    ThreadWorkQueue queue(QStringLiteral("test.pictures"));
    ResultPort port;
    int told = 0;
    const auto decoding = std::make_shared<IconDecoding>(
        &queue, port.handle(), [&told] { ++told; }, &reader);
    const QIcon icon = boundedIcon({path}, decoding);
    EXPECT_FALSE(icon.isNull());
    EXPECT_TRUE(icon.pixmap(48, 48).isNull());
    EXPECT_EQ(icon.actualSize(QSize(48, 48)), QSize(48, 48));
    EXPECT_TRUE(icon.availableSizes().isEmpty());
    EXPECT_EQ(told, 0);

    reader.release();
    queue.sync([] {});
    QCoreApplication::processEvents();
    EXPECT_EQ(told, 1);
    EXPECT_EQ(icon.pixmap(48, 48).toImage().pixelColor(24, 24), QColor(Qt::red));
    EXPECT_EQ(icon.availableSizes(), QList<QSize>{QSize(48, 48)});
}
