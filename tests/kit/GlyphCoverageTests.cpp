#include "KitRender.h"
#include "kit/GlyphCatalogue.h"
#include "kit/VantrelTheme.h"

#include <QDirIterator>
#include <QFile>
#include <QRegularExpression>
#include <QSet>
#include <QTransform>
#include <gtest/gtest.h>
#include <tuple>
#include <vector>

using namespace vantrel;
using namespace vantrel::test;

namespace {

// Every system symbol the product's screens name, the notch tabs and the settings pages, the
// shell, the organizer, the Dock, the trackpad and automation views and the command palette.
const QStringList kNamedSymbols = {"airplayaudio",
                                   "app.fill",
                                   "arrow.down",
                                   "arrow.down.doc",
                                   "arrow.right",
                                   "arrow.triangle.2.circlepath",
                                   "arrow.up",
                                   "arrow.up.and.down",
                                   "arrow.up.right",
                                   "arrow.uturn.backward.circle",
                                   "backward.fill",
                                   "battery.25",
                                   "bell",
                                   "bell.badge",
                                   "bell.badge.fill",
                                   "bell.fill",
                                   "bookmark",
                                   "calendar",
                                   "calendar.badge.exclamationmark",
                                   "camera",
                                   "camera.fill",
                                   "capsule.tophalf.filled",
                                   "checklist",
                                   "checkmark.circle",
                                   "checkmark.circle.fill",
                                   "checkmark.shield",
                                   "checkmark.shield.fill",
                                   "chevron.down",
                                   "chevron.left",
                                   "chevron.left.2",
                                   "chevron.left.to.line",
                                   "chevron.right",
                                   "chevron.right.2",
                                   "chevron.up",
                                   "chevron.up.chevron.down",
                                   "circle",
                                   "circle.dashed",
                                   "circle.fill",
                                   "circle.lefthalf.filled",
                                   "clock.badge.exclamationmark.fill",
                                   "clock.fill",
                                   "command",
                                   "cpu",
                                   "cursorarrow.click",
                                   "cursorarrow.motionlines",
                                   "doc",
                                   "doc.on.clipboard",
                                   "doc.on.doc",
                                   "doc.text",
                                   "dock.rectangle",
                                   "dot.radiowaves.left.and.right",
                                   "ellipsis.circle",
                                   "exclamationmark.triangle",
                                   "exclamationmark.triangle.fill",
                                   "eye",
                                   "eye.slash",
                                   "figure.wave",
                                   "folder.fill",
                                   "forward.fill",
                                   "gauge.with.dots.needle.67percent",
                                   "globe",
                                   "hand.draw",
                                   "hand.draw.fill",
                                   "hand.point.up.left",
                                   "hand.tap",
                                   "hand.tap.fill",
                                   "keyboard",
                                   "line.3.horizontal.decrease",
                                   "lock.fill",
                                   "lock.shield",
                                   "macbook",
                                   "magnifyingglass",
                                   "memorychip",
                                   "menubar.arrow.up.rectangle",
                                   "menubar.rectangle",
                                   "minus",
                                   "minus.circle.fill",
                                   "network",
                                   "note.text",
                                   "pause.fill",
                                   "photo",
                                   "photo.on.rectangle.angled",
                                   "pin",
                                   "pin.fill",
                                   "pin.slash",
                                   "play.fill",
                                   "plus",
                                   "power",
                                   "questionmark.circle",
                                   "rectangle.and.hand.point.up.left",
                                   "rectangle.stack.badge.exclamationmark",
                                   "repeat",
                                   "return",
                                   "scope",
                                   "sparkle.magnifyingglass",
                                   "sparkles",
                                   "square.and.pencil",
                                   "square.grid.2x2",
                                   "square.stack.3d.up",
                                   "square.stack.3d.up.fill",
                                   "stopwatch",
                                   "swift",
                                   "switch.2",
                                   "timer",
                                   "trash",
                                   "trash.fill",
                                   "tray.and.arrow.down",
                                   "tray.full",
                                   "tray.full.fill",
                                   "video.slash",
                                   "wand.and.stars",
                                   "waveform",
                                   "waveform.path",
                                   "waveform.path.ecg",
                                   "waveform.path.ecg.rectangle",
                                   "xmark",
                                   "xmark.circle"};

QImage drawn(const QString& name, int side, QColor color, double ratio = 1) {
    QImage image(QSize(side, side) * ratio, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(ratio);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    GlyphCatalogue::paint(painter, name, QRectF(0, 0, side, side), color, QFont::DemiBold);
    return image;
}

// A literal the sources pass where a symbol name goes: lower-case words joined by dots.
const QRegularExpression kLiteral(QStringLiteral(R"re("([a-z][a-z0-9]*(?:\.[a-z0-9]+)*)")re"));
// Words that mark a line as handling a symbol.
const QRegularExpression kSymbolWords(QStringLiteral("glyph|symbol|systemname|icon"),
                                      QRegularExpression::CaseInsensitiveOption);
// Statements whose dotted literals name something else: settings and stored keys, widget and
// queue names, properties.
const QRegularExpression kOtherNames(QStringLiteral(R"re(key\b|Key|ObjectName|objectName|findChild|)re"
                                                    R"re(Property|property\(|Queue|\bX\()re"));
// File names, host names and reverse-domain identifiers.
const QRegularExpression kNotSymbol(QStringLiteral(R"re(\.(json|desktop|ics|png|jpe?g|gif|webp|heic|)re"
                                                   R"re(tiff?|svg|wav|txt|log|com|org|net|tv|io)$|)re"
                                                   R"re(^(com|org|net|io)\.)re"));

// Symbol names the sources use, each with a file that uses it: every dotted literal that is not a
// key, a file, a host or a widget name, and any literal on a line that speaks of a glyph, a symbol
// or an icon. The catalogue's own table is where they are drawn, not used.
QMap<QString, QString> symbolNamesInSources() {
    QMap<QString, QString> found;
    const QString root = QStringLiteral(VANTREL_SOURCE_DIR "/src");
    QDirIterator files(root, {QStringLiteral("*.cpp"), QStringLiteral("*.h")}, QDir::Files,
                       QDirIterator::Subdirectories);
    static const QRegularExpression comment(QStringLiteral("//[^\n]*"));
    static const QRegularExpression statement(QStringLiteral("[^;{}]*[;{}]"));
    while (files.hasNext()) {
        const QString path = files.next();
        // The catalogue draws the names rather than using them; the command line's option names
        // ("-icon", "-qwindowicon") are words of Qt's, not symbols.
        const QString base = QFileInfo(path).baseName();
        if (base == u"GlyphCatalogue" || base == u"CommandLine") continue;
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly)) {
            ADD_FAILURE() << "cannot read " << path.toStdString();
            continue;
        }
        const QString text = QString::fromUtf8(file.readAll()).remove(comment);
        for (const QRegularExpressionMatch& st : statement.globalMatch(text)) {
            const QString code = st.captured();
            if (kOtherNames.match(code).hasMatch()) continue;
            for (const QRegularExpressionMatch& literal : kLiteral.globalMatch(code)) {
                const QString name = literal.captured(1);
                if (kNotSymbol.match(name).hasMatch()) continue;
                const qsizetype start = code.lastIndexOf(QLatin1Char('\n'), literal.capturedStart()) + 1;
                const QString line =
                    code.mid(start, code.indexOf(QLatin1Char('\n'), literal.capturedEnd()) - start);
                if (name.contains(QLatin1Char('.')) || kSymbolWords.match(line).hasMatch())
                    found.insert(name, QDir(root).relativeFilePath(path));
            }
        }
    }
    return found;
}

} // namespace

