#pragma once

#include "core/PreferenceEnums.h"

#include <QByteArray>
#include <QImage>
#include <optional>

namespace vantrel {

// The recolouring of theme artwork toward a custom tint: pixels whose hue lies near the theme's
// hue band take the tint's hue, keep their saturation and lightness and their luminance, blended
// by a weight that grows with the amount. Pure functions.
namespace ThemeHueRemap {

// A colour with channels in 0...1.
struct Pixel {
    double red = 0;
    double green = 0;
    double blue = 0;
    double alpha = 1;
    bool operator==(const Pixel&) const = default;
};

// The part of the colour wheel a theme's artwork lets be recoloured: the band's centre `hue`
// and half-`width` as fractions of the wheel, and the saturation at and below which a pixel is
// left alone (the weight rises from there over the next 0.24).
struct Profile {
    double hue = 0;
    double width = 0;
    double saturationThreshold = 0;
    bool operator==(const Profile&) const = default;
};

struct HSL {
    double hue = 0;
    double saturation = 0;
    double lightness = 0;
};

// The remap profile of `theme`; none for the neutral theme, which has no artwork.
std::optional<Profile> profile(ArtTheme theme);

// Standard HSL conversions, every value in 0...1.
HSL hsl(double red, double green, double blue);
Pixel rgb(double hue, double saturation, double lightness);

// The remap of one pixel toward `target`'s hue; an amount of 0 or less leaves it unchanged and
// one above 1 acts as 1.
Pixel apply(const Pixel& pixel, const Pixel& target, double amount, const Profile& profile);

// The remap sampled on a cube of n = max(dimension, 2) levels a channel, as n³ entries of four
// 32-bit floats (red, green, blue, alpha); red varies fastest, then green, then blue.
QByteArray colorCubeData(const Pixel& target, double amount, const Profile& profile, int dimension);

// Recolours `image` through `cube` (as colorCubeData builds it) by trilinear interpolation
// between the cube's entries, keeping each pixel's alpha. None when the image is empty or the
// cube's size does not match the dimension.
std::optional<QImage> applyCube(const QImage& image, const QByteArray& cube, int dimension);

} // namespace ThemeHueRemap

} // namespace vantrel
