#include "services/CommandPaletteController.h"

#include "platform/ApplicationShell.h"
#include "platform/CompositorState.h"
#include "platform/EventMonitors.h"
#include "platform/InputFocus.h"
#include "services/CommandPalettePanel.h"
#include "services/CommandPaletteView.h"
#include "services/HotkeyManager.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QWindow>

namespace vantrel {

namespace {
// Where nothing tells who holds the keyboard: the panel takes it and gives it back within the
// application.
class LocalInputFocus final : public InputFocus {
public:
    std::optional<quint32> current() const override { return std::nullopt; }
    void give(quint32) override {}
};
} // namespace

CommandPaletteController::CommandPaletteController(Screens& screens, ApplicationShell& shell,
                                                   InputFocus* focus, const HotkeyManager* hotkeys,
                                                   QObject* parent)
    : QObject(parent), screens_(screens), shell_(shell),
      ownFocus_(focus ? nullptr : std::make_unique<LocalInputFocus>()), focus_(focus ? *focus : *ownFocus_),
      hotkeys_(hotkeys) {
    const QPointer<CommandPaletteController> self(this);
    shell_.observeDeactivation([self] {
        if (self) self->applicationDidResignActive();
    });
    if (qApp)
        connect(qApp, &QGuiApplication::focusWindowChanged, this, [this](QWindow* window) {
            if (window && panel_ && window == panel_->windowHandle()) tookFocus_ = true;
        });
}

CommandPaletteController::~CommandPaletteController() {
    if (clickMonitor_ && clicks_) clicks_->removeMonitor(clickMonitor_);
    // Removing a filter that is not installed changes nothing.
    if (qApp) qApp->removeEventFilter(this);
    delete panel_;
}

void CommandPaletteController::setDesktop(CompositorState* compositor) {
    compositor_ = compositor;
}

void CommandPaletteController::watchClicks(EventMonitors* clicks, Scheduler* scheduler) {
    if (clickMonitor_ && clicks_) clicks_->removeMonitor(clickMonitor_);
    clickMonitor_ = 0;
    clicks_ = clicks;
    scheduler_ = scheduler;
    keysBackWork_.cancel();
    if (!clicks || !scheduler) return;
    // Watched all along: the desktop starts reporting a while after it is asked.
    const QPointer<CommandPaletteController> self(this);
    clickMonitor_ = clicks->addGlobalMonitor(InputEventType::leftMouseDown | InputEventType::rightMouseDown,
                                             [self](const InputEvent&) {
                                                 if (self) self->clickedSomewhere();
                                             });
}

void CommandPaletteController::clickedSomewhere() {
    if (!isShown() || !scheduler_ || QApplication::activePopupWidget()) return;
    // A click on one of the program's own windows is that window's.
    if (QApplication::topLevelAt(screens_.pointerLocation())) return;
    // A window clicked into takes the keys as the window manager activates it, and the palette
    // hides as the application goes inactive. The bare desktop takes nothing: the palette that
    // still holds the keys once the manager has had its say hides as it would then, and hands the
    // keys back as on Escape.
    const QPointer<CommandPalettePanel> panel(panel_);
    keysBackWork_ = ScheduledTask(*scheduler_, scheduler_->schedule(Seconds(kKeysBackDelay), [this, panel] {
        if (!panel || panel != panel_ || !panel->isVisible()) return;
        // Qt tells late that the keys went: the server's word counts where there is one.
        const bool holds =
            focus_.current() ? focus_.holds(static_cast<quint32>(panel->winId())) : panel->isKey();
        if (!holds) return;
        panel->orderOut();
        tookFocus_ = false;
    }));
}

void CommandPaletteController::install(CommandPaletteCommands& commands) {
    commands_ = &commands;
    if (hasKeyMonitor_) return;
    hasKeyMonitor_ = true;
    updateFilter();
}

void CommandPaletteController::uninstall() {
    hasKeyMonitor_ = false;
    closePanel(true);
    updateFilter();
}

QWidget* CommandPaletteController::panel() const {
    return panel_;
}

bool CommandPaletteController::isShown() const {
    return panel_ && panel_->isVisible();
}

CommandPaletteView* CommandPaletteController::view() const {
    return view_;
}

void CommandPaletteController::show(CommandPaletteCommands* commands, std::optional<ScreenInfo> screen) {
    if (commands) commands_ = commands;
    if (!commands_) return;
    if (!screen) screen = screens_.screenAtPointer();
    if (!screen) screen = screens_.mainScreen();
    if (!screen) return;
    // A click before this showing is none of its business.
    keysBackWork_.cancel();
    if (panel_) {
        if (!panel_->isVisible()) tookFocus_ = false;
        panel_->makeKey();
        return;
    }
    const QRect visible = screen->visibleFrame;
    auto* panel = new CommandPalettePanel(focus_);
    panel->setWindowTitle(QStringLiteral("Command Palette"));
    panel->setFixedSize(kWidth, kHeight);
    const QPointer<CommandPaletteController> self(this);
    auto* view = new CommandPaletteView(*commands_, [self](bool afterCommand) {
        // Escape hands the keyboard back to where it was; a command chose where it goes itself.
        if (self) self->closePanel(!afterCommand);
    });
    panel->setContentView(view);
    // The window shows only the card, so a desktop without a compositor draws no dark corners.
    // Made now: a shape given before the window exists does not reach the desktop.
    panel->winId();
    QPainterPath card;
    card.addRoundedRect(view->cardRect(), CommandPaletteView::kCornerRadius,
                        CommandPaletteView::kCornerRadius);
    panel->setOutline(card);
    panel->setCompositorState(compositor_);
    // The manager keeps it above the others as a window that stays on top; marked as the desktop's
    // dock, it would never be given the focus.
    panel->setFrame(QRect(visible.left() + visible.width() / 2 - kWidth / 2, visible.top() + kTopOffset,
                          kWidth, kHeight));
    panel_ = panel;
    view_ = view;
    tookFocus_ = false;
    shell_.activateIgnoringOtherApps();
    panel->makeKey();
    view->searchField()->setFocus(Qt::ActiveWindowFocusReason);
}

void CommandPaletteController::dismiss() {
    closePanel(true);
}

void CommandPaletteController::toggle() {
    // A palette hidden when the application went inactive comes back.
    if (isShown())
        dismiss();
    else
        show(nullptr, std::nullopt);
}

void CommandPaletteController::applicationDidResignActive() {
    // The desktop tells late that the application went inactive: a palette opened from another
    // program meanwhile, still waiting for the focus, is not what the user left.
    if (!panel_ || !tookFocus_) return;
    keysBackWork_.cancel();
    panel_->hide();
    tookFocus_ = false;
}

void CommandPaletteController::closePanel(bool giveFocusBack) {
    keysBackWork_.cancel();
    if (!panel_) return;
    CommandPalettePanel* panel = panel_;
    panel_ = nullptr;
    view_ = nullptr;
    if (giveFocusBack)
        panel->orderOut();
    else
        panel->hide();
    // Later: this may run inside a click on one of the panel's own rows.
    panel->deleteLater();
}

void CommandPaletteController::updateFilter() {
    const bool wanted = hasKeyMonitor_;
    if (wanted == filtering_ || !qApp) return;
    if (wanted)
        qApp->installEventFilter(this);
    else
        qApp->removeEventFilter(this);
    filtering_ = wanted;
}

bool CommandPaletteController::handleKeyPress(const QKeyEvent& event) {
    if (!hotkeys_) return false;
    const auto binding = hotkeys_->bindings().find(HotkeyAction::commandPalette);
    if (binding == hotkeys_->bindings().end()) return false;
    const std::optional<VantrelHotkey> pressed = VantrelHotkey::fromEvent(event);
    // Only the exact combination: Control-Option-Space passes when Control-Space is bound.
    if (!pressed || *pressed != binding->second) return false;
    // Held down, the key repeats: the palette toggles once for the whole hold.
    if (!event.isAutoRepeat()) toggle();
    return true;
}

bool CommandPaletteController::eventFilter(QObject* watched, QEvent* event) {
    if (hasKeyMonitor_ && event->type() == QEvent::KeyPress && watched->isWidgetType())
        return handleKeyPress(*static_cast<QKeyEvent*>(event));
    return QObject::eventFilter(watched, event);
}

} // namespace vantrel