TEST(GlyphCoverage, EverySymbolTheSourcesUseHasItsOwnDrawing) {
    const QMap<QString, QString> used = symbolNamesInSources();
    // The scan finds the names of the tab rail, the onboarding and the home page.
    for (const char* known :
         {"doc.on.clipboard", "circle.dashed", "checkmark.circle.fill", "command", "capsule.tophalf.filled"})
        EXPECT_TRUE(used.contains(QLatin1StringView(known))) << known;
    for (auto it = used.begin(); it != used.end(); ++it)
        EXPECT_TRUE(GlyphCatalogue::contains(it.key()))
            << "\"" << it.key().toStdString() << "\" in " << it.value().toStdString() << " has no glyph";
}

TEST(GlyphCoverage, EveryNamedSymbolIsItsOwnRecognisableDrawingAtEverySize) {
    const QImage fallback = drawn(QStringLiteral("no.such.symbol"), 28, Qt::white);
    QMap<QByteArray, QString> seen;
    QList<QImage> cells;
    const QColor dark = VantrelTheme::surface().dark;
    const QColor light = VantrelTheme::surface().light;
    for (const QString& name : kNamedSymbols) {
        SCOPED_TRACE(name.toStdString());
        EXPECT_TRUE(GlyphCatalogue::contains(name));
        const QImage big = drawn(name, 28, Qt::white);
        EXPECT_NE(big, fallback);
        // No two names share a drawing.
        const QByteArray key(reinterpret_cast<const char*>(big.constBits()), big.sizeInBytes());
        EXPECT_FALSE(seen.contains(key)) << "same drawing as " << seen.value(key).toStdString();
        seen.insert(key, name);
        // Readable from 12 to 28 points, in both appearances and on a 2x screen: ink in the box,
        // none outside it beyond half a stroke.
        for (int side : {12, 16, 20, 28}) {
            for (double ratio : {1.0, 2.0}) {
                const QImage image = drawn(name, side, Qt::black, ratio);
                const int ink = paintedPixels(image, image.rect());
                EXPECT_GT(ink, side * side * ratio * ratio / 30) << side << "@" << ratio;
            }
        }

        // One sheet cell: the name, then the glyph at 12, 16, 20 and 28 on the dark surface, at 28
        // on the light one, and at 14 drawn for a 2x screen.
        QImage cell(330, 44, QImage::Format_ARGB32_Premultiplied);
        cell.fill(dark);
        QPainter painter(&cell);
        painter.fillRect(QRect(250, 0, 80, 44), light);
        painter.setPen(Qt::white);
        QFont font(QStringLiteral("Inter"));
        font.setPixelSize(10);
        painter.setFont(font);
        painter.drawText(QRect(4, 0, 118, 44), Qt::AlignVCenter | Qt::TextWordWrap, name);
        int x = 124;
        for (int side : {12, 16, 20, 28}) {
            painter.drawImage(x, (44 - side) / 2, drawn(name, side, Qt::white));
            x += side + 6;
        }
        painter.drawImage(256, 8, drawn(name, 28, Qt::black));
        QImage sharp = drawn(name, 14, Qt::black, 2);
        sharp.setDevicePixelRatio(1);
        painter.drawImage(292, 8, sharp);
        painter.end();
        cells << cell;
    }
    saveSheet(QStringLiteral("glyph-names"), cells, 4);
}

