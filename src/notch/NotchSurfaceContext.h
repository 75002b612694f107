#pragma once

namespace vantrel {

class BookmarksStore;
class CalendarStore;
class CameraCapture;
class ClipboardStore;
class Clock;
class FileNotices;
class FileShelfStore;
class FocusTimer;
class MediaController;
class MenuPresenter;
class NotesStore;
class PermissionCenter;
class QAObserver;
class StopwatchStore;
class SystemMonitor;
class VantrelPreferences;
class Workspace;

// What the notch's surface and its tabs read and drive: the settings, the stores of the
// productivity modules, and the services their views act through. The composition root builds
// it, so nothing in the notch reaches for the application state.
struct NotchSurfaceContext {
    VantrelPreferences& preferences;
    // Polled exactly while the open surface is on screen.
    MediaController& media;
    CalendarStore& calendar;
    FileShelfStore& fileShelf;
    ClipboardStore& clipboard;
    NotesStore& notes;
    BookmarksStore& bookmarks;
    FocusTimer& focus;
    StopwatchStore& stopwatch;
    SystemMonitor& systemMonitor;
    // What the mirror tab asks before it opens the camera.
    PermissionCenter& permissions;
    QAObserver& qaObserver;
    const Clock& clock;
    Workspace& workspace;
    // Where the tabs' pop-up menus open.
    MenuPresenter& menus;
    CameraCapture& camera;
    // What tells the tabs that a store's data could not be saved; none tells nothing.
    const FileNotices* fileNotices = nullptr;
};

} // namespace vantrel
