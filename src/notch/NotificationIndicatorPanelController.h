#pragma once

#include "kit/VantrelPanel.h"

#include <QObject>
#include <QPointer>
#include <QRectF>
#include <functional>

namespace vantrel {

class ApplicationShell;
class DisplayCoordinator;
class InputFocus;
class NotificationIndicatorShadow;
class NotificationSignalStore;
class Screens;
class VantrelPreferences;

// The red dot just right of the camera housing that tells of waiting alerts, whether the notch
// panel is open, closed or switched off. It follows the alerts, the two alert settings and the
// screens; a click clears the alerts and opens the settings window on its notifications section.
class NotificationIndicatorPanelController : public QObject {
    Q_OBJECT
public:
    static constexpr double kDotSize = 12;

    struct Dependencies {
        NotificationSignalStore& alerts;
        VantrelPreferences& preferences;
        DisplayCoordinator& displays;
        Screens& screens;
        InputFocus& inputFocus;
        ApplicationShell& shell;
        // What the click opens: the control center on its notifications section, brought
        // forward. Without it the click only activates the application.
        std::function<void()> openNotificationsSection;
        // Whether the desktop blends the dot's glow and edge, and what keeps the dot above other
        // windows; none: a compositor that blends, and raising alone.
        CompositorState* compositor = nullptr;
        WindowStacking* stacking = nullptr;
    };

    explicit NotificationIndicatorPanelController(Dependencies dependencies, QObject* parent = nullptr);
    ~NotificationIndicatorPanelController() override;

    // Alerts and the indicator are on and an alert waits.
    bool shouldShow() const;
    QWidget* panel() const;
    // The dot's red glow, a window of its own just under the dot's; none before the dot first shows.
    QWidget* shadowWindow() const;
    // Where the dot's window goes beside a housing centred at `notchCenter` (12 by 12, starting
    // 8 points right of the housing, 2 points below the top of the display).
    static QRectF dotFrame(double notchCenter, double notchWidth, double screenTop);

    // Places the dot's window (made when needed) and shows it above the others.
    void placePanel(const QRectF& frame);
    // Hides the dot's window; it stays for the next showing.
    virtual void orderOutPanel();
    // Hides the dot's window and lets it go.
    virtual void releasePanel();
    // The dot's click.
    void openNotifications();
    // Shows or hides the dot for the alerts, the settings and the screens as they are now.
    void updateVisibility();

private:
    VantrelPanel& makePanelIfNeeded();

    Dependencies deps_;
    QPointer<VantrelPanel> panel_;
    QPointer<NotificationIndicatorShadow> shadow_;
};

} // namespace vantrel
