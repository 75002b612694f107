#pragma once

#include <QAbstractButton>
#include <QWidget>

namespace vantrel {

class ColorPicker;
class TintEditorModel;
class VantrelButton;
class VantrelHaptics;
class VantrelLabel;
class VantrelMotion;
class VantrelPreferences;

// The colour well of a tint editor: a swatch of the colour it holds.
class ColorWell final : public QAbstractButton {
    Q_OBJECT
public:
    explicit ColorWell(QWidget* parent = nullptr);

    QColor color() const { return color_; }
    void setColor(const QColor& color);

    QSize sizeHint() const override { return QSize(44, 24); }
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QColor color_;
};

// A quiet text-only button: the text in the caption font, semibold, in one colour.
class TextButton final : public QAbstractButton {
    Q_OBJECT
public:
    explicit TextButton(const QString& text, QWidget* parent = nullptr);

    void setColor(const QColor& color);
    QColor color() const { return color_; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QColor color_;
};

// One colour editor of the appearance page, left to right: the well (opening the injected colour
// picker), the status, "Save color" and "Cancel" while a colour is pending, and "Reset" while
// the custom colour is on. It draws its model; the model decides.
class TintEditor final : public QWidget {
    Q_OBJECT
public:
    TintEditor(TintEditorModel& model, VantrelPreferences& preferences, VantrelHaptics& haptics,
               VantrelMotion& motion, ColorPicker& picker, QWidget* parent = nullptr);

    TintEditorModel& model() const { return model_; }
    ColorWell* well() const { return well_; }
    VantrelLabel* status() const { return status_; }
    VantrelButton* saveButton() const { return save_; }
    TextButton* cancelButton() const { return cancel_; }
    TextButton* resetButton() const { return reset_; }

    // Shows the model and the settings as they are now.
    void sync();

private:
    void openPicker();
    void applyAccent();

    TintEditorModel& model_;
    VantrelPreferences& preferences_;
    VantrelHaptics& haptics_;
    ColorPicker& picker_;
    ColorWell* well_;
    VantrelLabel* status_;
    VantrelButton* save_;
    TextButton* cancel_;
    TextButton* reset_;
};

} // namespace vantrel
