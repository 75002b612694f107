#include "kit/GlyphCatalogue.h"

#include <QPainter>
#include <QPainterPathStroker>
#include <QTransform>
#include <QtMath>
#include <algorithm>
#include <cmath>
#include <unordered_map>

namespace vantrel::GlyphCatalogue {

namespace {

// Collects the layers of one drawing.
class Sketch {
public:
    void stroke(const QPainterPath& path, bool secondary = false) {
        layers_.push_back({path, true, secondary});
    }
    void fill(const QPainterPath& path, bool secondary = false) {
        layers_.push_back({path, false, secondary});
    }
    std::vector<GlyphLayer> take() { return std::move(layers_); }

private:
    std::vector<GlyphLayer> layers_;
};

QPainterPath line(QPointF from, QPointF to) {
    QPainterPath p(from);
    p.lineTo(to);
    return p;
}

QPainterPath polyline(std::initializer_list<QPointF> points, bool closed = false) {
    QPainterPath p;
    for (QPointF point : points) {
        if (p.elementCount() == 0)
            p.moveTo(point);
        else
            p.lineTo(point);
    }
    if (closed) p.closeSubpath();
    return p;
}

QPainterPath circle(QPointF centre, double radius) {
    QPainterPath p;
    p.addEllipse(centre, radius, radius);
    return p;
}

QPainterPath roundedRect(const QRectF& rect, double radius) {
    QPainterPath p;
    p.addRoundedRect(rect, radius, radius);
    return p;
}

// A four-pointed star with softly pinched sides.
QPainterPath star(QPointF c, double r) {
    const double k = r * 0.16;
    QPainterPath p(QPointF(c.x(), c.y() - r));
    p.quadTo(QPointF(c.x() + k, c.y() - k), QPointF(c.x() + r, c.y()));
    p.quadTo(QPointF(c.x() + k, c.y() + k), QPointF(c.x(), c.y() + r));
    p.quadTo(QPointF(c.x() - k, c.y() + k), QPointF(c.x() - r, c.y()));
    p.quadTo(QPointF(c.x() - k, c.y() - k), QPointF(c.x(), c.y() - r));
    p.closeSubpath();
    return p;
}

// A point on a circle; angle in degrees, counter-clockwise from three o'clock.
QPointF polar(QPointF c, double r, double degrees) {
    const double a = qDegreesToRadians(degrees);
    return {c.x() + r * std::cos(a), c.y() - r * std::sin(a)};
}

void sparkles(Sketch& s) {
    s.fill(star({10, 13.5}, 8));
    s.fill(star({18.5, 5.5}, 3.5), true);
    s.fill(star({18.5, 18.5}, 2.8), true);
}

void docOnClipboard(Sketch& s) {
    s.stroke(roundedRect({4.5, 4.5, 15, 17}, 2.5));
    s.fill(roundedRect({8.5, 2.5, 7, 4}, 1.5));
    s.stroke(roundedRect({8, 10, 8, 8.5}, 1), true);
}

void calendar(Sketch& s) {
    s.stroke(roundedRect({3, 5, 18, 16}, 3));
    s.stroke(line({3, 10}, {21, 10}));
    s.stroke(line({8, 3}, {8, 6.5}));
    s.stroke(line({16, 3}, {16, 6.5}));
    QPainterPath dots;
    for (double y : {13.5, 17.5})
        for (double x : {7.5, 12.0, 16.5}) dots.addEllipse(QPointF(x, y), 1.1, 1.1);
    s.fill(dots, true);
}

void timer(Sketch& s) {
    const QPointF c(12, 13.5);
    s.stroke(circle(c, 8));
    s.stroke(line({12, 2.5}, {12, 5.5}));
    s.stroke(line({10, 2.5}, {14, 2.5}));
    s.stroke(line(c, polar(c, 5, 50)), true);
    s.fill(circle(c, 1.3));
}

void stopwatch(Sketch& s) {
    const QPointF c(12, 13.5);
    s.stroke(circle(c, 7.8));
    s.fill(roundedRect({10.2, 2.2, 3.6, 2.6}, 0.8));
    s.stroke(line(polar(c, 8.6, 45), polar(c, 10.4, 45)));
    s.stroke(line(c, {12, 8}), true);
    s.fill(circle(c, 1.2));
}

void gaugeWithDotsNeedle67(Sketch& s) {
    const QPointF c(12, 12.5);
    s.stroke(circle(c, 9));
    QPainterPath dots;
    for (int i = 0; i <= 6; ++i) dots.addEllipse(polar(c, 6, 225 - i * 45.0), 0.9, 0.9);
    s.fill(dots, true);
    // The needle at two thirds of the dial's 270 degrees, clockwise from its lower left end.
    s.stroke(line(c, polar(c, 5.2, 225 - 0.67 * 270)));
    s.fill(circle(c, 1.6));
}

void noteText(Sketch& s) {
    s.stroke(roundedRect({4, 3, 16, 18}, 3));
    QPainterPath lines;
    lines.addPath(line({8, 8.5}, {16, 8.5}));
    lines.addPath(line({8, 12.5}, {16, 12.5}));
    lines.addPath(line({8, 16.5}, {13, 16.5}));
    s.stroke(lines, true);
}

void trayFull(Sketch& s) {
    s.stroke(
        polyline({{3, 13}, {8, 13}, {9.5, 16}, {14.5, 16}, {16, 13}, {21, 13}, {21, 19.5}, {3, 19.5}}, true));
    QPainterPath papers;
    papers.addPath(line({6, 4}, {18, 4}));
    papers.addPath(line({5, 7}, {19, 7}));
    papers.addPath(line({4, 10}, {20, 10}));
    s.stroke(papers, true);
}

void camera(Sketch& s) {
    QPainterPath body;
    body.addRoundedRect(QRectF(2.5, 7, 19, 13), 3, 3);
    body.addRoundedRect(QRectF(8, 4.5, 8, 4), 1.5, 1.5);
    s.stroke(body.simplified());
    s.stroke(circle({12, 13.5}, 3.6));
    s.fill(circle({18, 10}, 0.9), true);
}

void bookmark(Sketch& s) {
    s.stroke(polyline({{6.5, 3}, {17.5, 3}, {17.5, 21}, {12, 16.5}, {6.5, 21}}, true));
}

void bell(Sketch& s, bool filled) {
    QPainterPath p(QPointF(4.5, 17.5));
    p.cubicTo(QPointF(6.5, 15.5), QPointF(6.5, 13), QPointF(6.5, 10.5));
    p.cubicTo(QPointF(6.5, 6.8), QPointF(8.8, 4), QPointF(12, 4));
    p.cubicTo(QPointF(15.2, 4), QPointF(17.5, 6.8), QPointF(17.5, 10.5));
    p.cubicTo(QPointF(17.5, 13), QPointF(17.5, 15.5), QPointF(19.5, 17.5));
    p.closeSubpath();
    if (filled)
        s.fill(p);
    else
        s.stroke(p);
    s.stroke(line({12, 2.2}, {12, 4}));
    QPainterPath clapper(QPointF(10, 19.5));
    clapper.quadTo(QPointF(12, 21.8), QPointF(14, 19.5));
    s.stroke(clapper, !filled);
}

void cpu(Sketch& s) {
    s.stroke(roundedRect({6, 6, 12, 12}, 2));
    s.fill(roundedRect({9.5, 9.5, 5, 5}, 1), true);
    QPainterPath pins;
    for (double t : {9.0, 12.0, 15.0}) {
        pins.addPath(line({t, 2.5}, {t, 6}));
        pins.addPath(line({t, 18}, {t, 21.5}));
        pins.addPath(line({2.5, t}, {6, t}));
        pins.addPath(line({18, t}, {21.5, t}));
    }
    s.stroke(pins);
}

void memorychip(Sketch& s) {
    s.stroke(roundedRect({2.5, 7, 19, 9}, 1.5));
    QPainterPath chips;
    for (double x : {5.5, 10.5, 15.5}) chips.addRect(QRectF(x, 9.5, 3, 4));
    s.fill(chips, true);
    QPainterPath pins;
    for (double x = 5; x <= 19.5; x += 2.5) pins.addPath(line({x, 16}, {x, 19}));
    s.stroke(pins);
}

void network(Sketch& s) {
    const QPointF c(12, 12);
    s.stroke(circle(c, 9));
    QPainterPath meridian;
    meridian.addEllipse(c, 4, 9);
    s.stroke(meridian, true);
    s.stroke(line({3, 12}, {21, 12}), true);
    s.stroke(line({4.5, 7.5}, {19.5, 7.5}), true);
    s.stroke(line({4.5, 16.5}, {19.5, 16.5}), true);
}

void arrow(Sketch& s, bool down) {
    const double tip = down ? 20 : 4;
    const double tail = down ? 4 : 20;
    const double head = down ? 13.5 : 10.5;
    s.stroke(line({12, tail}, {12, tip}));
    s.stroke(polyline({{5.5, head}, {12, tip}, {18.5, head}}));
}

void waveformPathEcg(Sketch& s) {
    s.stroke(
        polyline({{2, 12.5}, {7, 12.5}, {9, 8}, {11.5, 19}, {14.5, 4}, {17, 14}, {18.5, 12.5}, {22, 12.5}}));
}

void cameraFill(Sketch& s) {
    QPainterPath p;
    p.setFillRule(Qt::OddEvenFill);
    QPainterPath body;
    body.addRoundedRect(QRectF(2.5, 7, 19, 13), 3, 3);
    body.addRoundedRect(QRectF(8, 4.5, 8, 4), 1.5, 1.5);
    p.addPath(body.simplified());
    p.addEllipse(QPointF(12, 13.5), 3.6, 3.6);
    s.fill(p);
}

void videoSlash(Sketch& s) {
    QPainterPath body;
    body.addRoundedRect(QRectF(2.5, 7, 13.5, 10.5), 2.5, 2.5);
    s.stroke(body);
    s.stroke(polyline({{16, 10.5}, {21.5, 7.5}, {21.5, 17}, {16, 14}}, true));
    s.stroke(line({3, 3.5}, {20.5, 21}));
}

void chevrons(Sketch& s, bool right) {
    const double dir = right ? 1 : -1;
    for (double x : {9.0, 15.0}) s.stroke(polyline({{x - 3 * dir, 6}, {x + 3 * dir, 12}, {x - 3 * dir, 18}}));
}

void chevronUp(Sketch& s) {
    s.stroke(polyline({{5.5, 15.5}, {12, 8.5}, {18.5, 15.5}}));
}

// A filled triangle pointing right or left, with softly rounded tips.
QPainterPath playTriangle(double left, double right, double top, double bottom, bool pointsRight) {
    const double tip = pointsRight ? right : left;
    const double base = pointsRight ? left : right;
    const double mid = (top + bottom) / 2;
    QPainterPath p(QPointF(base, top + 1));
    p.quadTo(QPointF(base, top - 0.6), QPointF(base + (tip - base) * 0.09, top + 0.4));
    p.lineTo(QPointF(tip - (tip - base) * 0.06, mid - 0.7));
    p.quadTo(QPointF(tip + (tip - base) * 0.03, mid), QPointF(tip - (tip - base) * 0.06, mid + 0.7));
    p.lineTo(QPointF(base + (tip - base) * 0.09, bottom - 0.4));
    p.quadTo(QPointF(base, bottom + 0.6), QPointF(base, bottom - 1));
    p.closeSubpath();
    return p;
}

void playFill(Sketch& s) {
    s.fill(playTriangle(6.5, 19.5, 4, 20, true));
}

void pauseFill(Sketch& s) {
    s.fill(roundedRect({6, 4.5, 4.2, 15}, 1.3));
    s.fill(roundedRect({13.8, 4.5, 4.2, 15}, 1.3));
}

// Two triangles, the skip-ahead or skip-back transport.
void skipFill(Sketch& s, bool forward) {
    if (forward) {
        s.fill(playTriangle(1.5, 12.5, 6, 18, true));
        s.fill(playTriangle(11.5, 22.5, 6, 18, true));
    } else {
        s.fill(playTriangle(1.5, 12.5, 6, 18, false));
        s.fill(playTriangle(11.5, 22.5, 6, 18, false));
    }
}

void questionmarkCircle(Sketch& s) {
    s.stroke(circle({12, 12}, 9.5));
    QPainterPath mark(QPointF(9, 9.5));
    mark.cubicTo(QPointF(9, 5.5), QPointF(15, 5.5), QPointF(15, 9.5));
    mark.cubicTo(QPointF(15, 11.5), QPointF(12, 12), QPointF(12, 14));
    s.stroke(mark);
    s.fill(circle({12, 17.3}, 1.3));
}

void infoCircle(Sketch& s) {
    s.stroke(circle({12, 12}, 9.5));
    s.fill(circle({12, 7.3}, 1.3));
    QPainterPath bar(QPointF(12, 10.5));
    bar.lineTo(QPointF(12, 17));
    s.stroke(bar);
}

void exclamationmarkTriangleFill(Sketch& s) {
    // The mark is cut out of the filled triangle.
    QPainterPath p;
    p.setFillRule(Qt::OddEvenFill);
    QPainterPath triangle(QPointF(10.3, 3.8));
    triangle.quadTo(QPointF(12, 1), QPointF(13.7, 3.8));
    triangle.lineTo(QPointF(21.6, 17.6));
    triangle.quadTo(QPointF(23.2, 20.6), QPointF(19.8, 20.6));
    triangle.lineTo(QPointF(4.2, 20.6));
    triangle.quadTo(QPointF(0.8, 20.6), QPointF(2.4, 17.6));
    triangle.closeSubpath();
    p.addPath(triangle);
    p.addRoundedRect(QRectF(10.9, 7.5, 2.2, 7.2), 1.1, 1.1);
    p.addEllipse(QPointF(12, 17.4), 1.3, 1.3);
    s.fill(p);
}

// A pop-up menu's mark: one chevron up over one chevron down.
void chevronUpChevronDown(Sketch& s) {
    s.stroke(polyline({{7.5, 9}, {12, 4.5}, {16.5, 9}}));
    s.stroke(polyline({{7.5, 15}, {12, 19.5}, {16.5, 15}}));
}

// The outer three quarters of a circle, from `start` degrees counter-clockwise.
QPainterPath loop(QPointF centre, double radius, double start) {
    const QRectF box(centre.x() - radius, centre.y() - radius, 2 * radius, 2 * radius);
    QPainterPath p;
    p.arcMoveTo(box, start);
    p.arcTo(box, start, 270);
    return p;
}

// The outline a stroke of `width` gives `path`, to cut out of a filled shape.
QPainterPath outlineOf(const QPainterPath& path, double width) {
    QPainterPathStroker stroker;
    stroker.setWidth(width);
    stroker.setCapStyle(Qt::RoundCap);
    stroker.setJoinStyle(Qt::RoundJoin);
    return stroker.createStroke(path);
}

QPainterPath checkmark(QPointF from, QPointF corner, QPointF to) {
    return polyline({from, corner, to});
}

// A shield, broad at the shoulders and pointed at the bottom.
QPainterPath shield() {
    QPainterPath p(QPointF(12, 2.5));
    p.cubicTo(QPointF(14.5, 4.3), QPointF(17, 5), QPointF(19.5, 5.2));
    p.cubicTo(QPointF(19.8, 13), QPointF(17.5, 18.5), QPointF(12, 21.5));
    p.cubicTo(QPointF(6.5, 18.5), QPointF(4.2, 13), QPointF(4.5, 5.2));
    p.cubicTo(QPointF(7, 5), QPointF(9.5, 4.3), QPointF(12, 2.5));
    p.closeSubpath();
    return p;
}

// The command key's mark: a square whose sides run on into a loop at each corner.
void command(Sketch& s) {
    QPainterPath p;
    p.addPath(line({9, 6}, {9, 18}));
    p.addPath(line({15, 6}, {15, 18}));
    p.addPath(line({6, 9}, {18, 9}));
    p.addPath(line({6, 15}, {18, 15}));
    p.addPath(loop({6, 6}, 3, 0));
    p.addPath(loop({18, 6}, 3, 270));
    p.addPath(loop({18, 18}, 3, 180));
    p.addPath(loop({6, 18}, 3, 90));
    s.stroke(p);
}

void checkmarkCircleFill(Sketch& s) {
    const QPainterPath mark = checkmark({7.8, 12.3}, {10.7, 15.2}, {16.4, 9});
    s.fill(circle({12, 12}, 10).subtracted(outlineOf(mark, 2.4)));
}

// A circle of twelve dashes, the mark of something not yet granted.
void circleDashed(Sketch& s) {
    const QRectF box(3, 3, 18, 18);
    QPainterPath p;
    for (int i = 0; i < 12; ++i) {
        // Short dashes: the round caps close up much of the gap between them.
        p.arcMoveTo(box, i * 30 + 10);
        p.arcTo(box, i * 30 + 10, 10);
    }
    s.stroke(p);
}

// A wide capsule, its upper half filled: the notch hanging from the top of the screen.
void capsuleTophalfFilled(Sketch& s) {
    const QPainterPath capsule = roundedRect({2.5, 6.5, 19, 11}, 5.5);
    s.stroke(capsule);
    QPainterPath top;
    top.addRect(QRectF(0, 0, 24, 12));
    s.fill(capsule.intersected(top));
}

// A screen with its menu bar along the top.
void menubarRectangle(Sketch& s) {
    const QPainterPath screen = roundedRect({3, 4, 18, 16}, 3);
    s.stroke(screen);
    QPainterPath bar;
    bar.addRect(QRectF(0, 0, 24, 8.5));
    s.fill(screen.intersected(bar));
}

// A pointing finger and the ripples of its tap.
void handTap(Sketch& s) {
    QPainterPath hand;
    hand.addRoundedRect(QRectF(9.5, 8.5, 4, 9), 2, 2);
    hand.addRoundedRect(QRectF(8, 13.5, 10.5, 8.5), 3.5, 3.5);
    s.stroke(hand.simplified());
    QPainterPath ripples;
    for (double radius : {3.2, 6.2}) {
        const QRectF box(11.5 - radius, 9.5 - radius, 2 * radius, 2 * radius);
        ripples.arcMoveTo(box, 35);
        ripples.arcTo(box, 35, 110);
    }
    s.stroke(ripples, true);
}

// A circle whose left half is filled: light and dark.
void circleLefthalfFilled(Sketch& s) {
    s.stroke(circle({12, 12}, 9));
    QPainterPath half(QPointF(12, 12));
    half.arcTo(QRectF(3, 3, 18, 18), 90, 180);
    half.closeSubpath();
    s.fill(half);
}

QPainterPath shieldCheck() {
    return checkmark({8.6, 12}, {11, 14.4}, {15.6, 9.4});
}

void checkmarkShield(Sketch& s) {
    s.stroke(shield());
    s.stroke(shieldCheck());
}

void checkmarkShieldFill(Sketch& s) {
    s.fill(shield().subtracted(outlineOf(shieldCheck(), 2.2)));
}

// A magnifying glass with a spark inside its lens: search that suggests.
void sparkleMagnifyingglass(Sketch& s) {
    s.stroke(circle({10, 10}, 6.8));
    s.stroke(line({15, 15}, {20.5, 20.5}));
    s.fill(star({10, 10}, 3.8), true);
}

// A swift in flight, wings swept back.
void swift(Sketch& s) {
    QPainterPath p(QPointF(2.5, 14.5));
    p.quadTo(QPointF(9, 19.8), QPointF(16, 17.2));
    p.quadTo(QPointF(19.2, 16.4), QPointF(21, 19.2));
    p.quadTo(QPointF(21.8, 14.2), QPointF(18.6, 11.6));
    p.quadTo(QPointF(17.2, 5.6), QPointF(9.5, 3.2));
    p.quadTo(QPointF(14, 8), QPointF(14.6, 12.2));
    p.quadTo(QPointF(9, 9.6), QPointF(4.4, 5));
    p.quadTo(QPointF(7.8, 10.2), QPointF(11, 13.6));
    p.quadTo(QPointF(7, 14.8), QPointF(2.5, 14.5));
    p.closeSubpath();
    s.fill(p);
}

void lockFill(Sketch& s) {
    QPainterPath shackle(QPointF(8, 11));
    shackle.lineTo(8, 7.5);
    shackle.arcTo(QRectF(8, 3.5, 8, 8), 180, -180);
    shackle.lineTo(16, 11);
    s.stroke(shackle);
    QPainterPath body = roundedRect({5, 10.5, 14, 11}, 2.5);
    body.setFillRule(Qt::OddEvenFill);
    body.addEllipse(QPointF(12, 15.2), 1.4, 1.4);
    s.fill(body);
}

void squareGrid2x2(Sketch& s) {
    QPainterPath p;
    for (double y : {3.5, 13.5})
        for (double x : {3.5, 13.5}) p.addRoundedRect(QRectF(x, y, 7, 7), 2, 2);
    s.stroke(p);
}

// A push pin: a round-shouldered head over a flared collar and the needle.
QPainterPath pinHead() {
    QPainterPath p(QPointF(9.2, 10));
    p.lineTo(9.2, 4.6);
    p.quadTo(9.2, 3, 10.8, 3);
    p.lineTo(13.2, 3);
    p.quadTo(14.8, 3, 14.8, 4.6);
    p.lineTo(14.8, 10);
    p.lineTo(17.5, 14);
    p.lineTo(6.5, 14);
    p.closeSubpath();
    return p;
}

void pin(Sketch& s, bool filled, bool slashed) {
    if (filled)
        s.fill(pinHead());
    else
        s.stroke(pinHead());
    s.stroke(line({12, 14}, {12, 21.5}));
    if (slashed) s.stroke(line({4, 3}, {20, 21}));
}

void docText(Sketch& s) {
    s.stroke(polyline({{5, 2.5}, {14, 2.5}, {19, 7.5}, {19, 21.5}, {5, 21.5}}, true));
    s.stroke(polyline({{14, 2.5}, {14, 7.5}, {19, 7.5}}));
    QPainterPath lines;
    lines.addPath(line({8.5, 12}, {15.5, 12}));
    lines.addPath(line({8.5, 15.5}, {15.5, 15.5}));
    lines.addPath(line({8.5, 19}, {13, 19}));
    s.stroke(lines, true);
}

// Two sheets, the one behind showing only where the front one leaves it uncovered.
void docOnDoc(Sketch& s) {
    s.stroke(polyline({{8.5, 6.5}, {8.5, 2.5}, {20, 2.5}, {20, 16.5}, {15.5, 16.5}}), true);
    s.stroke(roundedRect({4, 6.5, 11.5, 15}, 2));
}

void ellipsisCircle(Sketch& s) {
    s.stroke(circle({12, 12}, 9.5));
    QPainterPath dots;
    for (double x : {7.5, 12.0, 16.5}) dots.addEllipse(QPointF(x, 12), 1.3, 1.3);
    s.fill(dots);
}

void magnifyingglass(Sketch& s) {
    s.stroke(circle({10, 10}, 6.5));
    s.stroke(line({14.8, 14.8}, {20.5, 20.5}));
}

void plus(Sketch& s) {
    s.stroke(line({12, 4}, {12, 20}));
    s.stroke(line({4, 12}, {20, 12}));
}

// Three ticked rows.
void checklist(Sketch& s) {
    for (double y : {6.0, 12.0, 18.0}) {
        s.stroke(polyline({{3, y}, {4.8, y + 1.8}, {8, y - 1.8}}));
        s.stroke(line({11.5, y}, {21, y}), true);
    }
}

void trash(Sketch& s) {
    s.stroke(line({4, 6}, {20, 6}));
    s.stroke(polyline({{9, 6}, {9, 3.5}, {15, 3.5}, {15, 6}}));
    s.stroke(polyline({{6, 6}, {7, 20.5}, {17, 20.5}, {18, 6}}));
    s.stroke(line({10, 9.5}, {10, 17}), true);
    s.stroke(line({14, 9.5}, {14, 17}), true);
}

void fallback(Sketch& s) {
    s.stroke(roundedRect({4.5, 4.5, 15, 15}, 4));
    s.fill(circle({12, 12}, 2), true);
}

void chevronRight(Sketch& s) {
    s.stroke(polyline({{9, 5.5}, {16, 12}, {9, 18.5}}));
}

void chevronDown(Sketch& s) {
    s.stroke(polyline({{5.5, 8.5}, {12, 15.5}, {18.5, 8.5}}));
}

void keyboard(Sketch& s) {
    s.stroke(roundedRect({2, 6, 20, 13}, 2.5));
    QPainterPath keys;
    for (double x : {6.0, 9.5, 13.0, 16.5}) keys.addRoundedRect(QRectF(x - 1, 9, 2, 2), 0.5, 0.5);
    for (double x : {7.75, 11.25, 14.75}) keys.addRoundedRect(QRectF(x - 1, 12, 2, 2), 0.5, 0.5);
    keys.addRoundedRect(QRectF(8, 15.2, 8, 1.8), 0.6, 0.6);
    s.fill(keys, true);
}

void squareAndPencil(Sketch& s) {
    s.stroke(polyline({{12, 4.5}, {6, 4.5}, {4, 6.5}, {4, 18}, {6, 20}, {17.5, 20}, {19.5, 18}, {19.5, 12}}));
    s.stroke(polyline({{10, 14}, {10.5, 11.5}, {18.5, 3.5}, {20.5, 5.5}, {12.5, 13.5}}, true));
}

void photo(Sketch& s) {
    s.stroke(roundedRect({2.5, 4.5, 19, 15}, 2.5));
    s.stroke(polyline({{3, 17.5}, {9, 11.5}, {13.5, 16}, {16, 13.5}, {21, 18}}));
    s.fill(circle({16, 9}, 1.8), true);
}

void photoOnRectangleAngled(Sketch& s) {
    QTransform tilt;
    tilt.translate(12, 12);
    tilt.rotate(-10);
    tilt.translate(-12, -12);
    s.stroke(tilt.map(roundedRect({5, 2.5, 16, 12.5}, 2)), true);
    s.stroke(roundedRect({2.5, 8.5, 16, 12.5}, 2));
    s.stroke(polyline({{3, 19}, {8, 14.5}, {11.5, 18}, {13.5, 16}, {18, 20}}));
}

void xmark(Sketch& s) {
    s.stroke(line({5.5, 5.5}, {18.5, 18.5}));
    s.stroke(line({18.5, 5.5}, {5.5, 18.5}));
}

void minus(Sketch& s) {
    // A bar rather than a hairline, so it reads as clearly as the plus beside it.
    s.fill(roundedRect({4, 10.6, 16, 2.8}, 1.4));
}

void trayAndArrowDown(Sketch& s) {
    s.stroke(
        polyline({{3, 13}, {8, 13}, {9.5, 16}, {14.5, 16}, {16, 13}, {21, 13}, {21, 19.5}, {3, 19.5}}, true));
    s.stroke(line({12, 2.5}, {12, 10.5}), true);
    s.stroke(polyline({{8.5, 7.5}, {12, 11}, {15.5, 7.5}}), true);
}

void doc(Sketch& s) {
    s.stroke(polyline({{14, 2.5},
                       {6.5, 2.5},
                       {4.5, 4.5},
                       {4.5, 19.5},
                       {6.5, 21.5},
                       {17.5, 21.5},
                       {19.5, 19.5},
                       {19.5, 8},
                       {14, 2.5}},
                      true));
    s.stroke(polyline({{14, 2.5}, {14, 8}, {19.5, 8}}), true);
}

void exclamationmarkTriangle(Sketch& s) {
    QPainterPath triangle(QPointF(10.3, 3.8));
    triangle.quadTo(QPointF(12, 1), QPointF(13.7, 3.8));
    triangle.lineTo(QPointF(21.6, 17.6));
    triangle.quadTo(QPointF(23.2, 20.6), QPointF(19.8, 20.6));
    triangle.lineTo(QPointF(4.2, 20.6));
    triangle.quadTo(QPointF(0.8, 20.6), QPointF(2.4, 17.6));
    triangle.closeSubpath();
    s.stroke(triangle);
    s.stroke(line({12, 8.5}, {12, 13.5}));
    s.fill(circle({12, 17}, 1.2));
}

// A calendar page with an exclamation badge at its lower right.
void calendarBadgeExclamationmark(Sketch& s) {
    s.stroke(polyline({{14, 20}, {5.5, 20}, {3, 17.5}, {3, 7.5}, {5.5, 5}, {18.5, 5}, {21, 7.5}, {21, 12}}));
    s.stroke(line({3, 10}, {21, 10}));
    s.stroke(line({8, 3}, {8, 6.5}));
    s.stroke(line({16, 3}, {16, 6.5}));
    s.stroke(line({19, 14.5}, {19, 18.5}), true);
    s.fill(circle({19, 21.5}, 1.1), true);
}

void checkmarkCircle(Sketch& s) {
    s.stroke(circle({12, 12}, 9.5));
    s.stroke(polyline({{7.8, 12.4}, {10.8, 15.4}, {16.4, 9}}));
}

// A clock face with an exclamation badge, filled so it reads on the small badge it sits in.
void clockBadgeExclamationmarkFill(Sketch& s) {
    QPainterPath face;
    face.setFillRule(Qt::OddEvenFill);
    face.addEllipse(QPointF(10.5, 12.5), 8.5, 8.5);
    face.addEllipse(QPointF(10.5, 12.5), 6.3, 6.3);
    s.fill(face);
    s.stroke(polyline({{10.5, 8}, {10.5, 12.5}, {13.5, 14.5}}));
    s.fill(roundedRect({19.6, 4, 2.8, 10}, 1.4));
    s.fill(circle({21, 18}, 1.6));
}

// A page with an arrow coming down into it.
void arrowDownDoc(Sketch& s) {
    s.stroke(polyline({{9, 3},
                       {6.5, 3},
                       {4.5, 5},
                       {4.5, 19},
                       {6.5, 21},
                       {17.5, 21},
                       {19.5, 19},
                       {19.5, 5},
                       {17.5, 3},
                       {15, 3}}));
    s.stroke(line({12, 2}, {12, 14}));
    s.stroke(polyline({{8.5, 10.5}, {12, 14}, {15.5, 10.5}}));
    s.stroke(line({8.5, 17.5}, {15.5, 17.5}), true);
}

void globe(Sketch& s) {
    s.stroke(circle({12, 12}, 9.5));
    QPainterPath meridian;
    meridian.addEllipse(QPointF(12, 12), 4.2, 9.5);
    s.stroke(meridian, true);
    s.stroke(line({2.5, 12}, {21.5, 12}), true);
    s.stroke(line({4, 7}, {20, 7}), true);
    s.stroke(line({4, 17}, {20, 17}), true);
}

void arrowRight(Sketch& s) {
    s.stroke(line({4, 12}, {20, 12}));
    s.stroke(polyline({{13.5, 5.5}, {20, 12}, {13.5, 18.5}}));
}

void arrowUpRight(Sketch& s) {
    s.stroke(line({6, 18}, {18, 6}));
    s.stroke(polyline({{9, 6}, {18, 6}, {18, 15}}));
}

void arrowUpAndDown(Sketch& s) {
    s.stroke(line({12, 3.5}, {12, 20.5}));
    s.stroke(polyline({{7.5, 8}, {12, 3.5}, {16.5, 8}}));
    s.stroke(polyline({{7.5, 16}, {12, 20.5}, {16.5, 16}}));
}

// Two arrows chasing each other round a circle: something being changed over.
void arrowTriangle2Circlepath(Sketch& s) {
    const QRectF box(4, 4, 16, 16);
    QPainterPath arcs;
    arcs.arcMoveTo(box, 20);
    arcs.arcTo(box, 20, 140);
    arcs.arcMoveTo(box, 200);
    arcs.arcTo(box, 200, 140);
    s.stroke(arcs);
    const QPointF c(12, 12);
    s.fill(polyline({polar(c, 8, 160) + QPointF(-3, -1), polar(c, 8, 160) + QPointF(3, -1),
                     polar(c, 8, 160) + QPointF(0, 3.5)},
                    true));
    s.fill(polyline({polar(c, 8, 340) + QPointF(-3, 1), polar(c, 8, 340) + QPointF(3, 1),
                     polar(c, 8, 340) + QPointF(0, -3.5)},
                    true));
}

// A circle with an arrow turning back inside it: undo.
void arrowUturnBackwardCircle(Sketch& s) {
    s.stroke(circle({12, 12}, 9.5));
    QPainterPath turn(QPointF(8, 10));
    turn.lineTo(13.5, 10);
    turn.cubicTo(QPointF(17.5, 10), QPointF(17.5, 16.5), QPointF(13.5, 16.5));
    turn.lineTo(10, 16.5);
    s.stroke(turn);
    s.stroke(polyline({{10.5, 7.5}, {8, 10}, {10.5, 12.5}}));
}

void bellBadge(Sketch& s, bool filled) {
    bell(s, filled);
    s.fill(circle({18.5, 5}, 3.4), true);
}

void chevronLeft(Sketch& s) {
    s.stroke(polyline({{15, 5.5}, {8, 12}, {15, 18.5}}));
}

// A chevron pointing at a bar: all the way to the start.
void chevronLeftToLine(Sketch& s) {
    s.stroke(polyline({{17, 5.5}, {10.5, 12}, {17, 18.5}}));
    s.stroke(line({6, 5}, {6, 19}));
}

// The pointer with lines of motion behind it.
QPainterPath cursorArrow(double dx, double dy) {
    return polyline({{8 + dx, 4 + dy},
                     {8 + dx, 19 + dy},
                     {11.5 + dx, 15.5 + dy},
                     {14 + dx, 21 + dy},
                     {16.2 + dx, 20 + dy},
                     {13.7 + dx, 14.6 + dy},
                     {18.5 + dx, 14.6 + dy}},
                    true);
}

void cursorarrowMotionlines(Sketch& s) {
    s.stroke(cursorArrow(3, -1.5));
    QPainterPath lines;
    lines.addPath(line({2.5, 8}, {7, 8}));
    lines.addPath(line({3.5, 12}, {7, 12}));
    lines.addPath(line({4.5, 16}, {7.5, 16}));
    s.stroke(lines, true);
}

// The pointer with the short rays of a click at its tip.
void cursorarrowClick(Sketch& s) {
    s.stroke(cursorArrow(2, 1));
    QPainterPath rays;
    rays.addPath(line({10, 2}, {10, 0.8}));
    rays.addPath(line({5, 5}, {3.8, 3.8}));
    rays.addPath(line({15, 5}, {16.2, 3.8}));
    rays.addPath(line({3, 10}, {1.5, 10}));
    s.stroke(rays, true);
}

// The replacement Dock: a screen with a row of tiles along its bottom.
void dockRectangle(Sketch& s) {
    s.stroke(roundedRect({2.5, 4, 19, 16}, 3));
    s.fill(roundedRect({6, 15, 12, 2.6}, 1.3));
}

// A laptop: its screen over a wider base.
void macbook(Sketch& s) {
    s.stroke(roundedRect({4.5, 5, 15, 10.5}, 1.8));
    s.stroke(polyline({{1.5, 18.5}, {22.5, 18.5}}));
    s.stroke(line({3, 18.5}, {4.5, 15.5}), true);
    s.stroke(line({21, 18.5}, {19.5, 15.5}), true);
}

// A dot sending waves to both sides.
void dotRadiowaves(Sketch& s) {
    const QPointF c(12, 12);
    s.fill(circle(c, 2));
    QPainterPath waves;
    for (double r : {5.0, 8.8}) {
        const QRectF box(c.x() - r, c.y() - r, 2 * r, 2 * r);
        waves.arcMoveTo(box, 140);
        waves.arcTo(box, 140, 80);
        waves.arcMoveTo(box, -40);
        waves.arcTo(box, -40, 80);
    }
    s.stroke(waves);
}

QPainterPath eyeOutline() {
    QPainterPath p(QPointF(2, 12));
    p.cubicTo(QPointF(6.5, 4.5), QPointF(17.5, 4.5), QPointF(22, 12));
    p.cubicTo(QPointF(17.5, 19.5), QPointF(6.5, 19.5), QPointF(2, 12));
    p.closeSubpath();
    return p;
}

void eye(Sketch& s, bool slashed) {
    s.stroke(eyeOutline());
    s.fill(circle({12, 12}, 3.2));
    if (slashed) s.stroke(line({4, 3}, {20, 21}));
}

// A folder: a tab on the back sheet, the front sheet filled.
QPainterPath folderShape() {
    QPainterPath p(QPointF(2.5, 7));
    p.quadTo(QPointF(2.5, 4.5), QPointF(5, 4.5));
    p.lineTo(9, 4.5);
    p.lineTo(11, 6.8);
    p.lineTo(19, 6.8);
    p.quadTo(QPointF(21.5, 6.8), QPointF(21.5, 9.3));
    p.lineTo(21.5, 17.5);
    p.quadTo(QPointF(21.5, 20), QPointF(19, 20));
    p.lineTo(5, 20);
    p.quadTo(QPointF(2.5, 20), QPointF(2.5, 17.5));
    p.closeSubpath();
    return p;
}

void folderFill(Sketch& s) {
    s.fill(folderShape());
}

// An open hand with a loop drawn by one finger.
QPainterPath handShape() {
    QPainterPath p(QPointF(7, 21));
    p.lineTo(5, 15.5);
    p.quadTo(QPointF(4.2, 13.2), QPointF(6.2, 13.4));
    p.lineTo(8, 15);
    p.lineTo(8, 6.5);
    p.quadTo(QPointF(8, 5), QPointF(9.3, 5));
    p.quadTo(QPointF(10.6, 5), QPointF(10.6, 6.5));
    p.lineTo(10.6, 11.5);
    p.lineTo(10.6, 4.5);
    p.quadTo(QPointF(10.6, 3), QPointF(11.9, 3));
    p.quadTo(QPointF(13.2, 3), QPointF(13.2, 4.5));
    p.lineTo(13.2, 11.5);
    p.lineTo(13.2, 5.5);
    p.quadTo(QPointF(13.2, 4), QPointF(14.5, 4));
    p.quadTo(QPointF(15.8, 4), QPointF(15.8, 5.5));
    p.lineTo(15.8, 12);
    p.lineTo(15.8, 8);
    p.quadTo(QPointF(15.8, 6.6), QPointF(17, 6.6));
    p.quadTo(QPointF(18.2, 6.6), QPointF(18.2, 8));
    p.lineTo(18.2, 16);
    p.quadTo(QPointF(18.2, 21), QPointF(14, 21));
    p.closeSubpath();
    return p;
}

void handDraw(Sketch& s, bool filled) {
    if (filled)
        s.fill(handShape());
    else
        s.stroke(handShape());
    QPainterPath squiggle(QPointF(19, 3));
    squiggle.cubicTo(QPointF(23, 1.5), QPointF(23.5, 6), QPointF(20.5, 6.5));
    s.stroke(squiggle, true);
}

// A finger pointing up and to the left, out of a closed hand.
QPainterPath pointingHand() {
    QPainterPath p(QPointF(9.5, 22));
    p.lineTo(7.5, 17);
    p.lineTo(5.5, 14.5);
    p.quadTo(QPointF(4.5, 12.8), QPointF(6.3, 12.6));
    p.lineTo(8.8, 14.2);
    p.lineTo(6.3, 6.2);
    p.quadTo(QPointF(5.9, 4.4), QPointF(7.4, 4.1));
    p.quadTo(QPointF(8.8, 3.9), QPointF(9.3, 5.4));
    p.lineTo(11.3, 11);
    p.lineTo(17.3, 11.5);
    p.quadTo(QPointF(19.8, 11.8), QPointF(19.5, 14.5));
    p.lineTo(18.8, 18.5);
    p.lineTo(17.5, 22);
    p.closeSubpath();
    return p;
}

void handPointUpLeft(Sketch& s) {
    s.stroke(pointingHand());
}

void handTapFill(Sketch& s) {
    QPainterPath hand;
    hand.addRoundedRect(QRectF(9.5, 8.5, 4, 9), 2, 2);
    hand.addRoundedRect(QRectF(8, 13.5, 10.5, 8.5), 3.5, 3.5);
    s.fill(hand.simplified());
    QPainterPath ripples;
    for (double radius : {3.2, 6.2}) {
        const QRectF box(11.5 - radius, 9.5 - radius, 2 * radius, 2 * radius);
        ripples.arcMoveTo(box, 35);
        ripples.arcTo(box, 35, 110);
    }
    s.stroke(ripples, true);
}

// A window with a hand pointing into it.
void rectangleAndHandPointUpLeft(Sketch& s) {
    s.stroke(polyline({{9, 16}, {4.5, 16}, {2.5, 14}, {2.5, 5}, {4.5, 3}, {17.5, 3}, {19.5, 5}, {19.5, 9}}),
             true);
    QTransform t;
    t.translate(5.5, 6.5);
    t.scale(0.72, 0.72);
    s.stroke(t.map(pointingHand()));
}

// Three lines getting shorter: a filter.
void line3HorizontalDecrease(Sketch& s) {
    s.stroke(line({3, 6.5}, {21, 6.5}));
    s.stroke(line({6.5, 12}, {17.5, 12}));
    s.stroke(line({10, 17.5}, {14, 17.5}));
}

void lockShield(Sketch& s) {
    s.stroke(shield());
    QPainterPath shackle(QPointF(9.8, 11.5));
    shackle.lineTo(9.8, 9.8);
    shackle.arcTo(QRectF(9.8, 7.6, 4.4, 4.4), 180, -180);
    shackle.lineTo(14.2, 11.5);
    s.stroke(shackle, true);
    s.fill(roundedRect({8.6, 11.2, 6.8, 5.4}, 1.2));
}

// A screen whose menu bar has an arrow rising out of it: items moved in the bar.
void menubarArrowUpRectangle(Sketch& s) {
    s.stroke(polyline({{9, 6},
                       {5.5, 6},
                       {3, 8.5},
                       {3, 19},
                       {5.5, 21.5},
                       {18.5, 21.5},
                       {21, 19},
                       {21, 8.5},
                       {18.5, 6},
                       {15, 6}}));
    s.stroke(line({3, 10.5}, {21, 10.5}), true);
    s.stroke(line({12, 12.5}, {12, 1.5}));
    s.stroke(polyline({{8.5, 5}, {12, 1.5}, {15.5, 5}}));
}

// A filled circle with a bar cut out of it.
void minusCircleFill(Sketch& s) {
    QPainterPath bar;
    bar.addRoundedRect(QRectF(6.5, 10.7, 11, 2.6), 1.3, 1.3);
    s.fill(circle({12, 12}, 10).subtracted(bar));
}

void power(Sketch& s) {
    const QRectF box(4, 4.5, 16, 16);
    QPainterPath ring;
    ring.arcMoveTo(box, 125);
    ring.arcTo(box, 125, 290);
    s.stroke(ring);
    s.stroke(line({12, 2.5}, {12, 11}));
}

// A stack of windows with an exclamation badge.
void rectangleStackBadgeExclamationmark(Sketch& s) {
    s.stroke(polyline({{14, 21}, {5, 21}, {3, 19}, {3, 11}, {5, 9}, {17, 9}, {19, 11}, {19, 13}}));
    s.stroke(line({5.5, 6}, {16.5, 6}), true);
    s.stroke(line({8, 3}, {14, 3}), true);
    s.stroke(line({20, 14}, {20, 18}));
    s.fill(circle({20, 21.3}, 1.2));
}

// A loop of two arrows: repeat.
void repeatGlyph(Sketch& s) {
    s.stroke(polyline({{4, 12}, {4, 8.5}, {6, 6.5}, {19, 6.5}}));
    s.stroke(polyline({{16, 3.5}, {19, 6.5}, {16, 9.5}}));
    s.stroke(polyline({{20, 12}, {20, 15.5}, {18, 17.5}, {5, 17.5}}));
    s.stroke(polyline({{8, 14.5}, {5, 17.5}, {8, 20.5}}));
}

// The return key: an arrow that comes down and turns left.
void returnGlyph(Sketch& s) {
    s.stroke(polyline({{19, 4.5}, {19, 14}, {5, 14}}));
    s.stroke(polyline({{9.5, 9.5}, {5, 14}, {9.5, 18.5}}));
}

// Two switches, one on and one off.
void switch2(Sketch& s) {
    s.stroke(roundedRect({3, 3.5, 18, 7}, 3.5));
    s.fill(circle({17.5, 7}, 2.2));
    s.stroke(roundedRect({3, 13.5, 18, 7}, 3.5));
    s.stroke(circle({6.5, 17}, 2.2), true);
}

void trashFill(Sketch& s) {
    s.stroke(line({4, 6}, {20, 6}));
    s.stroke(polyline({{9, 6}, {9, 3.5}, {15, 3.5}, {15, 6}}));
    QPainterPath bin = polyline({{6, 6}, {7, 20.5}, {17, 20.5}, {18, 6}}, true);
    QPainterPath slots;
    slots.addRoundedRect(QRectF(9.3, 9.5, 1.4, 7.5), 0.7, 0.7);
    slots.addRoundedRect(QRectF(13.3, 9.5, 1.4, 7.5), 0.7, 0.7);
    s.fill(bin.subtracted(slots));
}

void trayFullFill(Sketch& s) {
    QPainterPath tray =
        polyline({{3, 13}, {8, 13}, {9.5, 16}, {14.5, 16}, {16, 13}, {21, 13}, {21, 19.5}, {3, 19.5}}, true);
    s.fill(tray);
    QPainterPath papers;
    papers.addPath(line({6, 4}, {18, 4}));
    papers.addPath(line({5, 7}, {19, 7}));
    papers.addPath(line({4, 10}, {20, 10}));
    s.stroke(papers, true);
}

// Bars of a sound wave, tall in the middle.
void waveform(Sketch& s) {
    const double heights[] = {3, 8, 14, 18, 11, 6, 12, 4};
    QPainterPath bars;
    for (int i = 0; i < 8; ++i) {
        const double x = 3.5 + i * 2.45;
        bars.addPath(line({x, 12 - heights[i] / 2}, {x, 12 + heights[i] / 2}));
    }
    s.stroke(bars);
}

// A soft, even wave.
void waveformPath(Sketch& s) {
    QPainterPath p(QPointF(2, 12));
    p.cubicTo(QPointF(4.5, 4), QPointF(7, 4), QPointF(9.5, 12));
    p.cubicTo(QPointF(12, 20), QPointF(14.5, 20), QPointF(17, 12));
    p.cubicTo(QPointF(18.5, 7), QPointF(20.5, 7), QPointF(22, 12));
    s.stroke(p);
}

void waveformPathEcgRectangle(Sketch& s) {
    s.stroke(roundedRect({2, 4, 20, 16}, 3));
    s.stroke(polyline({{4.5, 12.5},
                       {8, 12.5},
                       {9.5, 9},
                       {11.5, 16.5},
                       {14, 7},
                       {15.8, 13.5},
                       {17, 12.5},
                       {19.5, 12.5}}),
             true);
}

// An application's tile: a rounded square, filled.
void appFill(Sketch& s) {
    s.fill(roundedRect({3.5, 3.5, 17, 17}, 4.5));
}

// A battery a quarter full.
void battery25(Sketch& s) {
    s.stroke(roundedRect({2, 7, 18, 10}, 2.5));
    s.fill(roundedRect({20.8, 10, 1.8, 4}, 0.8), true);
    s.fill(roundedRect({4, 9, 4, 6}, 1));
}

void clockFill(Sketch& s) {
    const QPainterPath hands = polyline({{12, 6.5}, {12, 12}, {16, 14.5}});
    s.fill(circle({12, 12}, 10).subtracted(outlineOf(hands, 2.2)));
}

// A person waving: the accessibility figure.
void figureWave(Sketch& s) {
    s.fill(circle({11, 4}, 2.2));
    QPainterPath body;
    body.addPath(polyline({{11, 7.5}, {11.5, 14}}));
    body.addPath(polyline({{11.5, 14}, {8.5, 21}}));
    body.addPath(polyline({{11.5, 14}, {14.5, 21}}));
    body.addPath(polyline({{5, 9.5}, {11, 8.5}, {17.5, 4}}));
    s.stroke(body);
    QPainterPath wave;
    wave.addPath(line({19.5, 1.5}, {20.5, 3}));
    wave.addPath(line({21, 5.5}, {22.5, 5.5}));
    s.stroke(wave, true);
}

QPainterPath stackLayer(double y) {
    return polyline({{12, y}, {21, y + 4.5}, {12, y + 9}, {3, y + 4.5}}, true);
}

// Three stacked layers seen from above.
void squareStack3dUp(Sketch& s, bool filled) {
    s.stroke(polyline({{3, 14}, {12, 18.5}, {21, 14}}), true);
    s.stroke(polyline({{3, 10.5}, {12, 15}, {21, 10.5}}), true);
    if (filled)
        s.fill(stackLayer(2.5));
    else
        s.stroke(stackLayer(2.5));
}

// A wand with stars around its tip.
void wandAndStars(Sketch& s) {
    s.stroke(line({3.5, 20.5}, {14, 10}));
    s.fill(star({18, 6}, 4));
    s.fill(star({8.5, 5}, 2.4), true);
    s.fill(star({19.5, 15.5}, 2.4), true);
}

void xmarkCircle(Sketch& s) {
    s.stroke(circle({12, 12}, 9.5));
    s.stroke(line({8.5, 8.5}, {15.5, 15.5}));
    s.stroke(line({15.5, 8.5}, {8.5, 15.5}));
}

// A speaker cone over a screen's edge: sending the sound, and here the files, to another device.
void airplayaudio(Sketch& s) {
    QPainterPath rings;
    for (double r : {4.5, 8.5}) {
        const QRectF box(12 - r, 11 - r, 2 * r, 2 * r);
        rings.arcMoveTo(box, -30);
        rings.arcTo(box, -30, 240);
    }
    s.stroke(rings);
    s.fill(polyline({{12, 13.5}, {17.5, 21}, {6.5, 21}}, true));
}

// A telescopic sight: a ring with crosshairs.
void scope(Sketch& s) {
    s.stroke(circle({12, 12}, 8));
    QPainterPath hairs;
    hairs.addPath(line({12, 1.5}, {12, 7}));
    hairs.addPath(line({12, 17}, {12, 22.5}));
    hairs.addPath(line({1.5, 12}, {7, 12}));
    hairs.addPath(line({17, 12}, {22.5, 12}));
    s.stroke(hairs);
    s.fill(circle({12, 12}, 1.5), true);
}

struct Entry {
    const char* name;
    void (*draw)(Sketch&);
};

// One row per symbol name.
const Entry kTable[] = {
    {"sparkles", sparkles},
    {"doc.on.clipboard", docOnClipboard},
    {"calendar", calendar},
    {"timer", timer},
    {"stopwatch", stopwatch},
    {"gauge.with.dots.needle.67percent", gaugeWithDotsNeedle67},
    {"note.text", noteText},
    {"tray.full", trayFull},
    {"camera", camera},
    {"bookmark", bookmark},
    {"bell", [](Sketch& s) { bell(s, false); }},
    {"bell.fill", [](Sketch& s) { bell(s, true); }},
    {"cpu", cpu},
    {"memorychip", memorychip},
    {"network", network},
    {"arrow.down", [](Sketch& s) { arrow(s, true); }},
    {"arrow.up", [](Sketch& s) { arrow(s, false); }},
    {"waveform.path.ecg", waveformPathEcg},
    {"camera.fill", cameraFill},
    {"video.slash", videoSlash},
    {"chevron.left.2", [](Sketch& s) { chevrons(s, false); }},
    {"chevron.right.2", [](Sketch& s) { chevrons(s, true); }},
    {"chevron.up", chevronUp},
    {"play.fill", playFill},
    {"pause.fill", pauseFill},
    {"forward.fill", [](Sketch& s) { skipFill(s, true); }},
    {"backward.fill", [](Sketch& s) { skipFill(s, false); }},
    {"questionmark.circle", questionmarkCircle},
    {"info.circle", infoCircle},
    {"exclamationmark.triangle.fill", exclamationmarkTriangleFill},
    {"chevron.up.chevron.down", chevronUpChevronDown},
    // The control-center shell and its onboarding.
    {"command", command},
    {"checkmark.circle.fill", checkmarkCircleFill},
    {"circle.dashed", circleDashed},
    {"capsule.tophalf.filled", capsuleTophalfFilled},
    {"menubar.rectangle", menubarRectangle},
    {"hand.tap", handTap},
    {"circle.lefthalf.filled", circleLefthalfFilled},
    {"checkmark.shield", checkmarkShield},
    {"checkmark.shield.fill", checkmarkShieldFill},
    {"sparkle.magnifyingglass", sparkleMagnifyingglass},
    {"swift", swift},
    {"lock.fill", lockFill},
    {"square.grid.2x2", squareGrid2x2},
    {"pin", [](Sketch& s) { pin(s, false, false); }},
    {"pin.fill", [](Sketch& s) { pin(s, true, false); }},
    {"pin.slash", [](Sketch& s) { pin(s, false, true); }},
    {"doc.text", docText},
    {"doc.on.doc", docOnDoc},
    {"ellipsis.circle", ellipsisCircle},
    {"magnifyingglass", magnifyingglass},
    {"plus", plus},
    {"checklist", checklist},
    {"trash", trash},
    {"circle",
     [](Sketch& s) {
         s.stroke(circle({12, 12}, 9.5));
     }},
    {"chevron.right", chevronRight},
    {"chevron.down", chevronDown},
    {"keyboard", keyboard},
    {"square.and.pencil", squareAndPencil},
    {"photo", photo},
    {"photo.on.rectangle.angled", photoOnRectangleAngled},
    {"xmark", xmark},
    {"minus", minus},
    {"tray.and.arrow.down", trayAndArrowDown},
    {"doc", doc},
    {"exclamationmark.triangle", exclamationmarkTriangle},
    {"calendar.badge.exclamationmark", calendarBadgeExclamationmark},
    {"checkmark.circle", checkmarkCircle},
    {"clock.badge.exclamationmark.fill", clockBadgeExclamationmarkFill},
    {"arrow.down.doc", arrowDownDoc},
    {"globe", globe},
    // The pages, organizer, Dock, trackpad and automation views, and the command palette.
    {"arrow.right", arrowRight},
    {"arrow.up.right", arrowUpRight},
    {"arrow.up.and.down", arrowUpAndDown},
    {"arrow.triangle.2.circlepath", arrowTriangle2Circlepath},
    {"arrow.uturn.backward.circle", arrowUturnBackwardCircle},
    {"bell.badge", [](Sketch& s) { bellBadge(s, false); }},
    {"bell.badge.fill", [](Sketch& s) { bellBadge(s, true); }},
    {"chevron.left", chevronLeft},
    {"chevron.left.to.line", chevronLeftToLine},
    {"circle.fill",
     [](Sketch& s) {
         s.fill(circle({12, 12}, 9.5));
     }},
    {"cursorarrow.motionlines", cursorarrowMotionlines},
    {"cursorarrow.click", cursorarrowClick},
    {"dock.rectangle", dockRectangle},
    {"macbook", macbook},
    {"dot.radiowaves.left.and.right", dotRadiowaves},
    {"eye", [](Sketch& s) { eye(s, false); }},
    {"eye.slash", [](Sketch& s) { eye(s, true); }},
    {"folder.fill", folderFill},
    {"hand.draw", [](Sketch& s) { handDraw(s, false); }},
    {"hand.draw.fill", [](Sketch& s) { handDraw(s, true); }},
    {"hand.point.up.left", handPointUpLeft},
    {"hand.tap.fill", handTapFill},
    {"rectangle.and.hand.point.up.left", rectangleAndHandPointUpLeft},
    {"line.3.horizontal.decrease", line3HorizontalDecrease},
    {"lock.shield", lockShield},
    {"menubar.arrow.up.rectangle", menubarArrowUpRectangle},
    {"minus.circle.fill", minusCircleFill},
    {"power", power},
    {"rectangle.stack.badge.exclamationmark", rectangleStackBadgeExclamationmark},
    {"repeat", repeatGlyph},
    {"return", returnGlyph},
    {"switch.2", switch2},
    {"trash.fill", trashFill},
    {"tray.full.fill", trayFullFill},
    {"waveform", waveform},
    {"waveform.path", waveformPath},
    {"waveform.path.ecg.rectangle", waveformPathEcgRectangle},
    {"app.fill", appFill},
    {"battery.25", battery25},
    {"clock.fill", clockFill},
    {"figure.wave", figureWave},
    {"square.stack.3d.up", [](Sketch& s) { squareStack3dUp(s, false); }},
    {"square.stack.3d.up.fill", [](Sketch& s) { squareStack3dUp(s, true); }},
    {"wand.and.stars", wandAndStars},
    {"xmark.circle", xmarkCircle},
    {"airplayaudio", airplayaudio},
    {"scope", scope},
};

const Entry* find(QStringView name) {
    for (const Entry& entry : kTable)
        if (name == QLatin1StringView(entry.name)) return &entry;
    return nullptr;
}

} // namespace

bool contains(QStringView name) {
    return find(name) != nullptr;
}

QStringList names() {
    QStringList out;
    for (const Entry& entry : kTable) out << QLatin1StringView(entry.name);
    return out;
}

std::vector<GlyphLayer> layers(QStringView name) {
    Sketch sketch;
    const Entry* entry = find(name);
    (entry ? entry->draw : fallback)(sketch);
    return sketch.take();
}

namespace {

// The layers of each glyph painted so far: views repaint the same few glyphs every second, and
// sketching one builds all of its paths anew. The catalogue is fixed, so the cache stays small;
// names it does not know share the fallback's entry. For the main thread only, like every view.
const std::vector<GlyphLayer>& drawnLayers(QStringView name) {
    static std::unordered_map<const Entry*, std::vector<GlyphLayer>> sketched;
    const Entry* entry = find(name);
    auto known = sketched.find(entry);
    if (known == sketched.end()) known = sketched.emplace(entry, layers(name)).first;
    return known->second;
}

} // namespace

double strokeWidth(QFont::Weight weight) {
    // From 1.2 units at the thinnest weight to 3.2 at the blackest, in even steps.
    const double w = std::clamp(int(weight), 100, 900);
    return 1.2 + (w - 100) / 800.0 * 2.0;
}

void paint(QPainter& painter, QStringView name, const QRectF& box, const QColor& color,
           QFont::Weight weight) {
    if (box.isEmpty()) return;
    const double side = std::min(box.width(), box.height());
    const double scale = side / kBoxSide;
    const QPointF origin = box.center() - QPointF(side / 2, side / 2);
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.translate(origin);
    painter.scale(scale, scale);
    QColor secondary = color;
    secondary.setAlphaF(float(color.alphaF() * kSecondaryOpacity));
    for (const GlyphLayer& layer : drawnLayers(name)) {
        const QColor c = layer.secondary ? secondary : color;
        if (layer.stroked) {
            painter.setPen(QPen(c, strokeWidth(weight), Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
            painter.setBrush(Qt::NoBrush);
        } else {
            painter.setPen(Qt::NoPen);
            painter.setBrush(c);
        }
        painter.drawPath(layer.path);
    }
    painter.restore();
}

} // namespace vantrel::GlyphCatalogue
