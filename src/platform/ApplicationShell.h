#pragma once

#include <functional>

class QWidget;

namespace vantrel {

// What the application tells its delegate: launch finished, becoming active, a reopen request
// (a second launch, or the user asking for the application again) and termination.
class ApplicationDelegate {
public:
    virtual ~ApplicationDelegate() = default;
    virtual void applicationDidFinishLaunching() = 0;
    virtual void applicationDidBecomeActive() = 0;
    // Returns whether the request was handled.
    virtual bool applicationShouldHandleReopen(bool hasVisibleWindows) = 0;
    virtual void applicationWillTerminate() = 0;
};

// The running application as the desktop sees it. Closing the last window never ends it; only
// terminate() (a menu command, SIGTERM or SIGINT) does, and always through the delegate's
// applicationWillTerminate().
class ApplicationShell {
public:
    virtual ~ApplicationShell() = default;
    // Brings the application forward even when another application is active.
    virtual void activateIgnoringOtherApps() = 0;
    // Shows the window, raises it above the others and gives it the keyboard focus.
    virtual void makeKeyAndOrderFront(QWidget& window) = 0;
    // Asks the application to end through its normal termination path.
    virtual void terminate() = 0;
    // Runs `observer` each time the application stops being the active one (another program took
    // the keyboard focus), for the shell's whole life. A shell that cannot tell never runs it.
    virtual void observeDeactivation(std::function<void()> observer) { (void)observer; }
};

} // namespace vantrel
