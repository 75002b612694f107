#pragma once

#include <QFont>
#include <QWidget>

namespace vantrel {

// A symbol from the glyph catalogue, drawn in one colour at a point size and weight, centred in
// a fixed frame. Decoration: mouse input passes through to whatever holds it, so a glyph used as
// a button's label makes the button's whole frame its hit area.
class VantrelGlyph : public QWidget {
    Q_OBJECT
public:
    VantrelGlyph(QString systemName, QColor color, double pointSize, QFont::Weight weight, double width,
                 double height, QWidget* parent = nullptr);

    QString systemName() const { return systemName_; }
    QColor color() const { return color_; }
    double pointSize() const { return pointSize_; }
    QFont::Weight weight() const { return weight_; }

    void setSystemName(const QString& name);
    void setColor(const QColor& color);

    // The square the symbol is fitted into: `pointSize` by `pointSize`, centred in `frame`.
    static QRectF glyphRect(const QRectF& frame, double pointSize);
    // Draws the symbol as the widget does, into `frame`.
    static void paint(QPainter& painter, const QRectF& frame, QStringView systemName, const QColor& color,
                      double pointSize, QFont::Weight weight);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString systemName_;
    QColor color_;
    double pointSize_;
    QFont::Weight weight_;
};

} // namespace vantrel
