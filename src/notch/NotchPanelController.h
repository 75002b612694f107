#pragma once

#include "kit/Navigation.h"
#include "kit/VantrelPanel.h"
#include "notch/DisplayCoordinator.h"
#include "notch/NotchSurfaceContext.h"
#include "notch/NotificationIndicatorPanelController.h"
#include "platform/Scheduler.h"

#include <QObject>
#include <QPointer>
#include <QPropertyAnimation>
#include <QRectF>
#include <QVariantAnimation>
#include <cstdint>
#include <optional>

class QWindow;

namespace vantrel {

class BackdropBlur;
class EventMonitors;
class HapticPerformer;
class InputFocus;
class VantrelDiagnostics;
class VantrelHaptics;
class VantrelMotion;
class VantrelPreferences;

// The panel that hangs from the top edge of the notch display around the camera housing: notch
// sized while idle, opened into the expanded surface on hover, click or command and closed again
// with a mask that grows from, or shrinks to, the notch. It hides while no display has a notch and
// comes back when one does.
class NotchPanelController : public QObject {
    Q_OBJECT
    Q_PROPERTY(bool isExpanded READ isExpanded NOTIFY isExpandedChanged)
    Q_PROPERTY(bool hasPhysicalNotch READ hasPhysicalNotch NOTIFY hasPhysicalNotchChanged)
    Q_PROPERTY(double hardwareNotchWidth READ hardwareNotchWidth NOTIFY hardwareNotchWidthChanged)
    Q_PROPERTY(double topBridgeHeight READ topBridgeHeight NOTIFY topBridgeHeightChanged)
public:
    static constexpr double kBalancedHoverDelay = 0.18;
    static constexpr double kCarefulHoverDelay = 0.36;
    static constexpr double kCollapseDelay = 0.42;
    static constexpr double kPresentationDuration = 0.25;
    static constexpr double kReducedPresentationDuration = 0.12;
    static constexpr double kFrameDuration = 0.16;
    static constexpr double kReducedFrameDuration = 0.1;
    // How long after a click outside the panel waits for another window to take the keys.
    static constexpr double kKeysBackDelay = 0.25;

    struct Dependencies {
        Scheduler& scheduler;
        Screens& screens;
        DisplayCoordinator& displays;
        VantrelDiagnostics& diagnostics;
        // Who holds the keyboard focus before the panel takes it, and gets it back.
        InputFocus& inputFocus;
        // The shared settings: the hover delay, the collapse behaviour, the open size and whether
        // interface haptics are on when the panel collapses.
        VantrelPreferences& preferences;
        VantrelHaptics& haptics;
        // Where the collapse's alignment pulse goes, past the user's chosen style.
        HapticPerformer& hapticPerformer;
        const VantrelMotion& motion;
        NotificationIndicatorPanelController::Dependencies indicator;
        // Whether the desktop blends translucent edges, and what keeps the panel above other
        // windows; none: a compositor that blends, and raising alone.
        CompositorState* compositor = nullptr;
        WindowStacking* stacking = nullptr;
        // What blurs the windows behind the open crystal glass where the desktop offers it;
        // none: nothing does, and the glass hides them by itself.
        BackdropBlur* backdropBlur = nullptr;
        // What reports the clicks of the whole desktop, so that a panel holding the keys closes on
        // a click outside it; none: only another window taking the focus closes it.
        EventMonitors* clicks = nullptr;
    };

    // Where the panel goes on the active notch display, in screen coordinates (y downwards).
    struct ResolvedLayout {
        ScreenInfo screen;
        VantrelDisplayEligibility eligibility;
        QSizeF compactSize;
        QRectF compactFrame;
        QRectF expandedFrame;
        double notchCenter = 0;
    };

    // The presentation mask as drawn: a rounded rectangle hanging from the top centre of the panel.
    struct MaskShape {
        QSizeF size;
        double radius = 0;
        bool operator==(const MaskShape&) const = default;
    };

    // `surface` is what the panel's view and its tabs read and drive.
    NotchPanelController(Dependencies dependencies, const NotchSurfaceContext& surface,
                         QObject* parent = nullptr);
    ~NotchPanelController() override;

    // Shows the collapsed panel. Creates the panel once and places it on every call.
    virtual void show();
    // Orders the panel and the alert dot out and lets the panel go. Safe when nothing is shown.
    virtual void hide();
    // Opens the panel on `tab` (none keeps the selected tab), taking the keyboard focus when asked.
    virtual void expand(std::optional<NotchTab> tab, bool takeFocus);
    // Closes the panel, gives back the keyboard focus it took and plays the alignment pulse. Escape
    // does the same while the open panel holds the keyboard, and so does a click outside it; when
    // another window takes the focus from it, it closes and leaves the keys there.
    void collapse();
    // The pointer entered: opens now or after the responsiveness delay.
    void scheduleHoverExpand();
    // The pointer left: closes now, after 0.42 seconds or never, by the collapse setting.
    void scheduleCollapse();
    // What the surface does first when the pointer enters and leaves.
    void cancelPendingCollapse();
    void cancelPendingHoverExpand();
    // The pointer left the surface: a panel closed by Escape under it opens on hover again.
    void pointerLeft();
    // Places the panel for its current state and layout; animated only on its own display.
    void reposition(bool animated);

