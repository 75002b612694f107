#pragma once

#include "control-center/ControlCenterContext.h"

#include <QObject>
#include <QSize>
#include <limits>
#include <memory>

class QAction;
class QMainWindow;
class QMenu;

namespace vantrel {

class AppState;
class ControlCenterWindowKeeper;
class ApplicationShell;
class RootView;
class Screens;
class VantrelPreferences;

// The application's window and commands: the control center titled "Vantrel" with the root view,
// and the "Vantrel" menu. It sets up the window the root view reports and hands it to the state.
class VantrelApp : public QObject {
    Q_OBJECT
public:
    static constexpr int kDefaultWidth = 1080;
    static constexpr int kDefaultHeight = 720;
    static constexpr double kControlCenterMargin = 8;

    VantrelApp(AppState& state, const ControlCenterContext& context, ApplicationShell& shell,
               Screens& screens, QObject* parent = nullptr);
    ~VantrelApp() override;

    // Opens the control center, as launching does.
    void showControlCenter();

    QMainWindow& window() const { return *window_; }
    RootView& rootView() const { return *rootView_; }
    QMenu& commandMenu() const { return *commandMenu_; }

    // Names and titles `window`, gives it its minimum size (less on a screen with less room),
    // registers it with the state and keeps its frame inside the visible frame of its screen (else
    // the main screen) from now on: at once when not shown yet, else once the window manager has
    // placed it, each time it is shown again and whenever the screens change while it shows, unless
    // it is maximized or full screen.
    void configureControlCenterWindow(QWidget& window);

    // The commands.
    void about();
    void openNotch();
    void openPalette();
    void toggleTimer();
    void quit();

private:
    void updateCommandTitles();
    // 720 by 600 whatever the file notice shows: its band comes out of the page.
    QSize controlCenterMinimumSize() const;
    // Gives `window` (the control center's) and the view their least sizes, for a frame that adds
    // `decorations` to the window.
    void setLeastSize(QWidget& window, QSize decorations);
    bool eventFilter(QObject* watched, QEvent* event) override;

    AppState& state_;
    ApplicationShell& shell_;
    std::unique_ptr<QMainWindow> window_;
    std::unique_ptr<ControlCenterWindowKeeper> keeper_;
    RootView* rootView_ = nullptr;
    // The decorations the least size was last worked out for, and the room for the frame on the
    // window's screen.
    QSize decorations_;
    QSize room_{std::numeric_limits<int>::max(), std::numeric_limits<int>::max()};
    QMenu* commandMenu_ = nullptr;
    QAction* timerAction_ = nullptr;
};

} // namespace vantrel
