#pragma once

#include <functional>

namespace vantrel {

class CustomDockController;
class DockContentStore;
class DockSettingsStore;
class FileShelfStore;
class RunningAppsStore;

// What the Dock page edits and calls beside the settings: the native Dock's editable copy, the
// pinned items, the live Dock's controller and its running applications, the file shelf, and the
// three operations of the application the page starts.
struct DockPageContext {
    DockSettingsStore& nativeDock;
    DockContentStore& content;
    CustomDockController& dockController;
    RunningAppsStore& runningApps;
    FileShelfStore& fileShelf;
    // The live Dock re-arms its pointer behaviour with the current settings.
    std::function<void()> applyBehavior;
    // The live Dock's panel moves to where the current settings put it.
    std::function<void()> reposition;
    // The notch opens on its file shelf and takes the keyboard (turning the notch on if it is off).
    std::function<void()> showFileShelf;
};

} // namespace vantrel
