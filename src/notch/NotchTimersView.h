#pragma once

#include <QColor>
#include <QList>
#include <QWidget>
#include <array>

class QAbstractButton;
class QScrollArea;

namespace vantrel {

class MenuPresenter;
class StopwatchStore;
class VantrelButton;

// The timers tab of the open notch: the stopwatch with its laps beside the countdown with its
// minute presets. Every value it shows comes from the store and every control calls one store
// operation; below 156 points of height it takes its compact arrangement.
class NotchTimersView final : public QWidget {
    Q_OBJECT
public:
    static constexpr double kCompactBelowHeight = 156;
    static constexpr double kStartMinimumWidth = 52;
    static constexpr double kLapListMaximumHeight = 74;
    static constexpr int kPresetCount = 5;

    NotchTimersView(StopwatchStore& store, MenuPresenter& menus, QColor accent, QWidget* parent = nullptr);

    static bool isCompact(double height) { return height < kCompactBelowHeight; }
    // "5:00" while the countdown is idle or finished, else the time left ("0:42").
    static QString countdownText(const StopwatchStore& store);
    // Whether the time left and the progress bar show (running, or time remaining).
    static bool showsRemaining(const StopwatchStore& store);
    // Disabled only while the countdown is idle: stopped, nothing left and not finished.
    static bool isCountdownResetEnabled(const StopwatchStore& store);
    // "1 lap saved", "3 laps saved".
    static QString lapSummary(qsizetype count);
    // "Lap 3" for each lap, newest first.
    static QStringList lapLabels(const StopwatchStore& store);

    // Where everything sits in a view of `size`.
    struct Layout {
        bool compact = false;
        double timeFontSize = 27;
        QRectF stopwatchColumn;
        QRectF stopwatchLabel;
        QRectF stopwatchTime;
        QRectF stopwatchStart;
        QRectF lap;
        QRectF stopwatchReset;
        QRectF lapSummary; // compact, while there are laps
        QRectF lapList;    // regular, while there are laps
        QRectF countdownColumn;
        QRectF countdownLabel;
        QRectF countdownTime;
        QRectF progress; // empty while hidden
        QRectF minutesMenu;
        std::array<QRectF, kPresetCount> presets{};
        QRectF countdownStart;
        QRectF countdownReset;
        QRectF alarmHint;
        QRectF timesUp; // empty unless the countdown has finished
    };
    static Layout layout(const QSizeF& size, const StopwatchStore& store);

    // The controls, for tests and for the keyboard.
    VantrelButton* stopwatchStartButton() const { return stopwatchStart_; }
    VantrelButton* lapButton() const { return lap_; }
    VantrelButton* stopwatchResetButton() const { return stopwatchReset_; }
    VantrelButton* presetButton(int index) const { return presets_[std::size_t(index)]; }
    QAbstractButton* minutesMenuButton() const { return minutesMenu_; }
    VantrelButton* countdownStartButton() const { return countdownStart_; }
    VantrelButton* countdownResetButton() const { return countdownReset_; }
    QScrollArea* lapList() const { return lapArea_; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void storeChanged();
    void relayout();
    void openMinutesMenu();

    StopwatchStore& store_;
    MenuPresenter& menus_;
    QColor accent_;
    VantrelButton* stopwatchStart_;
    VantrelButton* lap_;
    VantrelButton* stopwatchReset_;
    std::array<VantrelButton*, kPresetCount> presets_{};
    QAbstractButton* minutesMenu_;
    VantrelButton* countdownStart_;
    VantrelButton* countdownReset_;
    QScrollArea* lapArea_;
    QWidget* lapRows_;
};

} // namespace vantrel
