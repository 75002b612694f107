#pragma once

#include "kit/Navigation.h"

#include <functional>

namespace vantrel {

class ClipboardStore;
class Clock;
class FileManager;
class FileNotices;
class FileShelfStore;
class FocusTimer;
class KeyboardCleaningController;
class MenuPresenter;
class NotesStore;
class OpenPanel;
class PermissionCenter;
class StopwatchStore;
class SystemAppearance;
class VantrelHaptics;
class VantrelMotion;
class VantrelPreferences;
class WorkQueue;

// What the home page and its quick-controls panel read and drive: the settings, the stores of
// the productivity modules, the permission center, keyboard cleaning, and the platform services
// they need. The window's own navigation and the command palette are reached through the two
// functions the composition root fills, so the page never sees the application state.
struct HomePageContext {
    VantrelPreferences& preferences;
    VantrelMotion& motion;
    VantrelHaptics& haptics;
    SystemAppearance& appearance;
    const Clock& clock;

    FocusTimer& focus;
    StopwatchStore& stopwatch;
    ClipboardStore& clipboard;
    FileShelfStore& shelf;
    NotesStore& notes;
    PermissionCenter& permissions;
    KeyboardCleaningController& keyboardCleaning;

    OpenPanel& openPanel;
    MenuPresenter& menus;
    // Existence checks and thumbnails of shelf files.
    FileManager& files;

    // Switches the window to `section`'s page.
    std::function<void(VantrelSection section)> selectSection;
    // Opens the command palette on the screen of the control-center window (its own choice of
    // screen while there is no window).
    std::function<void()> showCommandPalette;
    // What tells the page that a store's data could not be saved; none tells nothing.
    const FileNotices* fileNotices = nullptr;
    // Where the screenshots' thumbnails are read and decoded; none: on the asking thread.
    WorkQueue* pictures = nullptr;
};

} // namespace vantrel
