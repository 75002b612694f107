#include "kit/GlyphCatalogue.h"

#include <QPainter>
#include <QPainterPath>
#include <QTransform>
#include <QtMath>
#include <algorithm>
#include <cmath>

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
        for (double x : {7.5, 12.0, 16.5})
            dots.addEllipse(QPointF(x, y), 1.1, 1.1);
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
    for (int i = 0; i <= 6; ++i)
        dots.addEllipse(polar(c, 6, 225 - i * 45.0), 0.9, 0.9);
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

void chevrons(Sketch& s, bool right) {
    const double dir = right ? 1 : -1;
    for (double x : {9.0, 15.0})
        s.stroke(polyline({{x - 3 * dir, 6}, {x + 3 * dir, 12}, {x - 3 * dir, 18}}));
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

void command(Sketch& s) {
    // Four loops joined by a square: the keyboard's command key.
    QPainterPath p;
    p.moveTo(9, 9);
    p.lineTo(9, 6.5);
    p.arcTo(QRectF(4, 4, 5, 5), 0, 270);
    p.lineTo(15, 9);
    p.lineTo(17.5, 9);
    p.arcTo(QRectF(15, 4, 5, 5), 270, 270);
    p.lineTo(15, 15);
    p.lineTo(15, 17.5);
    p.arcTo(QRectF(15, 15, 5, 5), 180, 270);
    p.lineTo(9, 15);
    p.lineTo(6.5, 15);
    p.arcTo(QRectF(4, 15, 5, 5), 90, 270);
    p.closeSubpath();
    s.stroke(p);
}

void capsuleTophalfFilled(Sketch& s) {
    s.stroke(roundedRect({2.5, 6, 19, 12}, 6));
    QPainterPath top;
    top.moveTo(3, 12);
    top.arcTo(QRectF(2.5, 6, 12, 12), 180, -90);
    top.lineTo(15.5, 6);
    top.arcTo(QRectF(9.5, 6, 12, 12), 90, -90);
    top.closeSubpath();
    s.fill(top);
}

void menubarRectangle(Sketch& s) {
    s.stroke(roundedRect({3, 4.5, 18, 15}, 2.5));
    s.fill(roundedRect({3, 4.5, 18, 4.5}, 2));
}

void handTap(Sketch& s) {
    // A raised finger over a palm, with the tap's ring above the fingertip.
    QPainterPath hand(QPointF(10, 21));
    hand.lineTo(7, 16.5);
    hand.quadTo(6, 14.5, 7.5, 14.2);
    hand.lineTo(9.5, 15.5);
    hand.lineTo(9.5, 7.5);
    hand.quadTo(10.7, 5.8, 12, 7.5);
    hand.lineTo(12, 12.5);
    hand.lineTo(17, 13.3);
    hand.quadTo(18.5, 13.7, 18.2, 15.5);
    hand.lineTo(17, 21);
    s.stroke(hand);
    QPainterPath ring;
    ring.arcMoveTo(QRectF(7, 1.5, 8, 8), 200);
    ring.arcTo(QRectF(7, 1.5, 8, 8), 200, -220);
    s.stroke(ring, true);
}

void bell(Sketch& s) {
    QPainterPath body(QPointF(4, 17.5));
    body.lineTo(6, 15);
    body.lineTo(6, 10.5);
    body.cubicTo(6, 6.5, 8.5, 4, 12, 4);
    body.cubicTo(15.5, 4, 18, 6.5, 18, 10.5);
    body.lineTo(18, 15);
    body.lineTo(20, 17.5);
    body.closeSubpath();
    s.stroke(body);
    QPainterPath clapper;
    clapper.arcMoveTo(QRectF(9.5, 17.5, 5, 4.5), 180);
    clapper.arcTo(QRectF(9.5, 17.5, 5, 4.5), 180, 180);
    s.stroke(clapper);
}

void circleLefthalfFilled(Sketch& s) {
    s.stroke(circle({12, 12}, 9));
    QPainterPath half(QPointF(12, 3));
    half.arcTo(QRectF(3, 3, 18, 18), 90, 180);
    half.closeSubpath();
    s.fill(half);
}

QPainterPath shield() {
    QPainterPath p(QPointF(12, 2.5));
    p.lineTo(19.5, 5.5);
    p.lineTo(19.5, 11);
    p.cubicTo(19.5, 16, 16.5, 19.5, 12, 21.5);
    p.cubicTo(7.5, 19.5, 4.5, 16, 4.5, 11);
    p.lineTo(4.5, 5.5);
    p.closeSubpath();
    return p;
}

void checkmarkShield(Sketch& s) {
    s.stroke(shield());
    s.stroke(polyline({{8.5, 12}, {11, 14.5}, {15.5, 9.5}}));
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
    for (double x : {6.0, 9.5, 13.0, 16.5})
        keys.addRoundedRect(QRectF(x - 1, 9, 2, 2), 0.5, 0.5);
    for (double x : {7.75, 11.25, 14.75})
        keys.addRoundedRect(QRectF(x - 1, 12, 2, 2), 0.5, 0.5);
    keys.addRoundedRect(QRectF(8, 15.2, 8, 1.8), 0.6, 0.6);
    s.fill(keys, true);
}

void checkmarkCircleFill(Sketch& s) {
    // The tick is cut out of the filled disc.
    QPainterPath disc = circle({12, 12}, 10);
    QPainterPathStroker stroker;
    stroker.setWidth(2.4);
    stroker.setCapStyle(Qt::RoundCap);
    stroker.setJoinStyle(Qt::RoundJoin);
    const QPainterPath tick = stroker.createStroke(polyline({{7.5, 12.2}, {10.6, 15.2}, {16.5, 8.8}}));
    s.fill(disc.subtracted(tick));
}

void squareAndPencil(Sketch& s) {
    s.stroke(polyline({{12, 4.5}, {6, 4.5}, {4, 6.5}, {4, 18}, {6, 20}, {17.5, 20}, {19.5, 18}, {19.5, 12}}));
    s.stroke(polyline({{10, 14}, {10.5, 11.5}, {18.5, 3.5}, {20.5, 5.5}, {12.5, 13.5}}, true));
}

void pinFill(Sketch& s) {
    QPainterPath head;
    head.addRoundedRect(QRectF(8, 2.5, 8, 3), 1, 1);
    head.moveTo(9, 5.5);
    head.lineTo(8.5, 11);
    head.lineTo(5.5, 14);
    head.lineTo(18.5, 14);
    head.lineTo(15.5, 11);
    head.lineTo(15, 5.5);
    head.closeSubpath();
    s.fill(head.simplified());
    s.stroke(line({12, 14}, {12, 21.5}));
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

void plus(Sketch& s) {
    s.stroke(line({5, 12}, {19, 12}));
    s.stroke(line({12, 5}, {12, 19}));
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

void fallback(Sketch& s) {
    s.stroke(roundedRect({4.5, 4.5, 15, 15}, 4));
    s.fill(circle({12, 12}, 2), true);
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
    {"chevron.left.2", [](Sketch& s) { chevrons(s, false); }},
    {"chevron.right.2", [](Sketch& s) { chevrons(s, true); }},
    {"chevron.up", chevronUp},
    {"play.fill", playFill},
    {"pause.fill", pauseFill},
    {"forward.fill", [](Sketch& s) { skipFill(s, true); }},
    {"backward.fill", [](Sketch& s) { skipFill(s, false); }},
    {"questionmark.circle", questionmarkCircle},
    {"exclamationmark.triangle.fill", exclamationmarkTriangleFill},
    {"chevron.up.chevron.down", chevronUpChevronDown},
    {"command", command},
    {"capsule.tophalf.filled", capsuleTophalfFilled},
    {"menubar.rectangle", menubarRectangle},
    {"hand.tap", handTap},
    {"bell", bell},
    {"circle.lefthalf.filled", circleLefthalfFilled},
    {"checkmark.shield", checkmarkShield},
    {"chevron.right", chevronRight},
    {"chevron.down", chevronDown},
    {"keyboard", keyboard},
    {"checkmark.circle.fill", checkmarkCircleFill},
    {"square.and.pencil", squareAndPencil},
    {"pin.fill", pinFill},
    {"photo", photo},
    {"photo.on.rectangle.angled", photoOnRectangleAngled},
    {"xmark", xmark},
    {"minus", minus},
    {"plus", plus},
    {"tray.and.arrow.down", trayAndArrowDown},
    {"doc", doc},
    {"exclamationmark.triangle", exclamationmarkTriangle},
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
    for (const Entry& entry : kTable)
        out << QLatin1StringView(entry.name);
    return out;
}

std::vector<GlyphLayer> layers(QStringView name) {
    Sketch sketch;
    const Entry* entry = find(name);
    (entry ? entry->draw : fallback)(sketch);
    return sketch.take();
}

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
    for (const GlyphLayer& layer : layers(name)) {
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
