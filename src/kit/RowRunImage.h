#pragma once

#include <QImage>
#include <QRect>
#include <cstdint>
#include <functional>
#include <vector>

class QPainter;

namespace vantrel {

// An image kept as runs of equal pixels along each row. A picture made only of gradients that
// change slowly across the row, as the settings window's plain backdrop, holds a few dozen runs a
// row where a window-sized image holds every pixel, and expands back to the same pixels in strips
// as it is drawn.
class RowRunImage {
public:
    // Renders `deviceSize` in bands of `kBandRows` rows, each painted by `paintBand` as the whole
    // picture moved up to the band (at the given device pixel ratio): only one band is held at a time.
    using BandPainter = std::function<void(QPainter& painter)>;
    static RowRunImage render(QSize deviceSize, qreal ratio, const BandPainter& paintBand);

    RowRunImage() = default;

    QSize size() const { return size_; }
    // What the runs take up.
    qsizetype sizeInBytes() const;

    // Draws the device rows and columns of `deviceRect` (clipped to the picture) at the place they
    // had in the picture, which lies at `painter`'s origin.
    void draw(QPainter& painter, QRect deviceRect) const;

private:
    static constexpr int kBandRows = 16;

    struct Run {
        std::int32_t end; // first column after the run
        QRgb color;
    };
    void appendRow(const QRgb* pixels, int width);

    QSize size_;
    qreal ratio_ = 1;
    std::vector<Run> runs_;
    std::vector<std::uint32_t> rowStarts_; // index of each row's first run; one more at the end
};

} // namespace vantrel
