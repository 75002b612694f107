#pragma once

#include "dock/DockDefaultsClient.h"
#include "platform/Clock.h"
#include "platform/Scheduler.h"
#include "platform/Screens.h"
#include "platform/WindowList.h"

#include <QObject>
#include <QPointer>
#include <QRect>
#include <QSizeF>
#include <QString>
#include <QVariantAnimation>
#include <atomic>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace vantrel {

class CompositorState;
class DockContentStore;
class FloatingDockPanel;
class SystemLog;
class UserDefaultsProvider;
class VantrelPreferences;
class WindowStacking;
class WorkQueue;

// The replacement Dock: its floating panel at the bottom of a screen, sliding in and out by the
// hide mode as the pointer comes and goes, and the switching of the system Dock between
// suppressed (shrunk through its own settings) and restored, one transition at a time, with the
// status texts the Dock settings page shows.
class CustomDockController : public QObject {
    Q_OBJECT
    Q_PROPERTY(bool isVantrelDockVisible READ isVantrelDockVisible NOTIFY isVantrelDockVisibleChanged)
    Q_PROPERTY(bool isDockRevealed READ isDockRevealed NOTIFY isDockRevealedChanged)
    Q_PROPERTY(bool isChangingSystemDock READ isChangingSystemDock NOTIFY isChangingSystemDockChanged)
    Q_PROPERTY(QString statusMessage READ statusMessage NOTIFY statusMessageChanged)
    Q_PROPERTY(bool isEditingItems READ isEditingItems WRITE setIsEditingItems NOTIFY isEditingItemsChanged)
public:
    static constexpr const char* kNativeDockActive = "Native macOS Dock active";
    static constexpr const char* kNativeDockRestored = "Native macOS Dock restored";
    static constexpr const char* kRestoreFailedAtQuit = "Could not restore the macOS Dock before quitting";

    struct Dependencies {
        // Our standard defaults hold the snapshot; the system Dock's settings are the suite
        // "com.apple.dock" beside them.
        UserDefaultsProvider& defaults;
        SystemLog& log;
        // The serial queue of every command on the system Dock (SystemDockQueue in the application).
        WorkQueue& systemDockQueue;
        // The serial queue the window list is read on, owned by the controller.
        std::unique_ptr<WorkQueue> windowListQueue;
        WindowList& windows;
        Scheduler& scheduler;
        const Clock& clock;
        Screens& screens;
        // Our own process, whose windows never cover the Dock.
        qint64 ownProcessId = 0;
        std::function<bool()> prefersReducedMotion = [] { return false; };
        // Whether the desktop shows its overview of all windows; read off the main thread.
        std::function<bool()> missionControlActive;
        // What the width estimate counts before the Dock view has measured itself.
        std::function<int(const DockContentStore&)> pinnedItemCount = [](const DockContentStore&) {
            return 0;
        };
        std::function<int()> runningApplicationCount = [] { return 0; };
        // Builds the view the panel hosts; none: an empty panel.
        std::function<QWidget*()> makeDockView;
        // Builds the client of the system Dock's settings for one transition; none: the
        // "com.apple.dock" domain of `defaults` with a 4-second limit per command.
        std::function<std::unique_ptr<DockDefaultsClient>()> makeDefaultsClient;
        // What marks the panel as the desktop's dock and keeps it above other windows; none:
        // raising when shown alone.
        WindowStacking* stacking = nullptr;
        // Whether a compositor blends the panel's clear parts; none: one that does.
        CompositorState* compositor = nullptr;
    };

    explicit CustomDockController(Dependencies dependencies, QObject* parent = nullptr);
    ~CustomDockController() override;

    // Shows the replacement Dock and asks for the system Dock to be suppressed.
    virtual void show(VantrelPreferences& preferences, DockContentStore& content);
    // Hides the replacement Dock and restores the system Dock: later, or (at quit) before
    // returning.
    virtual void hide(bool restoreSynchronously);
    // Slides the panel in (true) or out (false).
    virtual void setRevealed(bool revealed, bool animated);
    // Moves the system Dock toward the wanted state, one transition at a time.
    virtual void synchronizeSystemDock();
    // Replaces what builds the view of a panel built later.
    void setMakeDockView(std::function<QWidget*()> make) { deps_.makeDockView = std::move(make); }
    // Moves the panel to its target frame (not while a slide runs).
    void reposition();
    // Re-applies the hide mode; after the hide mode or a delay changed.
    void applyBehavior();
    // The Dock view's measured size; sizes reported in one pass of the main loop end in one
    // repositioning with the latest.
    void contentSizeChanged(QSizeF size);

    bool isVantrelDockVisible() const { return isVantrelDockVisible_; }
    bool isDockRevealed() const { return isDockRevealed_; }
    bool isChangingSystemDock() const { return isChangingSystemDock_; }
    const QString& statusMessage() const { return statusMessage_; }
    bool isEditingItems() const { return isEditingItems_; }
    void setIsEditingItems(bool editing);

    bool wantsSystemDockSuppressed() const { return wantsSystemDockSuppressed_; }
    void setWantsSystemDockSuppressed(bool wants) { wantsSystemDockSuppressed_ = wants; }
    bool shouldVerifyInitialPendingSuppression() const { return shouldVerifyInitialPendingSuppression_; }
    void setShouldVerifyInitialPendingSuppression(bool verify) {
        shouldVerifyInitialPendingSuppression_ = verify;
    }
    bool isSystemDockSuppressed() const { return isSystemDockSuppressed_; }
    bool isTransitionInFlight() const { return transitionInFlight_; }

