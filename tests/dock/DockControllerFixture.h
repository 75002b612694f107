#pragma once

#include "core/LocalPersistence.h"
#include "core/VantrelPreferences.h"
#include "dock/CustomDockController.h"
#include "dock/DockContentStore.h"
#include "dock/FloatingDockPanel.h"
#include "platform/InMemoryDefaults.h"
#include "support/FakeFileManager.h"
#include "support/FakeOpenPanel.h"
#include "support/FakeScreens.h"
#include "support/FakeWindowList.h"
#include "support/ManualScheduler.h"
#include "support/ManualWorkQueue.h"
#include "support/RecordingDockDefaultsClient.h"
#include "support/RecordingRunningApplications.h"
#include "support/RecordingSystemLog.h"
#include "support/RecordingWindowStacking.h"
#include "support/RecordingWorkspace.h"
#include "support/TempHome.h"

#include <QVariantAnimation>
#include <memory>

namespace vantrel::test {

// Sends every command to one recording client that outlives the transitions.
class SharedDockClient final : public DockDefaultsClient {
public:
    explicit SharedDockClient(RecordingDockDefaultsClient& inner) : inner_(inner) {}
    DockPreferenceRead read(const QString& key) override { return inner_.read(key); }
    bool write(const QString& key, const QString& flag, const QString& value) override {
        return inner_.write(key, flag, value);
    }
    bool deleteKey(const QString& key) override { return inner_.deleteKey(key); }
    bool writeAll(const std::vector<NativeDockSetting>& settings, const QStringList& deletions) override {
        return inner_.writeAll(settings, deletions);
    }
    bool restartDock() override { return inner_.restartDock(); }

private:
    RecordingDockDefaultsClient& inner_;
};

// A controller on manual queues, a manual clock and fake screens: a 1512 by 982 main screen whose
// work area ends 40 points above its bottom edge, and a second screen to its right.
struct DockControllerFixture {
    static inline const ScreenInfo kMain{QStringLiteral("main"), QRect(0, 0, 1512, 982),
                                         QRect(0, 25, 1512, 917), 1};
    static inline const ScreenInfo kSecond{QStringLiteral("second"), QRect(1512, 0, 1920, 1080),
                                           QRect(1512, 0, 1920, 1080), 2};

    ManualClock clock;
    ManualScheduler scheduler{clock};
    InMemoryDefaultsProvider defaults;
    RecordingSystemLog log;
    RecordingDockDefaultsClient dock;
    ManualWorkQueue dockQueue;
    ManualWorkQueue* windowQueue = nullptr; // owned by the controller
    FakeWindowList windows;
    FakeScreens screens{{kMain}, kMain};
    VantrelPreferences preferences{defaults.standard()};
    // The pinned items, kept in a temporary home.
    TempHome home;
    FakeFileManager files;
    LocalPersistence persistence{LocalPersistence::Store{home.paths().dataFolder(), &files}, clock, log,
                                 QStringLiteral("com.vantrel.mac")};
    RecordingWorkspace workspace;
    FakeOpenPanel openPanel;
    RecordingRunningApplications running;
    DockContentStore content{persistence, workspace, openPanel, running};
    bool reducedMotion = false;
    bool missionControl = false;
    RecordingWindowStacking stacking;
    int pinnedItems = 0;
    int runningApplications = 0;
    std::unique_ptr<CustomDockController> controller;

    DockControllerFixture() { screens.pointer = QPoint(756, 400); }

    CustomDockController& make() {
        auto queue = std::make_unique<ManualWorkQueue>();
        windowQueue = queue.get();
        controller = std::make_unique<CustomDockController>(CustomDockController::Dependencies{
            .defaults = defaults,
            .log = log,
            .systemDockQueue = dockQueue,
            .windowListQueue = std::move(queue),
            .windows = windows,
            .scheduler = scheduler,
            .clock = clock,
            .screens = screens,
            .ownProcessId = 4242,
            .prefersReducedMotion = [this] { return reducedMotion; },
            .missionControlActive = [this] { return missionControl; },
            .pinnedItemCount = [this](const DockContentStore&) { return pinnedItems; },
            .runningApplicationCount = [this] { return runningApplications; },
            .makeDockView = {},
            .makeDefaultsClient = [this] { return std::make_unique<SharedDockClient>(dock); },
            .stacking = &stacking,
        });
        return *controller;
    }

    // The switch-off sequence of applying the settings with the replacement Dock off.
    void switchOff() {
        controller->setWantsSystemDockSuppressed(false);
        controller->setShouldVerifyInitialPendingSuppression(false);
        controller->setIsEditingItems(false);
        controller->setRevealed(true, true);
        controller->synchronizeSystemDock();
    }

    QRect panelFrame() const { return controller->panel() ? controller->panel()->frame() : QRect(); }

    // Runs the slide that is under way to its end.
    void finishSlide() {
        if (QVariantAnimation* slide = controller->slideAnimation()) slide->setCurrentTime(slide->duration());
    }

    // Advances the clock tick by tick (the pointer check runs every 0.1 s).
    void advance(double seconds) { scheduler.advance(Seconds(seconds)); }
};

} // namespace vantrel::test
