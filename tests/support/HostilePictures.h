#pragma once

#include <QBuffer>
#include <QByteArray>
#include <QColor>
#include <QImage>
#include <QString>
#include <QtEndian>

namespace vantrel::test {

// Pictures that stay small on disk and grow large in whoever reads them carelessly.

// The CRC-32 of PNG chunks and gzip streams.
inline quint32 pngCrc(const QByteArray& bytes) {
    quint32 crc = 0xffffffffu;
    for (const char byte : bytes) {
        crc ^= quint8(byte);
        for (int bit = 0; bit < 8; ++bit) crc = (crc >> 1) ^ (0xedb88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

// One PNG chunk: its length, its type, its data and the checksum of type and data.
inline QByteArray pngChunk(const QByteArray& type, const QByteArray& data) {
    QByteArray chunk(4, '\0');
    qToBigEndian<quint32>(quint32(data.size()), chunk.data());
    const QByteArray checked = type + data;
    chunk += checked;
    QByteArray crc(4, '\0');
    qToBigEndian<quint32>(pngCrc(checked), crc.data());
    return chunk + crc;
}

// A zTXt chunk that inflates to `inflated` bytes of text: zlib packs a run of one letter a
// thousandfold, so 7.9 MB of it takes about 8 KB.
inline QByteArray compressedTextChunk(const QByteArray& keyword, qsizetype inflated) {
    // qCompress puts the inflated length before the zlib stream.
    return pngChunk("zTXt", keyword + QByteArray(2, '\0') + qCompress(QByteArray(inflated, 'a'), 9).mid(4));
}

// A `side`-pixel PNG filled with `color`.
inline QByteArray solidPng(int side, QColor color) {
    QImage image(side, side, QImage::Format_ARGB32);
    image.fill(color);
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return png;
}

// A `side`-pixel PNG filled with `color`, holding `texts` zTXt chunks of `inflated` bytes each,
// half before its pixels and half after.
inline QByteArray pngWithTexts(int side, QColor color, int texts, qsizetype inflated) {
    const QByteArray png = solidPng(side, color);
    // The signature and the header chunk (8 + 25 bytes), then the rest; IEND is the last 12.
    QByteArray before, after;
    for (int i = 0; i < texts; ++i)
        (i % 2 ? after : before) += compressedTextChunk("Comment" + QByteArray::number(i), inflated);
    return png.left(33) + before + png.mid(33, png.size() - 33 - 12) + after + png.right(12);
}

// An RGBA PNG of `width` × `height` (`interlaced`: Adam7) whose one data chunk holds `rows` (each
// row's filter byte first), deflated at `level` (0: stored), whatever their length: exactly the
// picture's rows, or data that runs on past them.
inline QByteArray pngOfRows(int width, int height, const QByteArray& rows, int level = 9,
                            bool interlaced = false) {
    QByteArray header(13, '\0');
    qToBigEndian<quint32>(quint32(width), header.data());
    qToBigEndian<quint32>(quint32(height), header.data() + 4);
    header[8] = 8; // bits per sample
    header[9] = 6; // colour and alpha
    header[12] = interlaced ? 1 : 0;
    // qCompress puts the inflated length before the zlib stream.
    return QByteArray("\x89PNG\r\n\x1a\n", 8) + pngChunk("IHDR", header) +
           pngChunk("IDAT", qCompress(rows, level).mid(4)) + pngChunk("IEND", {});
}

// The rows of a `side`-pixel square of one colour, as a PNG's data holds them unfiltered.
inline QByteArray rowsOf(int side, QColor color) {
    QByteArray row(1, '\0');
    for (int x = 0; x < side; ++x)
        row +=
            QByteArray(1, char(color.red())) + char(color.green()) + char(color.blue()) + char(color.alpha());
    return row.repeated(side);
}

// Bytes that no compressor shortens.
inline QByteArray noiseBytes(qsizetype count) {
    QByteArray bytes(count, '\0');
    quint32 seed = 1;
    for (char& byte : bytes) byte = char((seed = seed * 1664525u + 1013904223u) >> 24);
    return bytes;
}

// `bytes` as a gzip stream, as a compressed drawing (.svgz) holds them: qCompress's deflate stream
// between a gzip header and trailer.
inline QByteArray gzipped(const QByteArray& bytes) {
    // qCompress: the length (4 bytes), the zlib header (2), the deflate stream, its checksum (4).
    const QByteArray zlib = qCompress(bytes, 9);
    QByteArray trailer(8, '\0');
    qToLittleEndian<quint32>(pngCrc(bytes), trailer.data());
    qToLittleEndian<quint32>(quint32(bytes.size()), trailer.data() + 4);
    return QByteArray("\x1f\x8b\x08\0\0\0\0\0\0\x03", 10) + zlib.mid(6, zlib.size() - 10) + trailer;
}

// A drawing of `shapes` small squares of many colours: some 7 MB for a hundred thousand.
inline QByteArray drawingOfShapes(int shapes) {
    QByteArray svg = "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"48\" height=\"48\">\n";
    for (int i = 0; i < shapes; ++i)
        svg += QStringLiteral("<rect x=\"%1\" y=\"%2\" width=\"3\" height=\"3\" fill=\"#%3\"/>\n")
                   .arg(i % 45)
                   .arg(i / 45 % 45)
                   .arg(i * 2654435761u % 0xffffff, 6, 16, QLatin1Char('0'))
                   .toLatin1();
    return svg + "</svg>\n";
}

} // namespace vantrel::test
