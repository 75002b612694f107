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
    connect(rootView_, &RootView::windowFound, this, [this](QWidget* window) {
        if (window) configureControlCenterWindow(*window);
    });
    // A file notice takes a band at the foot of the window: the window grows by it rather than
    // squeezing the content under its least size.
    connect(rootView_, &RootView::noticeRoomChanged, this,
            [this] { window_->setMinimumSize(controlCenterMinimumSize()); });

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
}

VantrelApp::~VantrelApp() = default;

void VantrelApp::showControlCenter() {
    window_->resize(kDefaultWidth, kDefaultHeight);
    window_->show();
}

void VantrelApp::configureControlCenterWindow(QWidget& window) {
    state_.setControlCenterWindow(&window);
    // A Linux window manager draws the frame, so the transparent title bar and the background
    // dragging of the original window have no counterpart here.
    window.setObjectName(QStringLiteral("vantrel.control-center"));
    window.setWindowTitle(QStringLiteral("Vantrel"));
    window.setMinimumSize(controlCenterMinimumSize());

    // Kept inside its screen from now on: each time it shows, and as the screens change.
    keeper_->watch(window);
}

QSize VantrelApp::controlCenterMinimumSize() const {
    const int room = rootView_->noticeRoom();
    if (room == 0) return QSize(720, 600);
    // With a notice the content keeps at least its own 600 under the menu bar, the band below it.
    return QSize(720, 600 + room + window_->menuBar()->sizeHint().height());
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
