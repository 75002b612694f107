#include "kit/GlyphCatalogue.h"

#include <QPainter>
#include <QtMath>
#include <algorithm>
#include <cmath>

namespace vantrel::GlyphCatalogue {

namespace {

// Collects the layers of one drawing.
class Sketch {
public:
    void stroke(const QPainterPath& path, bool secondary = false) { layers_.push_back({path, true, secondary}); }
    void fill(const QPainterPath& path, bool secondary = false) { layers_.push_back({path, false, secondary}); }
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
        if (p.elementCount() == 0) p.moveTo(point);
        else p.lineTo(point);
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
    s.stroke(polyline({{3, 13}, {8, 13}, {9.5, 16}, {14.5, 16}, {16, 13}, {21, 13}, {21, 19.5}, {3, 19.5}}, true));
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
    if (filled) s.fill(p);
    else s.stroke(p);
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
    s.stroke(polyline({{2, 12.5}, {7, 12.5}, {9, 8}, {11.5, 19}, {14.5, 4}, {17, 14}, {18.5, 12.5}, {22, 12.5}}));
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
    {"exclamationmark.triangle.fill", exclamationmarkTriangleFill},
    {"chevron.up.chevron.down", chevronUpChevronDown},
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

double strokeWidth(QFont::Weight weight) {
    // From 1.2 units at the thinnest weight to 3.2 at the blackest, in even steps.
    const double w = std::clamp(int(weight), 100, 900);
    return 1.2 + (w - 100) / 800.0 * 2.0;
}

void paint(QPainter& painter, QStringView name, const QRectF& box, const QColor& color, QFont::Weight weight) {
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
