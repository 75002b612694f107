#include "services/CommandPaletteController.h"

#include "platform/ApplicationShell.h"

#include <QWidget>

namespace vantrel {

CommandPaletteController::CommandPaletteController(Screens& screens, ApplicationShell& shell, QObject* parent)
    : QObject(parent), screens_(screens), shell_(shell) {}

CommandPaletteController::~CommandPaletteController() {
    delete panel_;
}

void CommandPaletteController::install(CommandPaletteCommands& commands) {
    commands_ = &commands;
    hasKeyMonitor_ = true;
}

void CommandPaletteController::uninstall() {
    hasKeyMonitor_ = false;
    closePanel();
}

void CommandPaletteController::show(CommandPaletteCommands* commands, std::optional<ScreenInfo> screen) {
    if (commands) commands_ = commands;
    if (!commands_) return;
    if (panel_) {
        shell_.makeKeyAndOrderFront(*panel_);
        return;
    }
    if (!screen) screen = screens_.screenAtPointer();
    if (!screen) screen = screens_.mainScreen();
    if (!screen) return;
    const QRect visible = screen->visibleFrame;
    auto* panel = new QWidget(nullptr, Qt::Tool | Qt::FramelessWindowHint);
    panel->setObjectName(QStringLiteral("vantrel.command-palette"));
    panel->setFixedSize(kWidth, kHeight);
    panel->move(visible.left() + visible.width() / 2 - kWidth / 2, visible.top() + kTopOffset);
    panel_ = panel;
    shell_.activateIgnoringOtherApps();
    shell_.makeKeyAndOrderFront(*panel_);
}

void CommandPaletteController::dismiss() {
    closePanel();
}

void CommandPaletteController::closePanel() {
    if (!panel_) return;
    panel_->hide();
    delete panel_;
}

} // namespace vantrel
