#pragma once

#include <QPointer>
#include <QWidget>

namespace vantrel {

class VantrelLabel;

// Where an aligned settings row puts its label and control for an offered width.
struct AlignedSettingRowLayout {
    bool wide = false; // label and control side by side; else the label above the control
    QRectF label;
    QRectF control;
    double height = 0;

    static constexpr double kSpacing = 18;        // between the columns, side by side
    static constexpr double kStackedSpacing = 10; // between label and control, stacked

    // `controlHint` is the control's preferred size; a control that `expands` takes the whole
    // control column, any other its preferred width (never more than the column).
    static AlignedSettingRowLayout of(double width, double labelWidth, double controlWidth,
                                      double labelHeight, const QSizeF& controlHint, bool expands);
};

// A settings row with a label column and a control column of fixed widths; too narrow for both,
// it stacks the label above the control.
class AlignedSettingRow : public QWidget {
    Q_OBJECT
public:
    // Takes ownership of `control`.
    AlignedSettingRow(const QString& title, double labelWidth, double controlWidth, QWidget* control,
                      QWidget* parent = nullptr);

    QString title() const;
    QWidget* control() const { return control_; }
    AlignedSettingRowLayout layoutFor(double width) const;

    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override;
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    bool event(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void placeChildren();

    VantrelLabel* label_;
    QPointer<QWidget> control_;
    double labelWidth_;
    double controlWidth_;
};

} // namespace vantrel