namespace {

// The glyph drawn large enough for a slip of a tenth of a unit to show.
QImage drawnLarge(const QString& name, const QTransform& view = {}, QFont::Weight weight = QFont::DemiBold) {
    QImage image(192, 192, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setTransform(view);
    GlyphCatalogue::paint(painter, name, QRectF(0, 0, 192, 192), Qt::black, weight);
    return image;
}

// The number of separate marks in `image`: groups of inked pixels, each touching the next side by
// side or corner to corner.
int separateMarks(const QImage& image) {
    const int w = image.width(), h = image.height();
    std::vector<bool> seen(size_t(w) * size_t(h), false);
    auto inked = [&](int x, int y) { return qAlpha(image.pixel(x, y)) > 0; };
    int marks = 0;
    for (int y0 = 0; y0 < h; ++y0)
        for (int x0 = 0; x0 < w; ++x0) {
            if (seen[size_t(y0) * w + x0] || !inked(x0, y0)) continue;
            ++marks;
            std::vector<QPoint> open{QPoint(x0, y0)};
            seen[size_t(y0) * w + x0] = true;
            while (!open.empty()) {
                const QPoint p = open.back();
                open.pop_back();
                for (int dy = -1; dy <= 1; ++dy)
                    for (int dx = -1; dx <= 1; ++dx) {
                        const int x = p.x() + dx, y = p.y() + dy;
                        if (x < 0 || y < 0 || x >= w || y >= h || seen[size_t(y) * w + x] || !inked(x, y))
                            continue;
                        seen[size_t(y) * w + x] = true;
                        open.emplace_back(x, y);
                    }
            }
        }
    return marks;
}

// The share of the ink that differs between two drawings: 0 for the same, 1 for no overlap.
double inkDifference(const QImage& a, const QImage& b) {
    double differ = 0, total = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            const int u = qAlpha(a.pixel(x, y)), v = qAlpha(b.pixel(x, y));
            differ += std::abs(u - v);
            total += std::max(u, v);
        }
    return total > 0 ? differ / total : 0;
}

} // namespace

