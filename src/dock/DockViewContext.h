#pragma once

#include "core/PreferenceEnums.h"

#include <QSizeF>
#include <atomic>
#include <functional>

namespace vantrel {

class AlertPresenter;
class CustomDockController;
class DockContentStore;
class FileShelfStore;
class MenuPresenter;
class RunningAppsStore;
class Scheduler;
class SystemLog;
class Trash;
class VantrelMotion;
class VantrelPreferences;
class WorkQueue;
class Workspace;

// What the replacement Dock's row reads and acts on, handed in by the composition root.
struct DockViewContext {
    RunningAppsStore& store;
    DockContentStore& content;
    VantrelPreferences& preferences;
    FileShelfStore& shelf;
    Trash& trash;
    Workspace& workspace;
    MenuPresenter& menus;
    AlertPresenter& alerts;
    Scheduler& scheduler;
    SystemLog& log;
    // Where the Trash is emptied, off the main thread; none: the row offers no emptying.
    WorkQueue* trashQueue = nullptr;
    // Set when the program quits: an emptying under way stops at its next entry. Outlives the
    // queue's work.
    const std::atomic<bool>* quitting = nullptr;
    // The source of the item-editing mode; none: never editing.
    CustomDockController* controller = nullptr;
    // Follows the desktop's reduced-motion wish; none: full motion.
    const VantrelMotion* motion = nullptr;
    // Plays the interface haptic of a surface.
    std::function<void(HapticSurface)> playHaptic;
    // The shelf tile's action: the notch on its files tab.
    std::function<void()> openShelf;
    // Receives every measured size of the view.
    std::function<void(QSizeF)> onContentSizeChange;
};

} // namespace vantrel
