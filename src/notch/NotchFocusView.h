#pragma once

#include <QAbstractButton>
#include <QColor>
#include <QPointer>
#include <QScrollArea>
#include <QSizeF>
#include <QWidget>

#include "kit/VantrelButton.h"
#include "kit/VantrelSegmentedControl.h"
#include <array>

namespace vantrel {

class FocusTimer;
class VantrelHaptics;

// The focus tab of the open notch: five duration presets, the remaining time inside a progress
// ring, and Reset and Start or Pause.
class NotchFocusView final : public QWidget {
    Q_OBJECT
public:
    static constexpr std::array<int, 5> kPresets{5, 15, 25, 45, 60};
    static constexpr double kSpacing = 14;
    static constexpr double kRowHeight = 24;
    static constexpr double kPickerMaximumWidth = 300;
    static constexpr double kLineWidth = 12;
    static constexpr double kTimeSize = 43;
    static constexpr double kFinishedSize = 10;
    static constexpr double kHintSize = 9.5;
    static constexpr double kControlSpacing = 10;

    // The ring's side for a tab `height` high: never below 128 nor above 210.
    static double ringDiameter(double height);
    // How much of the circle the arc covers: a stub of 1 % stays at the top even at the start.
    static double arcFraction(double progress);
    // The preset segment of `minutes`; -1 when it is none of them.
    static int presetIndex(qint64 minutes);
    // "5m" … "60m".
    static QStringList presetLabels();

    struct Layout {
        QRectF title;
        QRectF picker;
        QRectF hint; // empty unless running
        QRectF ring;
        QRectF reset;
        QRectF startPause;
    };
    static Layout layout(const QSizeF& size, bool running, const QSizeF& resetSize, const QSizeF& startSize);

    NotchFocusView(FocusTimer& timer, QColor accent, VantrelHaptics* haptics = nullptr,
                   QWidget* parent = nullptr);

    VantrelSegmentedControl* picker() const { return picker_; }
    QAbstractButton* resetButton() const { return reset_; }
    QAbstractButton* startPauseButton() const;
    Layout currentLayout() const;

    // What Start or Pause does at the moment of the press.
    void startOrPause();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void sync();
    QSizeF resetSize() const;

    FocusTimer& timer_;
    QColor accent_;
    QPointer<VantrelSegmentedControl> picker_;
    QPointer<QAbstractButton> reset_;
    QPointer<VantrelButton> startPause_;
};

} // namespace vantrel