TEST(GlyphCoverage, EveryDrawingStaysInsideItsTwentyFourUnitBox) {
    QStringList all = GlyphCatalogue::names();
    all << QStringLiteral("no.such.symbol");
    for (const QString& name : all) {
        QRectF bounds;
        for (const GlyphLayer& layer : GlyphCatalogue::layers(name)) bounds |= layer.path.boundingRect();
        EXPECT_TRUE(QRectF(0, 0, 24, 24).contains(bounds))
            << name.toStdString() << " reaches " << bounds.left() << "," << bounds.top() << " to "
            << bounds.right() << "," << bounds.bottom();
    }
}

TEST(GlyphCoverage, SymmetricSymbolsAreDrawnSymmetricAndMirroredPairsMirrorEachOther) {
    // Under three thousandths of the ink may differ: the antialiasing of curves, not a slipped point.
    const double tolerance = 0.003;
    const QStringList leftRight = {"airplayaudio",
                                   "app.fill",
                                   "arrow.down",
                                   "arrow.down.doc",
                                   "arrow.up",
                                   "arrow.up.and.down",
                                   "bell",
                                   "bell.fill",
                                   "bookmark",
                                   "calendar",
                                   "camera.fill",
                                   "capsule.tophalf.filled",
                                   "chevron.down",
                                   "chevron.up",
                                   "chevron.up.chevron.down",
                                   "circle",
                                   "circle.dashed",
                                   "circle.fill",
                                   "command",
                                   "cpu",
                                   "doc.on.clipboard",
                                   "dock.rectangle",
                                   "dot.radiowaves.left.and.right",
                                   "ellipsis.circle",
                                   "exclamationmark.triangle",
                                   "exclamationmark.triangle.fill",
                                   "eye",
                                   "globe",
                                   "line.3.horizontal.decrease",
                                   "lock.fill",
                                   "lock.shield",
                                   "macbook",
                                   "menubar.arrow.up.rectangle",
                                   "menubar.rectangle",
                                   "minus",
                                   "minus.circle.fill",
                                   "network",
                                   "no.such.symbol",
                                   "pause.fill",
                                   "pin",
                                   "pin.fill",
                                   "plus",
                                   "power",
                                   "scope",
                                   "square.grid.2x2",
                                   "square.stack.3d.up",
                                   "square.stack.3d.up.fill",
                                   "trash",
                                   "trash.fill",
                                   "tray.and.arrow.down",
                                   "tray.full",
                                   "tray.full.fill",
                                   "xmark",
                                   "xmark.circle"};
    const QStringList topBottom = {"app.fill",
                                   "arrow.right",
                                   "arrow.up.and.down",
                                   "backward.fill",
                                   "battery.25",
                                   "chevron.left",
                                   "chevron.left.2",
                                   "chevron.left.to.line",
                                   "chevron.right",
                                   "chevron.right.2",
                                   "chevron.up.chevron.down",
                                   "circle",
                                   "circle.dashed",
                                   "circle.fill",
                                   "circle.lefthalf.filled",
                                   "command",
                                   "cpu",
                                   "dot.radiowaves.left.and.right",
                                   "ellipsis.circle",
                                   "eye",
                                   "forward.fill",
                                   "globe",
                                   "minus",
                                   "minus.circle.fill",
                                   "network",
                                   "no.such.symbol",
                                   "pause.fill",
                                   "play.fill",
                                   "plus",
                                   "scope",
                                   "square.grid.2x2",
                                   "waveform",
                                   "xmark",
                                   "xmark.circle"};
    // Turned half a circle: the two arrows of a cycle, the struck-through eye.
    const QStringList halfTurn = {"arrow.triangle.2.circlepath", "eye.slash", "repeat"};
    // Mirrored across the diagonal from the top left (the lens and its handle) or the top right
    // (the pencil over its square, the arrow pointing there).
    const QStringList mainDiagonal = {"magnifyingglass", "sparkle.magnifyingglass"};
    const QStringList otherDiagonal = {"arrow.up.right", "square.and.pencil"};
    const QTransform flipX(-1, 0, 0, 1, 192, 0), flipY(1, 0, 0, -1, 0, 192), turn(-1, 0, 0, -1, 192, 192);
    const QTransform swap(0, 1, 1, 0, 0, 0), otherSwap(0, -1, -1, 0, 192, 192);
    auto expectSymmetric = [&](const QStringList& names, const QTransform& view, const char* how) {
        for (const QString& name : names)
            EXPECT_LT(inkDifference(drawnLarge(name), drawnLarge(name, view)), tolerance)
                << name.toStdString() << " " << how;
    };
    expectSymmetric(leftRight, flipX, "left to right");
    expectSymmetric(topBottom, flipY, "top to bottom");
    expectSymmetric(halfTurn, turn, "turned");
    expectSymmetric(mainDiagonal, swap, "across the diagonal");
    expectSymmetric(otherDiagonal, otherSwap, "across the other diagonal");
    // A folder's tab sits on its left; below the tab the body is the same on both sides.
    const QImage folder = drawnLarge(QStringLiteral("folder.fill")).copy(0, 64, 192, 128);
    EXPECT_LT(inkDifference(folder, folder.mirrored(true, false)), tolerance) << "folder.fill below its tab";

    const QList<std::pair<const char*, const char*>> sideways = {{"chevron.left", "chevron.right"},
                                                                 {"chevron.left.2", "chevron.right.2"},
                                                                 {"backward.fill", "forward.fill"}};
    for (const auto& [a, b] : sideways)
        EXPECT_LT(inkDifference(drawnLarge(a), drawnLarge(b, flipX)), tolerance) << a << " / " << b;
    const QList<std::pair<const char*, const char*>> upDown = {{"chevron.up", "chevron.down"},
                                                               {"arrow.up", "arrow.down"}};
    for (const auto& [a, b] : upDown)
        EXPECT_LT(inkDifference(drawnLarge(a), drawnLarge(b, flipY)), tolerance) << a << " / " << b;
}

