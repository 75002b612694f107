#pragma once

// The texts a view paints, in the order it paints them, read from a paint device that records
// every text item instead of drawing it.

#include <QFontInfo>
#include <QFontMetricsF>
#include <QPaintDevice>
#include <QPaintEngine>
#include <QPainter>
#include <QStringList>
#include <QWidget>
#include <cmath>
#include <optional>

namespace vantrel::test {

class TextRecordingEngine final : public QPaintEngine {
public:
    TextRecordingEngine() : QPaintEngine(QPaintEngine::AllFeatures) {}
    bool begin(QPaintDevice*) override { return true; }
    bool end() override { return true; }
    void updateState(const QPaintEngineState&) override {}
    void drawPixmap(const QRectF&, const QPixmap&, const QRectF&) override {}
    void drawTextItem(const QPointF& origin, const QTextItem& item) override {
        texts << item.text();
        fonts << item.font();
        origins << painter()->combinedTransform().map(origin);
    }
    // Shapes are not recorded (the defaults would turn each into another and never end).
    void drawPath(const QPainterPath&) override {}
    void drawPolygon(const QPointF*, int, PolygonDrawMode) override {}
    void drawPolygon(const QPoint*, int, PolygonDrawMode) override {}
    void drawRects(const QRectF*, int) override {}
    void drawRects(const QRect*, int) override {}
    void drawLines(const QLineF*, int) override {}
    void drawLines(const QLine*, int) override {}
    void drawEllipse(const QRectF&) override {}
    void drawEllipse(const QRect&) override {}
    void drawPoints(const QPointF*, int) override {}
    void drawPoints(const QPoint*, int) override {}
    void drawImage(const QRectF&, const QImage&, const QRectF&, Qt::ImageConversionFlags) override {}
    void drawTiledPixmap(const QRectF&, const QPixmap&, const QPointF&) override {}
    Type type() const override { return QPaintEngine::User; }

    QStringList texts;
    QList<QFont> fonts;
    // Where each text's baseline starts, in the device's coordinates.
    QList<QPointF> origins;
};

class TextRecordingDevice final : public QPaintDevice {
public:
    explicit TextRecordingDevice(QSize size) : size_(size) {}
    QPaintEngine* paintEngine() const override { return &engine_; }
    QStringList texts() const { return engine_.texts; }
    QList<QFont> fonts() const { return engine_.fonts; }
    QList<QPointF> origins() const { return engine_.origins; }

protected:
    int metric(PaintDeviceMetric metric) const override {
        switch (metric) {
        case PdmWidth:
            return size_.width();
        case PdmHeight:
            return size_.height();
        case PdmDpiX:
        case PdmDpiY:
        case PdmPhysicalDpiX:
        case PdmPhysicalDpiY:
            return 96;
        case PdmDepth:
            return 32;
        case PdmNumColors:
            return INT_MAX;
        case PdmDevicePixelRatio:
            return 1;
        case PdmDevicePixelRatioScaled:
            return int(QPaintDevice::devicePixelRatioFScale());
        case PdmWidthMM:
            return size_.width() * 254 / 960;
        case PdmHeightMM:
            return size_.height() * 254 / 960;
        }
        return 0;
    }

private:
    QSize size_;
    mutable TextRecordingEngine engine_;
};

// Every text `widget` and its visible children paint.
inline QStringList paintedTexts(QWidget& widget) {
    widget.ensurePolished();
    TextRecordingDevice device(widget.size());
    widget.render(&device, QPoint(), QRegion(), QWidget::DrawChildren);
    return device.texts();
}

// What `record` of the device holds for the first painting of `text` by `widget`, or nothing.
template <typename T>
std::optional<T> paintedWith(QWidget& widget, const QString& text,
                             QList<T> (TextRecordingDevice::*record)() const) {
    widget.ensurePolished();
    TextRecordingDevice device(widget.size());
    widget.render(&device, QPoint(), QRegion(), QWidget::DrawChildren);
    const qsizetype at = device.texts().indexOf(text);
    if (at < 0) return std::nullopt;
    return (device.*record)()[at];
}

// The font `widget` paints `text` in (the first time it paints it), or nothing.
inline std::optional<QFont> paintedFont(QWidget& widget, const QString& text) {
    return paintedWith(widget, text, &TextRecordingDevice::fonts);
}

// Where `widget` starts the baseline of `text` (the first time it paints it), or nothing.
inline std::optional<QPointF> paintedOrigin(QWidget& widget, const QString& text) {
    return paintedWith(widget, text, &TextRecordingDevice::origins);
}

// The texts `widget` paints, with the pieces of one line joined: a text drawn piece by piece
// (figures set in cells of one width) reads as the whole it shows. Pieces join when they follow
// each other on one baseline in one font, each starting where the one before ends, give or take
// half the font's size.
struct PaintedLine {
    QString text;
    QFont font;
    QPointF origin;
};
inline QList<PaintedLine> paintedLines(QWidget& widget) {
    widget.ensurePolished();
    TextRecordingDevice device(widget.size());
    widget.render(&device, QPoint(), QRegion(), QWidget::DrawChildren);
    const QStringList texts = device.texts();
    const QList<QFont> fonts = device.fonts();
    const QList<QPointF> origins = device.origins();
    QList<PaintedLine> lines;
    double end = 0;
    for (qsizetype i = 0; i < texts.size(); ++i) {
        const QString& text = texts[i];
        const QFont& font = fonts[i];
        const QPointF origin = origins[i];
        const double slack = QFontInfo(font).pixelSize() / 2.0;
        if (!lines.isEmpty() && lines.back().font == font &&
            std::abs(lines.back().origin.y() - origin.y()) < 0.01 && origin.x() >= end - 1 &&
            origin.x() <= end + slack)
            lines.back().text += text;
        else
            lines.append({text, font, origin});
        end = origin.x() + QFontMetricsF(font).horizontalAdvance(text);
    }
    return lines;
}
inline QStringList paintedLineTexts(QWidget& widget) {
    QStringList texts;
    for (const PaintedLine& line : paintedLines(widget)) texts.append(line.text);
    return texts;
}
inline std::optional<PaintedLine> paintedLine(QWidget& widget, const QString& text) {
    for (const PaintedLine& line : paintedLines(widget))
        if (line.text == text) return line;
    return std::nullopt;
}

} // namespace vantrel::test
