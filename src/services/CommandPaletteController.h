#pragma once

#include "platform/Screens.h"

#include <QObject>
#include <QPointer>
#include <optional>

class QWidget;

namespace vantrel {

class ApplicationShell;
class CommandPaletteCommands;

// The floating command palette. It opens and closes its 610 by 410 panel; the list of commands
// in it is not built yet, and the palette's own key monitor is only marked as installed.
class CommandPaletteController : public QObject {
    Q_OBJECT
public:
    static constexpr int kWidth = 610;
    static constexpr int kHeight = 410;
    static constexpr int kTopOffset = 110;

    CommandPaletteController(Screens& screens, ApplicationShell& shell, QObject* parent = nullptr);
    ~CommandPaletteController() override;

    // Links the palette to the `commands` it runs (which outlive it) and installs its key monitor
    // once.
    virtual void install(CommandPaletteCommands& commands);
    // Removes the key monitor and closes the panel; the link to the commands stays.
    virtual void uninstall();
    // Opens the palette on `screen` (else the one under the pointer, else the main screen). Given
    // commands replace the link; with no link at all nothing opens.
    virtual void show(CommandPaletteCommands* commands, std::optional<ScreenInfo> screen);
    // Closes the panel and lets it go.
    virtual void dismiss();

    QWidget* panel() const { return panel_; }
    // What the palette's commands act on; none before it is first linked.
    CommandPaletteCommands* commands() const { return commands_; }
    bool hasKeyMonitor() const { return hasKeyMonitor_; }

private:
    void closePanel();

    Screens& screens_;
    ApplicationShell& shell_;
    CommandPaletteCommands* commands_ = nullptr;
    QPointer<QWidget> panel_;
    bool hasKeyMonitor_ = false;
};

} // namespace vantrel