TEST(GlyphCoverage, FilledCheckmarksCutTheirMarkWhereTheOutlinedOnesDrawIt) {
    // The check of "checkmark.circle" runs from (7.8, 12.4) down to (10.8, 15.4) and up to
    // (16.4, 9); the filled circle leaves the same stroke clear.
    const QImage filled = drawnLarge(QStringLiteral("checkmark.circle.fill"));
    const QImage outlined = drawnLarge(QStringLiteral("checkmark.circle"));
    for (const QPointF unit :
         {QPointF(7.8, 12.4), QPointF(10.8, 15.4), QPointF(16.4, 9), QPointF(13.6, 12.2)}) {
        const QPoint at = (unit * 8).toPoint();
        EXPECT_EQ(qAlpha(outlined.pixel(at)), 255) << unit.x() << "," << unit.y();
        EXPECT_LT(qAlpha(filled.pixel(at)), 64) << unit.x() << "," << unit.y();
    }
    // Away from the mark the filled disc is solid.
    for (const QPointF unit : {QPointF(12, 6), QPointF(6, 16), QPointF(17, 16)})
        EXPECT_EQ(qAlpha(filled.pixel((unit * 8).toPoint())), 255) << unit.x() << "," << unit.y();
}

TEST(GlyphCoverage, MarksThatStandApartStayClearOfEachOtherAtEveryWeight) {
    // name, weights, the separate marks it is made of
    const QList<std::tuple<const char*, QList<QFont::Weight>, int>> cases = {
        // The pointer and the four short rays of its click.
        {"cursorarrow.click", {QFont::Light, QFont::Normal, QFont::DemiBold}, 5},
        // The pointer and the three lines of motion trailing behind it.
        {"cursorarrow.motionlines", {QFont::Light, QFont::DemiBold, QFont::Black}, 4},
        // A screen and the Dock's row of tiles inside it, even at the heaviest line.
        {"dock.rectangle", {QFont::Light, QFont::DemiBold, QFont::Black}, 2},
        // The front window with the badge's bar where its outline breaks off, the two windows
        // stacked behind it, and the badge's dot.
        {"rectangle.stack.badge.exclamationmark", {QFont::Light, QFont::DemiBold}, 4},
        // The ring, the question mark's hook and its dot.
        {"questionmark.circle", {QFont::Light, QFont::DemiBold, QFont::Black}, 3},
        // The dial, the dots of its scale and the needle on its hub, whose tip meets the scale's
        // last dot but one; the scale leaves the dial's bottom open.
        {"gauge.with.dots.needle.67percent", {QFont::Light, QFont::DemiBold}, 8},
        // The ring and its three dots.
        {"ellipsis.circle", {QFont::Light, QFont::DemiBold, QFont::Black}, 4},
    };
    for (const auto& [name, weights, marks] : cases)
        for (QFont::Weight weight : weights)
            EXPECT_EQ(separateMarks(drawnLarge(QString::fromLatin1(name), {}, weight)), marks)
                << name << " at weight " << int(weight);
}

