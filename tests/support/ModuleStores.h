#pragma once

#include "core/PermissionCenter.h"
#include "modules/BookmarksStore.h"
#include "modules/CalendarStore.h"
#include "modules/ClipboardStore.h"
#include "modules/FileShelfStore.h"
#include "modules/FocusTimer.h"
#include "modules/MediaController.h"
#include "modules/NotesStore.h"
#include "modules/StopwatchStore.h"
#include "modules/SystemMonitor.h"
#include "modules/TimerAlarm.h"
#include "notch/NotchSurfaceContext.h"
#include "support/ServiceFakes.h"

namespace vantrel::test {

// The stores of the productivity modules, built on the fakes of `ServiceFakes` the way the
// composition root builds them, without the application state: what the notch and the control
// center read in their tests.
struct ModuleStores {
    explicit ModuleStores(ServiceFakes& s) : s_(s) {}

private:
    ServiceFakes& s_;

    std::unique_ptr<ManualWorkQueue> clipboardQueueOwner_ = std::make_unique<ManualWorkQueue>();

public:
    // Where the history is written: a test drains it to let a write finish.
    ManualWorkQueue& clipboardQueue = *clipboardQueueOwner_;
    ClipboardStore clipboard{
        s_.pasteboard, s_.persistence, s_.clock, s_.scheduler, std::move(clipboardQueueOwner_), [] {
            if (auto* haptics = VantrelHaptics::sharedIfInstalled()) haptics->play(HapticSurface::controls);
        }};
    NotesStore notes{QStringLiteral("notes.json"), s_.persistence, s_.qaObserver, s_.clock, s_.scheduler};
    BookmarksStore bookmarks{s_.persistence, s_.workspace, s_.openPanel};
    FocusTimer focus{s_.defaults.standard(), TimerAlarm(s_.alarm, s_.alerts, s_.preferences), s_.clock,
                     s_.scheduler};
    StopwatchStore stopwatch{TimerAlarm(s_.alarm, s_.alerts, s_.preferences), s_.haptics, s_.clock,
                             s_.scheduler};
    RecordingKeyboardCleaningController keyboardCleaning{s_.log};
    SystemMonitor systemMonitor{s_.systemCounters, s_.scheduler, s_.clock, s_.qaObserver};
    FileShelfStore fileShelf{s_.defaults.standard(),
                             *s_.persistence.store().fileManager,
                             s_.clock,
                             s_.scheduler,
                             s_.workspace,
                             s_.sharing,
                             s_.haptics};
    CalendarStore calendar{s_.calendarService, s_.clock, s_.scheduler};
    MediaController media{s_.mediaAutomation, std::make_unique<ManualWorkQueue>(), s_.http, s_.scheduler};
    PermissionCenter permissions{s_.permissionSystem, [this] { return s_.calendarStatus; }, s_.loginItems,
                                 s_.workspace, s_.scheduler};

    // What the notch's surface and its tabs read.
    NotchSurfaceContext notchSurface() {
        return {.preferences = s_.preferences,
                .media = media,
                .calendar = calendar,
                .fileShelf = fileShelf,
                .clipboard = clipboard,
                .notes = notes,
                .bookmarks = bookmarks,
                .focus = focus,
                .stopwatch = stopwatch,
                .systemMonitor = systemMonitor,
                .permissions = permissions,
                .qaObserver = s_.qaObserver,
                .clock = s_.clock,
                .workspace = s_.workspace,
                .menus = s_.menus,
                .camera = s_.camera};
    }
};

} // namespace vantrel::test
