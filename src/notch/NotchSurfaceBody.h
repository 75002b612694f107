#pragma once

#include "notch/NotchExpandedShape.h"
#include "notch/NotchSurfaceLook.h"

#include <QImage>
#include <optional>

namespace vantrel {

// The painted layers of the open surface in either look, under its texts and controls: the black
// body or the frosted glass with its tint, sheen, strokes, shadow and the black bridge over the
// notch. They change only with the settings and the size, so the surface renders them once into an
// image and draws that on every frame.
namespace NotchSurfaceBody {

struct Key {
    QSize size;
    qreal devicePixelRatio = 1;
    NotchLookSettings look;
    NotchExpandedShape shape;
    bool reduceTransparency = false;
    // Whether the desktop blurs what lies behind the glass; where it does not, the glass is drawn
    // dense enough that nothing behind it can be read.
    bool blurredBehind = false;
    QRgb accent = 0;
    // The art theme's image for the look (dark for midnight, light for crystal); none draws none.
    std::optional<QImage> artwork;

    bool operator==(const Key& other) const;
};

QImage render(const Key& key);

} // namespace NotchSurfaceBody

} // namespace vantrel
