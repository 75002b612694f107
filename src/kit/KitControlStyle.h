#pragma once

#include <QProxyStyle>

namespace vantrel {

// The platform's style with the kit's check boxes, for the platform controls the kit shows (check
// boxes, pop-up lists, menus): the platform outlines a box in a shade of the window colour, which
// is lost on a dark surface. The kit's box is outlined by 3:1 against the surface in either
// appearance and, checked, filled with the accent (the palette's link colour) under a mark that
// reads on it.
class KitControlStyle final : public QProxyStyle {
public:
    // One instance for the application, made on first use; widgets given it do not own it.
    static KitControlStyle* shared();

    void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                       const QWidget* widget = nullptr) const override;
    // A check box keeps room round its box and label for the kit's ring, which is its only mark
    // of focus: the ring never runs into the box.
    QRect subElementRect(SubElement element, const QStyleOption* option,
                         const QWidget* widget = nullptr) const override;
    void drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget = nullptr) const override;
    QSize sizeFromContents(ContentsType type, const QStyleOption* option, const QSize& size,
                           const QWidget* widget = nullptr) const override;

private:
    KitControlStyle() = default;
};

} // namespace vantrel
