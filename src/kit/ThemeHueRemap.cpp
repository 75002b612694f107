#include "kit/ThemeHueRemap.h"

#include <algorithm>
#include <cmath>
#include <thread>
#include <vector>

namespace vantrel::ThemeHueRemap {

namespace {

double clamp01(double value) {
    return std::clamp(value, 0.0, 1.0);
}

double smoothstep(double x) {
    return x * x * (3 - 2 * x);
}

// The fractional part, with the sign of the argument (as C's fmod keeps it).
double fraction(double value) {
    return value - std::trunc(value);
}

} // namespace

std::optional<Profile> profile(ArtTheme theme) {
    switch (theme) {
    case ArtTheme::neutral:
        return std::nullopt;
    case ArtTheme::obsidianFold:
        return Profile{0.6, 0.14, 0.1};
    case ArtTheme::glacialVeil:
        return Profile{0.56, 0.13, 0.09};
    case ArtTheme::midnightCurrent:
        return Profile{0.62, 0.17, 0.11};
    case ArtTheme::canyonAlloy:
        return Profile{0.075, 0.16, 0.12};
    }
    return std::nullopt;
}

HSL hsl(double red, double green, double blue) {
    const double max = std::max({red, green, blue});
    const double min = std::min({red, green, blue});
    const double delta = max - min;
    HSL out;
    out.lightness = (max + min) / 2;
    if (delta <= 1e-6) return out;
    double h6;
    if (max == red)
        h6 = std::fmod((green - blue) / delta, 6.0);
    else if (max == green)
        h6 = (blue - red) / delta + 2;
    else
        h6 = (red - green) / delta + 4;
    out.saturation = delta / (1 - std::abs(2 * out.lightness - 1));
    out.hue = fraction(h6 / 6);
    if (out.hue < 0) out.hue += 1;
    return out;
}

Pixel rgb(double hue, double saturation, double lightness) {
    if (saturation <= 1e-6) return {lightness, lightness, lightness, 1};
    const double c = (1 - std::abs(2 * lightness - 1)) * saturation;
    const double h6 = hue * 6;
    const double x = c * (1 - std::abs(std::fmod(h6, 2.0) - 1));
    const double m = lightness - c / 2;
    double r, g, b;
    if (h6 >= 0 && h6 < 1)
        r = c, g = x, b = 0;
    else if (h6 >= 1 && h6 < 2)
        r = x, g = c, b = 0;
    else if (h6 >= 2 && h6 < 3)
        r = 0, g = c, b = x;
    else if (h6 >= 3 && h6 < 4)
        r = 0, g = x, b = c;
    else if (h6 >= 4 && h6 < 5)
        r = x, g = 0, b = c;
    else
        r = c, g = 0, b = x;
    return {r + m, g + m, b + m, 1};
}

Pixel apply(const Pixel& p, const Pixel& target, double amount, const Profile& profile) {
    if (!(amount > 0)) return p;
    const double a = std::min(amount, 1.0);
    const HSL source = hsl(p.red, p.green, p.blue);
    const double targetHue = hsl(target.red, target.green, target.blue).hue;

    const double lo = profile.saturationThreshold;
    const double hi = std::min(lo + 0.24, 1.0);
    const double saturationWeight = lo < hi ? smoothstep(clamp01((source.saturation - lo) / (hi - lo)))
                                            : (source.saturation < lo ? 0.0 : 1.0);

    const double f = fraction(std::abs(source.hue - profile.hue));
    const double distance = std::min(f, 1 - f);
    const double e0 = 0.42 * profile.width, e1 = profile.width;
    const double band =
        e0 < e1 ? smoothstep(clamp01((distance - e0) / (e1 - e0))) : (distance < e0 ? 0.0 : 1.0);
    const double hueWeight = std::max(1 - band, 0.0);

    const double w = saturationWeight * a * hueWeight;
    if (!(w > 0)) return p;

    Pixel recoloured = rgb(targetHue, source.saturation, source.lightness);
    const auto luma = [](double r, double g, double b) { return 0.2126 * r + 0.7152 * g + 0.0722 * b; };
    const double shift =
        luma(p.red, p.green, p.blue) - luma(recoloured.red, recoloured.green, recoloured.blue);
    recoloured.red = clamp01(recoloured.red + shift);
    recoloured.green = clamp01(recoloured.green + shift);
    recoloured.blue = clamp01(recoloured.blue + shift);

    const double t = clamp01(w);
    return {clamp01(p.red + t * (recoloured.red - p.red)),
            clamp01(p.green + t * (recoloured.green - p.green)),
            clamp01(p.blue + t * (recoloured.blue - p.blue)), clamp01(p.alpha)};
}

QByteArray colorCubeData(const Pixel& target, double amount, const Profile& profile, int dimension) {
    const int n = std::max(dimension, 2);
    std::vector<float> values;
    values.reserve(std::size_t(n) * n * n * 4);
    const double step = 1.0 / (n - 1);
    for (int b = 0; b < n; ++b)
        for (int g = 0; g < n; ++g)
            for (int r = 0; r < n; ++r) {
                const Pixel in{clamp01(r * step), clamp01(g * step), clamp01(b * step), 1};
                const Pixel out = apply(in, target, amount, profile);
                values.insert(values.end(),
                              {float(out.red), float(out.green), float(out.blue), float(out.alpha)});
            }
    return QByteArray(reinterpret_cast<const char*>(values.data()), qsizetype(values.size() * sizeof(float)));
}

namespace {

// The lattice coordinate of an 8-bit channel value: its lower level and the fraction toward the
// next one.
struct Axis {
    int lower;
    float t;
};

// Recolours rows [first, last) of an ARGB32 picture `width` pixels wide in place.
void applyCubeRows(uchar* bits, qsizetype bytesPerLine, int width, int first, int last, const float* entries,
                   int n, const Axis* axis) {
    const int strideG = n, strideB = n * n;
    // Equal to lround for the clamped, non-negative value: the sum is exact in double.
    const auto to8 = [](float v) { return int(double(std::clamp(v, 0.0f, 1.0f) * 255.0f) + 0.5); };
    for (int y = first; y < last; ++y) {
        auto* line = reinterpret_cast<QRgb*>(bits + bytesPerLine * y);
        // Artwork has runs of one colour: a repeat costs a comparison.
        QRgb previousIn = 0, previousOut = 0;
        bool hasPrevious = false;
        for (int x = 0; x < width; ++x) {
            const QRgb px = line[x];
            if (hasPrevious && px == previousIn) {
                line[x] = previousOut;
                continue;
            }
            const Axis ar = axis[qRed(px)], ag = axis[qGreen(px)], ab = axis[qBlue(px)];
            const float* e = entries + std::size_t(ab.lower * strideB + ag.lower * strideG + ar.lower) * 4;
            const float* eG = e + std::size_t(strideG) * 4;
            const float* eB = e + std::size_t(strideB) * 4;
            const float* eBG = e + std::size_t(strideB + strideG) * 4;
            float channel[3];
            for (int c = 0; c < 3; ++c) {
                const float c00 = e[c] + (e[4 + c] - e[c]) * ar.t;
                const float c10 = eG[c] + (eG[4 + c] - eG[c]) * ar.t;
                const float c01 = eB[c] + (eB[4 + c] - eB[c]) * ar.t;
                const float c11 = eBG[c] + (eBG[4 + c] - eBG[c]) * ar.t;
                const float c0 = c00 + (c10 - c00) * ag.t;
                const float c1 = c01 + (c11 - c01) * ag.t;
                channel[c] = c0 + (c1 - c0) * ab.t;
            }
            const QRgb result = qRgba(to8(channel[0]), to8(channel[1]), to8(channel[2]), qAlpha(px));
            line[x] = result;
            previousIn = px;
            previousOut = result;
            hasPrevious = true;
        }
    }
}

} // namespace

std::optional<QImage> applyCube(const QImage& image, const QByteArray& cube, int dimension) {
    const int n = dimension;
    if (image.isNull() || n < 2 || cube.size() != qsizetype(n) * n * n * 4 * qsizetype(sizeof(float)))
        return std::nullopt;
    QImage out = image.convertToFormat(QImage::Format_ARGB32);
    if (out.isNull()) return std::nullopt;
    const auto* entries = reinterpret_cast<const float*>(cube.constData());

    Axis axis[256];
    for (int v = 0; v < 256; ++v) {
        const float position = float(v) / 255.0f * float(n - 1);
        const int lower = std::min(int(position), n - 2);
        axis[v] = {lower, position - float(lower)};
    }

    // Rows are independent: bands of them go to the cores, this thread taking the first. Small
    // images are not worth a thread.
    constexpr qint64 kPixelsPerBand = 128 * 1024;
    const int height = out.height();
    const qint64 pixels = qint64(out.width()) * height;
    const int cores = int(std::max(1u, std::thread::hardware_concurrency()));
    const int bands = int(std::clamp<qint64>(pixels / kPixelsPerBand, 1, std::min(cores, height)));
    // The pixels are taken on this thread, so that the image detaches once, here, and the bands
    // touch nothing of it but their own rows.
    uchar* bits = out.bits();
    const qsizetype bytesPerLine = out.bytesPerLine();
    const int width = out.width();
    std::vector<std::thread> workers;
    workers.reserve(std::size_t(bands - 1));
    for (int band = 1; band < bands; ++band) {
        const int first = int(qint64(height) * band / bands), last = int(qint64(height) * (band + 1) / bands);
        workers.emplace_back(applyCubeRows, bits, bytesPerLine, width, first, last, entries, n, axis);
    }
    applyCubeRows(bits, bytesPerLine, width, 0, int(qint64(height) / bands), entries, n, axis);
    for (std::thread& worker : workers) worker.join();
    return out;
}

} // namespace vantrel::ThemeHueRemap