TEST(GlyphCoverage, PartsCentredOnTheSymbolAreSymmetricThoughTheWholeIsNot) {
    const double tolerance = 0.003;
    // The question mark's hook arches evenly over the middle down to where it ends, 9.5 units down;
    // only its tail, below, swings back to the centre.
    const QImage hook = drawnLarge(QStringLiteral("questionmark.circle")).copy(0, 0, 192, 76);
    EXPECT_LT(inkDifference(hook, hook.mirrored(true, false)), tolerance) << "questionmark.circle's hook";
    // The windows stacked behind the front one are level and centred over it (from 3 to 19 units
    // across), above its top edge at 9 units.
    const QImage stacked =
        drawnLarge(QStringLiteral("rectangle.stack.badge.exclamationmark")).copy(0, 0, 176, 60);
    EXPECT_LT(inkDifference(stacked, stacked.mirrored(true, false)), tolerance) << "the stacked windows";
    // The calendar page under its rings and header line is even on both sides down to 11 units,
    // above where the badge breaks into its right edge.
    const QImage page = drawnLarge(QStringLiteral("calendar.badge.exclamationmark")).copy(0, 0, 192, 88);
    EXPECT_LT(inkDifference(page, page.mirrored(true, false)), tolerance) << "the badged calendar's page";
}

TEST(GlyphCoverage, AFilledSymbolFillsTheOutlineOfItsOutlinedOne) {
    // The body, drawn first, is filled where the outlined symbol's line runs: the same region.
    auto bodyBounds = [](const QString& name) {
        return GlyphCatalogue::layers(name).front().path.boundingRect();
    };
    auto area = [](const QPainterPath& path) {
        double sum = 0;
        for (const QPolygonF& polygon : path.toFillPolygons())
            for (qsizetype i = 0; i < polygon.size(); ++i) {
                const QPointF a = polygon[i], b = polygon[(i + 1) % polygon.size()];
                sum += a.x() * b.y() - b.x() * a.y();
            }
        return std::abs(sum) / 2;
    };
    for (const char* outlined : {"bell", "bell.badge", "camera", "checkmark.shield", "circle", "hand.draw",
                                 "hand.tap", "pin", "square.stack.3d.up", "trash", "tray.full"}) {
        const QString name = QString::fromLatin1(outlined);
        const QRectF a = bodyBounds(name), b = bodyBounds(name + QStringLiteral(".fill"));
        EXPECT_NEAR(a.left(), b.left(), 0.01) << outlined;
        EXPECT_NEAR(a.top(), b.top(), 0.01) << outlined;
        EXPECT_NEAR(a.right(), b.right(), 0.01) << outlined;
        EXPECT_NEAR(a.bottom(), b.bottom(), 0.01) << outlined;
        // The camera's lens and the shield's check are cut out of their filled bodies.
        if (name == u"camera" || name == u"checkmark.shield") continue;
        const QPainterPath line = GlyphCatalogue::layers(name).front().path;
        const QPainterPath body = GlyphCatalogue::layers(name + QStringLiteral(".fill")).front().path;
        EXPECT_LT(area(line.subtracted(body)) + area(body.subtracted(line)), 0.05) << outlined;
    }
}

TEST(GlyphCoverage, SymbolsOfSeveralPartsShowBothLevelsOfTheHierarchicalLook) {
    // Drawn in black: the primary parts solid, the secondary ones at half opacity (alpha 127 or 128
    // all over, where the primary parts only pass through it along their antialiased edges). The
    // notch's tab symbols of more than one part, and pointers whose motion or click is drawn
    // around them.
    for (const char* name : {"sparkles", "doc.on.clipboard", "calendar", "timer", "stopwatch",
                             "gauge.with.dots.needle.67percent", "note.text", "tray.full", "camera",
                             "cursorarrow.motionlines", "cursorarrow.click"}) {
        const QImage image = drawnLarge(QString::fromLatin1(name));
        int solid = 0, half = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x) {
                const int alpha = qAlpha(image.pixel(x, y));
                if (alpha == 255) ++solid;
                if (alpha == 127 || alpha == 128) ++half;
            }
        EXPECT_GT(solid, 500) << name;
        EXPECT_GT(half, 100) << name;
    }
}
