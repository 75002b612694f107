#pragma once

// Offscreen rendering for the kit's view tests: widgets drawn into ARGB images, pixel probes, and
// the PNG sheets written under the build folder for a person to look at.

#include <QDir>
#include <QImage>
#include <QPainter>
#include <QStringList>
#include <QWidget>
#include <algorithm>
#include <cmath>
#include <vector>

namespace vantrel::test {

inline QImage renderWidget(QWidget& widget, QColor background = Qt::transparent) {
    widget.ensurePolished();
    QImage image(widget.size(), QImage::Format_ARGB32_Premultiplied);
    image.fill(background);
    widget.render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
    return image;
}

// The largest difference of any channel between two images of one size.
inline int largestChannelDifference(const QImage& a, const QImage& b) {
    int worst = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
            worst = std::max({worst, std::abs(qRed(p) - qRed(q)), std::abs(qGreen(p) - qGreen(q)),
                              std::abs(qBlue(p) - qBlue(q)), std::abs(qAlpha(p) - qAlpha(q))});
        }
    return worst;
}

inline double alphaAt(const QImage& image, QPointF point) {
    return image.pixelColor(point.toPoint()).alphaF();
}

// The number of pixels with any coverage inside `rect` of `image`.
inline int paintedPixels(const QImage& image, const QRect& rect) {
    int count = 0;
    for (int y = rect.top(); y <= rect.bottom(); ++y)
        for (int x = rect.left(); x <= rect.right(); ++x)
            if (qAlpha(image.pixel(x, y)) > 0) ++count;
    return count;
}

// How many rows of `image` lie between its first and last painted row (0 when nothing is painted).
inline int paintedRowSpan(const QImage& image) {
    int top = image.height(), bottom = -1;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (qAlpha(image.pixel(x, y)) > 0) {
                top = std::min(top, y);
                bottom = std::max(bottom, y);
            }
    return bottom < top ? 0 : bottom - top + 1;
}

// Pixels a 2-wide ring drawn just inside an image's edge covers: both columns at each side's middle
// and both rows at the top's middle.
inline std::vector<QPoint> innerRingProbes(const QImage& image) {
    const int middle = image.height() / 2;
    const int right = image.width() - 1;
    return {QPoint(0, middle),
            QPoint(1, middle),
            QPoint(right, middle),
            QPoint(right - 1, middle),
            QPoint(image.width() / 2, 0),
            QPoint(image.width() / 2, 1)};
}

// Where a ring that shows focus is drawn: the box of the pixels that differ by more than
// `threshold` between the focused and the unfocused image (empty when none does), and the sides
// of that box on whose middle half no such pixel lies within 3 of its edge (a ring cut to corners).
struct RingSeen {
    QRect box;
    QStringList missingSides;
};
inline RingSeen ringSeen(const QImage& focused, const QImage& unfocused, int threshold = 16) {
    const auto changed = [&](int x, int y) {
        const QRgb a = focused.pixel(x, y), b = unfocused.pixel(x, y);
        return std::max({std::abs(qRed(a) - qRed(b)), std::abs(qGreen(a) - qGreen(b)),
                         std::abs(qBlue(a) - qBlue(b))}) > threshold;
    };
    RingSeen seen;
    for (int y = 0; y < focused.height(); ++y)
        for (int x = 0; x < focused.width(); ++x)
            if (changed(x, y)) seen.box |= QRect(x, y, 1, 1);
    if (seen.box.isEmpty()) return seen;
    const auto any = [&](QRect band) {
        band &= focused.rect();
        for (int y = band.top(); y <= band.bottom(); ++y)
            for (int x = band.left(); x <= band.right(); ++x)
                if (changed(x, y)) return true;
        return false;
    };
    const QRect& b = seen.box;
    const int w = b.width(), h = b.height();
    if (!any(QRect(b.left(), b.top() + h / 4, 3, std::max(1, h / 2))))
        seen.missingSides << QStringLiteral("left");
    if (!any(QRect(b.right() - 2, b.top() + h / 4, 3, std::max(1, h / 2))))
        seen.missingSides << QStringLiteral("right");
    if (!any(QRect(b.left() + w / 4, b.top(), std::max(1, w / 2), 3)))
        seen.missingSides << QStringLiteral("top");
    if (!any(QRect(b.left() + w / 4, b.bottom() - 2, std::max(1, w / 2), 3)))
        seen.missingSides << QStringLiteral("bottom");
    return seen;
}

inline QString rendersFolder() {
    const QString folder = QStringLiteral(VANTREL_BINARY_DIR "/renders");
    QDir().mkpath(folder);
    return folder;
}

// Lays `images` out on one sheet, `columns` wide, with gaps, over a mid-grey so clear and dark
// parts both show, and saves it as renders/<name>.png.
inline QString saveSheet(const QString& name, const QList<QImage>& images, int columns) {
    int cellW = 0, cellH = 0;
    for (const QImage& image : images) {
        cellW = std::max(cellW, image.width());
        cellH = std::max(cellH, image.height());
    }
    const int gap = 12;
    const int rows = (int(images.size()) + columns - 1) / columns;
    QImage sheet((cellW + gap) * columns + gap, (cellH + gap) * rows + gap,
                 QImage::Format_ARGB32_Premultiplied);
    sheet.fill(QColor(128, 128, 128));
    QPainter painter(&sheet);
    for (int i = 0; i < images.size(); ++i)
        painter.drawImage(gap + (i % columns) * (cellW + gap), gap + (i / columns) * (cellH + gap),
                          images[i]);
    painter.end();
    const QString path = rendersFolder() + QLatin1Char('/') + name + QStringLiteral(".png");
    sheet.save(path);
    return path;
}

} // namespace vantrel::test
