#pragma once

#include "kit/VantrelMotion.h"

#include <QAbstractButton>
#include <QImage>
#include <QWidget>
#include <optional>
#include <vector>

class QVariantAnimation;

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
// the custom colour is on. It draws its model; the model decides. Given a Reset animation, Reset
// eases out what it takes away: the buttons fade, the status cross-fades to its new text and the
// well moves back to the stored colour.
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

    // Reset runs `animation` (as the motion settings shorten it); none switches at once.
    void setResetAnimation(std::optional<VantrelAnimation> animation) {
        resetAnimation_ = std::move(animation);
    }
    QVariantAnimation* resetTransition() const { return resetTransition_; }
    // The buttons Reset took away, as they were drawn, while they fade out where they stood.
    struct FadingControl {
        QImage image;
        QPoint position;
    };
    const std::vector<FadingControl>& fadingControls() const { return fading_; }
    // The status as it read before Reset, fading out under the new one while the buttons fade.
    const std::optional<FadingControl>& fadingStatus() const { return fadingStatus_; }
    // How opaque the fading buttons and the old status are drawn, 1 down to 0.
    double fadingOpacity() const { return 1 - resetProgress_; }
    // How opaque the new status is drawn, 0 up to 1 while Reset fades, else 1.
    double statusOpacity() const { return resetProgress_; }

    // Shows the model and the settings as they are now.
    void sync();

private:
    void openPicker();
    void applyAccent();
    void resetClicked();
    void endResetTransition();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    TintEditorModel& model_;
    VantrelPreferences& preferences_;
    VantrelHaptics& haptics_;
    VantrelMotion& motion_;
    ColorPicker& picker_;
    std::optional<VantrelAnimation> resetAnimation_;
    QVariantAnimation* resetTransition_;
    double resetProgress_ = 1; // eased, 0 to 1, while Reset's transition runs
    QColor wellBefore_;        // what the well showed when Reset was pressed
    std::vector<FadingControl> fading_;
    std::optional<FadingControl> fadingStatus_;
    ColorWell* well_;
    VantrelLabel* status_;
    VantrelButton* save_;
    TextButton* cancel_;
    TextButton* reset_;
};

} // namespace vantrel
