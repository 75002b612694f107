#include "app/VantrelApp.h"

#include "app/AppState.h"
#include "app/ControlCenterWindowKeeper.h"
#include "control-center/RootView.h"
#include "control-center/VantrelMark.h"
#include "modules/FocusTimer.h"
#include "platform/ApplicationShell.h"
#include "platform/Screens.h"
#include "services/CommandPaletteController.h"

#include <QAction>
#include <QGuiApplication>
#include <QMainWindow>
#include <QMenuBar>

namespace vantrel {

VantrelApp::VantrelApp(AppState& state, const ControlCenterContext& context, ApplicationShell& shell,
                       Screens& screens, QObject* parent)
    : QObject(parent), state_(state), shell_(shell), window_(std::make_unique<QMainWindow>()),
      keeper_(std::make_unique<ControlCenterWindowKeeper>(screens, context.scheduler, kControlCenterMargin)) {
    // The title bar, the task bar and every dialog show the mark rather than the desktop's generic
    // window icon.
    if (QGuiApplication::windowIcon().isNull())
        QGuiApplication::setWindowIcon(VantrelMark::applicationIcon());
    window_->setWindowTitle(QStringLiteral("Vantrel"));
    rootView_ = new RootView(context);
    window_->setCentralWidget(rootView_);
    // The window manager tells the frame's size only once the window is on screen, after it was
    // configured: the least size and the frame on screen are worked out again then.
    window_->installEventFilter(this);
    connect(rootView_, &RootView::windowFound, this, [this](QWidget* window) {
        if (window) configureControlCenterWindow(*window);
    });

    // On a screen smaller than the least size, the least size gives way to the room the screen
    // has, so that the whole frame, its foot and its title bar, fits between the housing's band
    // and the screen's bottom.
    keeper_->setRoomListener([this](QSize room) {
        room_ = room;
        // The decorations as they are now: the window manager may have framed the window anew
        // in the very event that has the keeper fit it.
        if (QWidget* window = keeper_->window())
            setLeastSize(*window, window->frameGeometry().size() - window->geometry().size());
    });

    commandMenu_ = window_->menuBar()->addMenu(QStringLiteral("Vantrel"));
    const auto add = [this](const QString& title, const QKeySequence& key, void (VantrelApp::*action)()) {
        QAction* item = commandMenu_->addAction(title);
        item->setShortcut(key);
        connect(item, &QAction::triggered, this, action);
        return item;
    };
    add(QStringLiteral("About Vantrel"), {}, &VantrelApp::about);
    commandMenu_->addSeparator();
    add(QStringLiteral("Open Notch"), QKeySequence(QStringLiteral("Ctrl+Shift+N")), &VantrelApp::openNotch);
    add(QStringLiteral("Command Palette"), QKeySequence(QStringLiteral("Ctrl+Space")),
        &VantrelApp::openPalette);
    commandMenu_->addSeparator();
    timerAction_ = add(QStringLiteral("Start Timer"), {}, &VantrelApp::toggleTimer);
    // The desktop's standard last item of an application menu.
    commandMenu_->addSeparator();
    add(QStringLiteral("Quit Vantrel"), QKeySequence(QStringLiteral("Ctrl+Q")), &VantrelApp::quit);
    connect(commandMenu_, &QMenu::aboutToShow, this, &VantrelApp::updateCommandTitles);
    setLeastSize(*window_, QSize());
}

bool VantrelApp::eventFilter(QObject* watched, QEvent* event) {
    if (watched == window_.get() && (event->type() == QEvent::Move || event->type() == QEvent::Resize) &&
        state_.controlCenterWindow() == window_.get() &&
        window_->frameGeometry().size() - window_->geometry().size() != decorations_)
        configureControlCenterWindow(*window_);
    return QObject::eventFilter(watched, event);
}

void VantrelApp::setLeastSize(QWidget& window, QSize decorations) {
    decorations_ = decorations;
    // 720 by 600 is the least size of the whole frame, the window manager's decorations included,
    // so that a window at its least size fits a 600-point screen with its foot (where a file
    // notice sits) on it; less where its screen has less room. The view's least size leaves the
    // menu bar its room within.
    const QSize least = (controlCenterMinimumSize().boundedTo(room_) - decorations).expandedTo(QSize(1, 1));
    window.setMinimumSize(least);
    const int menuBar = window_->menuBar()->isNativeMenuBar() ? 0 : window_->menuBar()->sizeHint().height();
    rootView_->setMinimumSize(least - QSize(0, menuBar));
}

VantrelApp::~VantrelApp() = default;

void VantrelApp::showControlCenter() {
    window_->resize(kDefaultWidth, kDefaultHeight);
    // Placed before it is mapped, so that the window manager maps it on the screen in use.
    keeper_->placeFirst(*window_);
    window_->show();
}

void VantrelApp::configureControlCenterWindow(QWidget& window) {
    state_.setControlCenterWindow(&window);
    // A Linux window manager draws the frame, so the transparent title bar and the background
    // dragging of the original window have no counterpart here.
    window.setObjectName(QStringLiteral("vantrel.control-center"));
    window.setWindowTitle(QStringLiteral("Vantrel"));
    // The frame includes the decorations the window manager draws around the window.
    const QRect frameRect = window.frameGeometry();
    const QSize decorations = frameRect.size() - window.geometry().size();
    setLeastSize(window, decorations);

    // Kept inside its screen from now on: each time it shows, and as the screens change.
    keeper_->watch(window);
}

QSize VantrelApp::controlCenterMinimumSize() const {
    return QSize(720, 600);
}

void VantrelApp::updateCommandTitles() {
    timerAction_->setText(state_.focus().isRunning() ? QStringLiteral("Pause Timer")
                                                     : QStringLiteral("Start Timer"));
}

void VantrelApp::about() {
    state_.showSection(VantrelSection::home);
}

void VantrelApp::openNotch() {
    state_.showNotch(NotchTab::home, true);
}
void VantrelApp::openPalette() {
    // The palette opens once the settings have linked it to the state; while its setting has been
    // off since launch, this does nothing.
    state_.commandPalette().show(nullptr, std::nullopt);
}
void VantrelApp::toggleTimer() {
    state_.perform(HotkeyAction::toggleFocus);
}
void VantrelApp::quit() {
    shell_.terminate();
}

} // namespace vantrel
