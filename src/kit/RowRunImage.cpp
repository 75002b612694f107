#include "kit/RowRunImage.h"

#include <QPainter>
#include <algorithm>

namespace vantrel {

RowRunImage RowRunImage::render(QSize deviceSize, qreal ratio, const BandPainter& paintBand) {
    RowRunImage image;
    if (deviceSize.isEmpty()) return image;
    image.size_ = deviceSize;
    image.ratio_ = ratio;
    image.rowStarts_.reserve(std::size_t(deviceSize.height()) + 1);
    image.rowStarts_.push_back(0);
    for (int top = 0; top < deviceSize.height(); top += kBandRows) {
        QImage band(deviceSize.width(), std::min(kBandRows, deviceSize.height() - top),
                    QImage::Format_ARGB32_Premultiplied);
        band.setDevicePixelRatio(ratio);
        band.fill(Qt::transparent);
        {
            QPainter painter(&band);
            painter.translate(0, -top / ratio);
            paintBand(painter);
        }
        for (int y = 0; y < band.height(); ++y)
            image.appendRow(reinterpret_cast<const QRgb*>(band.constScanLine(y)), band.width());
    }
    image.runs_.shrink_to_fit();
    return image;
}

void RowRunImage::appendRow(const QRgb* pixels, int width) {
    for (int x = 0; x < width;) {
        const QRgb color = pixels[x];
        int end = x + 1;
        while (end < width && pixels[end] == color) ++end;
        runs_.push_back({end, color});
        x = end;
    }
    rowStarts_.push_back(std::uint32_t(runs_.size()));
}

qsizetype RowRunImage::sizeInBytes() const {
    return qsizetype(runs_.capacity() * sizeof(Run) + rowStarts_.capacity() * sizeof(std::uint32_t));
}

void RowRunImage::draw(QPainter& painter, QRect deviceRect) const {
    const QRect rect = deviceRect.intersected(QRect(QPoint(), size_));
    if (rect.isEmpty()) return;
    // One strip of rows at a time, so what is drawn never needs a picture-sized image.
    QImage strip(rect.width(), std::min(kBandRows, rect.height()), QImage::Format_ARGB32_Premultiplied);
    strip.setDevicePixelRatio(ratio_);
    for (int top = rect.top(); top <= rect.bottom(); top += strip.height()) {
        const int rows = std::min(strip.height(), rect.bottom() + 1 - top);
        for (int row = 0; row < rows; ++row) {
            const std::size_t y = std::size_t(top + row);
            auto run = std::upper_bound(runs_.begin() + rowStarts_[y], runs_.begin() + rowStarts_[y + 1],
                                        rect.left(), [](int column, const Run& r) { return column < r.end; });
            QRgb* out = reinterpret_cast<QRgb*>(strip.scanLine(row));
            for (int x = rect.left(); x <= rect.right(); ++run) {
                const int end = std::min(run->end, rect.right() + 1);
                std::fill(out + (x - rect.left()), out + (end - rect.left()), run->color);
                x = end;
            }
        }
        painter.drawImage(QPointF(rect.left() / ratio_, top / ratio_), strip,
                          QRectF(0, 0, strip.width(), rows));
    }
}

} // namespace vantrel
