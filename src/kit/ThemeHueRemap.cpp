#include "kit/ThemeHueRemap.h"

#include <algorithm>
#include <cmath>
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

std::optional<QImage> applyCube(const QImage& image, const QByteArray& cube, int dimension) {
    const int n = dimension;
    if (image.isNull() || n < 2 || cube.size() != qsizetype(n) * n * n * 4 * qsizetype(sizeof(float)))
        return std::nullopt;
    QImage out = image.convertToFormat(QImage::Format_ARGB32);
    if (out.isNull()) return std::nullopt;
    const auto* entries = reinterpret_cast<const float*>(cube.constData());

    // The lattice coordinate of each 8-bit channel value: its lower level and the fraction
    // toward the next one.
    struct Axis {
        int lower;
        float t;
    };
    Axis axis[256];
    for (int v = 0; v < 256; ++v) {
        const float position = float(v) / 255.0f * float(n - 1);
        const int lower = std::min(int(position), n - 2);
        axis[v] = {lower, position - float(lower)};
    }
    const int strideG = n, strideB = n * n;

    for (int y = 0; y < out.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < out.width(); ++x) {
            const QRgb px = line[x];
            const Axis ar = axis[qRed(px)], ag = axis[qGreen(px)], ab = axis[qBlue(px)];
            const int base = ab.lower * strideB + ag.lower * strideG + ar.lower;
            float channel[3];
            for (int c = 0; c < 3; ++c) {
                const auto at = [&](int offset) { return entries[(base + offset) * 4 + c]; };
                const float c00 = at(0) + (at(1) - at(0)) * ar.t;
                const float c10 = at(strideG) + (at(strideG + 1) - at(strideG)) * ar.t;
                const float c01 = at(strideB) + (at(strideB + 1) - at(strideB)) * ar.t;
                const float c11 =
                    at(strideB + strideG) + (at(strideB + strideG + 1) - at(strideB + strideG)) * ar.t;
                const float c0 = c00 + (c10 - c00) * ag.t;
                const float c1 = c01 + (c11 - c01) * ag.t;
                channel[c] = c0 + (c1 - c0) * ab.t;
            }
            const auto to8 = [](float v) { return int(std::lround(std::clamp(v, 0.0f, 1.0f) * 255.0f)); };
            line[x] = qRgba(to8(channel[0]), to8(channel[1]), to8(channel[2]), qAlpha(px));
        }
    }
    return out;
}

} // namespace vantrel::ThemeHueRemap
