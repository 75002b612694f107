#pragma once

#include "platform/Scheduler.h"
#include "platform/Screens.h"

#include <QObject>
#include <QPointer>
#include <memory>
#include <optional>

class QKeyEvent;
class QWidget;

namespace vantrel {

class ApplicationShell;
class CommandPaletteCommands;
class CommandPalettePanel;
class CompositorState;
class CommandPaletteView;
class EventMonitors;
class HotkeyManager;
class InputFocus;

// The floating command palette: a 610 by 410 panel, centred 110 below the top of the screen's
// visible frame, holding the commands view. While installed, a key monitor on the application's
// own key presses toggles it on the command palette's hot key (the global registration does the
// same from other programs). It hides, and is kept, when the application stops being active, and
// when a click on the bare desktop leaves it holding the keys, which it then hands back.
class CommandPaletteController : public QObject {
    Q_OBJECT
public:
    static constexpr int kWidth = 610;
    static constexpr int kHeight = 410;
    static constexpr int kTopOffset = 110;
    // How long after a click outside the palette waits for another window to take the keys.
    static constexpr double kKeysBackDelay = 0.25;

    // `focus` hands the keyboard to the panel and back; `hotkeys` holds the palette's binding for
    // the key monitor (none: the monitor lets every key pass).
    CommandPaletteController(Screens& screens, ApplicationShell& shell, InputFocus* focus = nullptr,
                             const HotkeyManager* hotkeys = nullptr, QObject* parent = nullptr);
    ~CommandPaletteController() override;

    // Whether the desktop blends translucent windows (without, the card's corners are cut out of
    // the window); none: a compositor that blends.
    void setDesktop(CompositorState* compositor);
    // What reports the clicks of the whole desktop, and what waits on the window manager after
    // one; none: only another window taking the focus hides the palette.
    void watchClicks(EventMonitors* clicks, Scheduler* scheduler);

    // Links the palette to the `commands` it runs (which outlive it) and installs its key monitor
    // once.
    virtual void install(CommandPaletteCommands& commands);
    // Removes the key monitor and closes the panel; the link to the commands stays.
    virtual void uninstall();
    // Opens the palette on `screen` (else the one under the pointer, else the main screen). Given
    // commands replace the link; with no link at all nothing opens. An existing panel is only
    // brought forward.
    virtual void show(CommandPaletteCommands* commands, std::optional<ScreenInfo> screen);
    // Closes the panel and lets it go.
    virtual void dismiss();
    // Closes a shown panel, else opens one (or brings a hidden one back) on the pointer's screen.
    void toggle();
    // The application stopped being the active one: the panel hides but is kept, once it has held
    // the focus.
    void applicationDidResignActive();

    QWidget* panel() const;
    // Whether a panel is on screen; one hidden while the application is inactive is not.
    bool isShown() const;
    CommandPaletteView* view() const;
    // What the palette's commands act on; none before it is first linked.
    CommandPaletteCommands* commands() const { return commands_; }
    bool hasKeyMonitor() const { return hasKeyMonitor_; }
    // The key monitor's decision on one key press: true when it is the palette's hot key, which
    // it then swallows after toggling the palette (its repeats are swallowed without toggling).
    bool handleKeyPress(const QKeyEvent& event);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void closePanel(bool giveFocusBack);
    void updateFilter();
    void clickedSomewhere();

    Screens& screens_;
    ApplicationShell& shell_;
    std::unique_ptr<InputFocus> ownFocus_;
    InputFocus& focus_;
    const HotkeyManager* hotkeys_;
    CommandPaletteCommands* commands_ = nullptr;
    QPointer<CompositorState> compositor_;
    EventMonitors* clicks_ = nullptr;
    Scheduler* scheduler_ = nullptr;
    std::uint64_t clickMonitor_ = 0;
    ScheduledTask keysBackWork_;
    QPointer<CommandPalettePanel> panel_;
    QPointer<CommandPaletteView> view_;
    bool hasKeyMonitor_ = false;
    bool filtering_ = false;
    // Whether the panel has held the focus since it was last shown.
    bool tookFocus_ = false;
};

} // namespace vantrel