    NotificationIndicatorPanelController& notificationIndicator() { return *notificationIndicator_; }

    bool isExpanded() const { return isExpanded_; }
    bool hasPhysicalNotch() const { return hasPhysicalNotch_; }
    double hardwareNotchWidth() const { return hardwareNotchWidth_; }
    double topBridgeHeight() const { return topBridgeHeight_; }
    NotchTab selectedTab() const { return selectedTab_; }
    // Selecting another tab while the panel opens or is open plays the controls haptic and re-frames
    // the panel when the tab is of another height.
    void setSelectedTab(NotchTab tab);

    // What is on screen, for the surface and for tests.
    bool hasPanel() const { return panel_ != nullptr; }
    VantrelPanel* panel() const { return panel_; }
    bool isTargetExpanded() const { return targetExpanded_; }
    const std::optional<ResolvedLayout>& lastLayout() const { return lastLayout_; }
    // The mask as it is drawn now; none while the panel draws unmasked.
    std::optional<MaskShape> presentationMask() const;
    QVariantAnimation* presentationAnimation() const { return maskAnimation_; }
    QPropertyAnimation* frameAnimation() const { return frameAnimation_; }
    bool isHoverExpandPending() const { return hoverExpandWork_.isActive(); }
    bool isCollapsePending() const { return collapseWork_.isActive(); }
    // Closed by Escape with the pointer on the notch: hovering opens nothing until it has left.
    bool isHoverHeldOff() const { return hoverHeldOff_; }
    // Whether the open panel took the keyboard when it was asked to, and has not let it go.
    bool holdsKeys() const { return holdsKeys_; }

Q_SIGNALS:
    void isExpandedChanged(bool isExpanded);
    void hasPhysicalNotchChanged(bool hasPhysicalNotch);
    void hardwareNotchWidthChanged(double width);
    void topBridgeHeightChanged(double height);
    void selectedTabChanged(vantrel::NotchTab tab);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    // Replaces the indicator controller (before anything is shown).
    void setNotificationIndicator(NotificationIndicatorPanelController* indicator);
    // The view inside the panel.
    virtual QWidget* makeSurfaceView();

private:
    std::optional<ResolvedLayout> resolveLayout();
    void updateGeometry(const VantrelDisplayEligibility& display);
    static double notchAnchorX(const ScreenInfo& screen, bool hasPhysicalNotch);
    // Starts an opening or closing presentation; false when no notch display is there to show it.
    bool animatePresentation(bool expanding);
    void finishPresentation(qint64 generation, const ResolvedLayout& layout);
    void resetPresentationLayer();
    void hideForIneligibleDisplay();
    void restorePersistentPanel(const QString& reason);
    void placeIndicator(const ResolvedLayout& layout);
    void setFrame(const QRectF& frame);
    void stopFrameAnimation();
    void applyOutline();
    // The open surface's outline over the whole panel.
    QPainterPath expandedOutline() const;
    void setExpanded(bool expanded);
    void setHasPhysicalNotch(bool value);
    // Follows whether the panel holds the keys: while it does, a click anywhere else closes it.
    void setHoldsKeys(bool holds);
    // collapse(), handing the keys back or leaving them where they are.
    void close(bool handKeysBack);
    void focusWindowChanged(QWindow* window);
    void clickedSomewhere();
    // The panel asked for the keys: clicked, or an alert came up in it.
    void keyRequested();
    // Whether the pointer is where the closed panel rests, on the notch.
    bool pointerOnNotch() const;
    // Whether `window` is one of the program's own that opened over the panel (a chooser), or,
    // with none, whether such a window is up.
    bool opensOverPanel(const QWindow* window) const;
    double presentationDuration() const;
    quint64 windowNumber() const;

    Dependencies deps_;
    NotchSurfaceContext surface_;
    NotificationIndicatorPanelController* notificationIndicator_;
    QPointer<VantrelPanel> panel_;
    ScheduledTask collapseWork_;
    ScheduledTask hoverExpandWork_;
    ScheduledTask transitionWork_;
    ScheduledTask keysBackWork_;
    std::optional<quint32> visibleDisplayID_;
    qint64 presentationGeneration_ = 0;
    bool targetExpanded_ = false;
    // The mask's model values and its running animation: from `maskStart_` to the model.
    std::optional<MaskShape> maskModel_;
    MaskShape maskStart_;
    QPointer<QVariantAnimation> maskAnimation_;
    QPointer<QPropertyAnimation> frameAnimation_;
    std::optional<ResolvedLayout> lastLayout_;

    bool isExpanded_ = false;
    // Whether the panel was made key on opening, and whether it has held the focus since: the
    // desktop tells late where the focus went, and a loss reported before the panel ever had it
    // is not the user's click elsewhere.
    bool holdsKeys_ = false;
    bool heldFocus_ = false;
    bool hoverHeldOff_ = false;
    std::uint64_t clickMonitor_ = 0;
    bool hasPhysicalNotch_ = false;
    double hardwareNotchWidth_ = 170;
    double topBridgeHeight_ = 38;
    NotchTab selectedTab_ = NotchTab::home;
};

} // namespace vantrel
