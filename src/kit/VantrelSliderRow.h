#pragma once

#include "kit/SettingBinding.h"

#include <QFont>
#include <QWidget>
#include <functional>

class QSlider;

namespace vantrel {

class VantrelLabel;

// How a slider row is set: its title column, spacing, value column, and the slider's step.
struct SliderRowStyle {
    double titleWidth = 110;
    double spacing = 8;
    double valueWidth = 54;
    Qt::Alignment valueAlignment = Qt::AlignRight;
    double titlePixelSize = 11.5;
    QFont::Weight titleWeight = QFont::Medium;
    double step = 0; // 0: continuous
    // The read-out's size; its font is the monospaced one.
    double valuePixelSize = 9.5;
};

// Where a slider row puts its title, slider and value text: one line, vertically centred. A row
// without a title column starts with the slider.
struct SliderRowLayout {
    QRectF title;
    QRectF slider;
    QRectF value;

    static SliderRowLayout of(const QSizeF& size, const SliderRowStyle& style);
};

// A labelled slider with its value read out beside it. The read-out follows the value whichever
// side changes it; a move by the user announces `edited` (the binding writes it), a value from
// the model announces nothing.
class VantrelSliderRow : public QWidget {
    Q_OBJECT
public:
    using ValueText = std::function<QString(double)>;

    VantrelSliderRow(const QString& title, double minimum, double maximum, ValueText valueText,
                     SliderRowStyle style = {}, QWidget* parent = nullptr);

    double value() const { return value_; }
    // Shows `value` without announcing it: the read-out tells it as it is, the knob stops at the
    // nearer end of the range when it lies outside.
    void setValue(double value);
    QString valueText() const;
    QSlider* slider() const { return slider_; }

    void bind(SettingBinding<double> binding);

    // How far an arrow key moves the value: the slider's step where it has one, else one unit of
    // the read-out's figure (1 for "48.0pt", 0.01 for "42%" of 0...1), found from the read-outs
    // of the two ends; a hundredth of the range where these do not tell.
    double keyUnit() const;

    // The value with one decimal followed directly by `suffix` ("44.0pt").
    static ValueText oneDecimal(const QString& suffix);

    QSize sizeHint() const override;

Q_SIGNALS:
    void edited(double value);

protected:
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    int ticks() const;
    double valueAt(int position) const;
    int positionOf(double value) const;
    void sliderMoved(int position);
    bool moveByKey(int key);

    double minimum_;
    double maximum_;
    ValueText valueText_;
    SliderRowStyle style_;
    VantrelLabel* title_;
    QSlider* slider_;
    VantrelLabel* value_label_;
    double value_;
    bool syncing_ = false;
};

} // namespace vantrel