    bool hasPanel() const { return panel_ != nullptr; }
    FloatingDockPanel* panel() const { return panel_.get(); }
    // The slide that runs, or none.
    QVariantAnimation* slideAnimation() const { return slide_; }
    bool isSlideInFlight() const { return dockSlideInFlight_; }
    std::optional<QSizeF> measuredContentSize() const { return measuredContentSize_; }
    // The panel's frame on `screen`, slid in or out.
    QRect targetFrame(const ScreenInfo& screen, const VantrelPreferences& preferences, bool revealed) const;

Q_SIGNALS:
    void isVantrelDockVisibleChanged(bool visible);
    void isDockRevealedChanged(bool revealed);
    void isChangingSystemDockChanged(bool changing);
    void statusMessageChanged(const QString& message);
    void isEditingItemsChanged(bool editing);
    // A suppression or restore left the system Dock as it is, for the reason given in words for
    // the user (its settings could not be read, or the snapshot could not be saved).
    void systemDockLeftAsItIs(const QString& reason);
    // A suppression or restore ended with the system Dock's settings read and nothing left as it
    // is for such a reason, or the Vantrel Dock was turned off: what was said of it before no
    // longer holds.
    void systemDockProblemGone();

private:
    enum class Transition { suppress, restore };

    void dismissPanel();
    // After the screens changed: the panel stands again where its screen, or the main screen when
    // its screen went, wants it.
    void followScreens();
    std::function<std::unique_ptr<DockDefaultsClient>()> clientFactory() const;
    void finishTransition(Transition transition, bool result, bool pending, quint64 generation);
    void installBehaviorTimer();
    void installMissionControlMonitor();
    void readWindowList();
    void updatePointerBehavior();
    // The pointer check proper, at `pointer` and the time `now`. Where it found nothing to do,
    // also where else the pointer could be with the same answer: the area in which the next
    // checks need not run.
    std::optional<QRect> checkPointer(QPoint pointer, MonoTime now);
    // The part of `screen` where no other screen can be under the pointer, `bottomMargin` short of
    // its bottom edge; none where screens overlap.
    std::optional<QRect> quietAreaOn(const ScreenInfo& screen, int bottomMargin) const;
    bool evaluateOcclusion(const std::vector<QRect>& windows) const;
    std::optional<ScreenInfo> screenUnderMouse(QPoint pointer) const;
    std::optional<ScreenInfo> knownDockScreen() const;
    std::optional<ScreenInfo> currentDockScreen() const;
    std::optional<ScreenInfo> pointerScreen(QPoint pointer) const;
    // Something the pointer check reads has changed: its next tick checks again.
    void stateChanged() { ++stateGeneration_; }
    void setPanelFrame(const QRect& frame);
    // Where the panel may be seen on `screen`: that screen alone where another one lies in the
    // Dock's way as it slides (a monitor below), so that a hidden Dock shows on no other monitor;
    // none where nothing is in its way.
    std::optional<QRect> visibleAreaOn(const ScreenInfo& screen) const;
    bool isDockScreenInFullScreen(const ScreenInfo& screen) const;
    void setStatusMessage(const QString& message);
    void setVantrelDockVisible(bool visible);
    void setChangingSystemDock(bool changing);
    void setDockRevealedValue(bool revealed);

    Dependencies deps_;

    bool isVantrelDockVisible_ = false;
    bool isDockRevealed_ = true;
    bool isChangingSystemDock_ = false;
    QString statusMessage_ = QString::fromLatin1(kNativeDockActive);
    bool isEditingItems_ = false;

    std::unique_ptr<FloatingDockPanel> panel_;
    std::optional<QString> dockScreenName_;
    bool isSystemDockSuppressed_ = false;
    bool wantsSystemDockSuppressed_ = false;
    bool transitionInFlight_ = false;
    quint64 transitionGeneration_ = 0;
    bool shouldVerifyInitialPendingSuppression_ = false;
    QPointer<VantrelPreferences> preferences_;
    QPointer<DockContentStore> contentStore_;
    ScheduledTask behaviorTimer_;
    ScheduledTask missionControlMonitor_;
    // Set while a window-list read is queued or running; the read clears it when done, so that a
    // read that changed nothing need not wake the main thread to say so.
    std::shared_ptr<std::atomic<bool>> windowListReadInFlight_ = std::make_shared<std::atomic<bool>>(false);
    std::optional<QSizeF> measuredContentSize_;
    bool isApplyingMeasuredSize_ = false;
    std::optional<QSizeF> pendingMeasuredContentSize_;
    bool dockSlideInFlight_ = false;
    quint64 dockSlideGeneration_ = 0;
    QPointer<QVariantAnimation> slide_;
    std::optional<MonoTime> pointerLeftAt_;
    std::optional<MonoTime> edgeEnteredAt_;
    bool cachedMissionControlState_ = false;
    std::vector<QRect> cachedFullScreenWindows_;
    std::vector<QRect> cachedOcclusionRects_;
    // What a window-list read finds; the last one sent to the main thread is kept by the reads
    // themselves, off the main thread.
    struct WindowListReading {
        bool missionControl = false;
        std::vector<QRect> rects;
        std::vector<QRect> fullScreen;
        bool operator==(const WindowListReading&) const = default;
    };
    std::shared_ptr<std::optional<WindowListReading>> lastWindowListReading_ =
        std::make_shared<std::optional<WindowListReading>>();
    // The pointer at the last check, and where it rested when a check last found nothing to do,
    // with the state it found that in (a count raised by every change the check depends on).
    std::optional<QPoint> lastPointer_;
    std::optional<QPoint> settledPointer_;
    // Around the settled pointer, where the check would find the same nothing to do; a pointer on
    // the move within it is not checked, nor read afresh.
    std::optional<QRect> quietArea_;
    quint64 stateGeneration_ = 0;
    quint64 settledGeneration_ = 0;
    QMetaObject::Connection preferencesConnection_;
};

} // namespace vantrel
