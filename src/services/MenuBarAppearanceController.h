#pragma once

#include "platform/Scheduler.h"
#include "services/MenuBarHoverPolicy.h"
#include "services/MenuBarOrganizerPolicy.h"
#include "services/MenuBarSectionControl.h"

#include <QObject>
#include <QPointer>
#include <QRect>
#include <QString>
#include <functional>
#include <memory>
#include <optional>

namespace vantrel {

class MenuBarScanner;
class Screens;
class StatusBar;
class UserDefaultsProvider;
class VantrelHaptics;
class VantrelPreferences;

// The menu-bar organizer. A divider status item of its own stands left of the application's
// item; stretched, it pushes the other programs' items left of it off the screen, and shrunk
// back to an icon it lets them be seen. A click on the application's item or the divider, the
// hot key, or hovering over the application's item reveals; a click or the hot key hides again.
// A tray draws other programs' icons where it likes: there hiding is this organizer's state (and
// the divider's length in the menu-bar model), while the tray keeps drawing them.
class MenuBarAppearanceController : public QObject {
    Q_OBJECT
    Q_PROPERTY(QString statusMessage READ statusMessage NOTIFY statusMessageChanged)
    Q_PROPERTY(bool areHiddenItemsRevealed READ areHiddenItemsRevealed NOTIFY areHiddenItemsRevealedChanged)
    Q_PROPERTY(bool areAlwaysHiddenItemsRevealed READ areAlwaysHiddenItemsRevealed NOTIFY
                   areAlwaysHiddenItemsRevealedChanged)
    Q_PROPERTY(bool isSetupMode READ isSetupMode NOTIFY isSetupModeChanged)
public:
    using SetupExitOutcome = MenuBarOrganizerPolicy::SetupExitOutcome;

    static constexpr const char* kOffMessage = "Menu-bar organizer is off";
    static constexpr const char* kSetupMessage = "Setup active — Command-drag the Vantrel divider";
    static constexpr const char* kUnplacedMessage = "Set the divider before hiding icons";
    static constexpr const char* kRevealedMessage = "Hidden items are visible";
    static constexpr const char* kHiddenMessage =
        "Icons are hidden — click or hover over the Vantrel control to reveal";
    // Hidden where the status area draws every icon whatever the divider's length (a tray).
    static constexpr const char* kMarkedHiddenMessage = "Set to hidden — this tray still shows every icon";
    // Set by the settings page once Finish has been applied.
    static constexpr const char* kSetupFinishedMessage = "Setup finished — managed items are visible";

    // How often the pointer is checked against the application's item, and how late a check may run.
    static constexpr Seconds kHoverInterval{0.08};
    static constexpr Seconds kHoverTolerance{0.02};
    // How far around the application's item the pointer still counts as on it.
    static constexpr int kHoverMarginX = 6;
    static constexpr int kHoverMarginY = 3;
    // The stretch of a divider when no screen is known.
    static constexpr double kWidthWithoutScreens = 2048;

    struct Dependencies {
        // Where the dividers go; none: they have no item.
        StatusBar* statusBar = nullptr;
        // Holds the suite the dividers' places are seeded in.
        UserDefaultsProvider& defaults;
        const Screens& screens;
        Scheduler& scheduler;
        // Plays the controls pattern when items are revealed; none: no pulse.
        VantrelHaptics* haptics = nullptr;
    };

    explicit MenuBarAppearanceController(Dependencies dependencies, QObject* parent = nullptr);
    ~MenuBarAppearanceController() override;

    // Brings the organizer in line with the settings: off removes the dividers; on shows the
    // divider, hiding the items when it is placed and they are not revealed.
    virtual void apply(VantrelPreferences& preferences, MenuBarScanner& scanner);
    // Hides the hidden items when revealed, else reveals them, while the organizer is on and set
    // up and no setup runs. Given settings and scanner are remembered (weakly) for later calls.
    virtual void toggleHiddenItems(VantrelPreferences* preferences, MenuBarScanner* scanner);
    void hideHiddenItems();
    void revealHiddenItems();
    // Starts divider setup: the organizer is switched on and the divider stands out. `kind` is
    // accepted for the settings page's sake; only the hidden divider is ever set up.
    virtual void beginSetup(VantrelPreferences& preferences, MenuBarScanner& scanner,
                            MenuBarSectionKind kind = MenuBarSectionKind::hidden);
    // Ends setup with what the page's Finish or Cancel decided, storing both settings.
    virtual void applySetupExit(SetupExitOutcome outcome, VantrelPreferences& preferences);
    // No tint is ever drawn, so there is none to take away.
    virtual void hideTint();
    // Removes the dividers and ends setup; the organizer is off afterwards.
    virtual void disableItemHiding();
    // Starts or stops the hover check as the settings ask.
    void installRevealGestures();
    // One hover check: reveals when the pointer rests on the application's item.
    void checkHover();

    // The settings last handed to an operation; none before the first, or once they are gone.
    VantrelPreferences* preferences() const { return preferences_; }
    const QString& statusMessage() const { return statusMessage_; }
    // The settings page reports the end of setup here.
    void setStatusMessage(const QString& message);
    bool areHiddenItemsRevealed() const { return areHiddenItemsRevealed_; }
    bool areAlwaysHiddenItemsRevealed() const { return areAlwaysHiddenItemsRevealed_; }
    void setAreAlwaysHiddenItemsRevealed(bool revealed);
    bool isSetupMode() const { return isSetupMode_; }
    MenuBarSectionKind setupKind() const { return setupKind_; }
    // The state setup began in, while it runs; what Cancel returns to.
    const std::optional<MenuBarSetupEntryState>& setupEntryState() const { return setupEntryState_; }
    const MenuBarHoverPolicy& hoverPolicy() const { return hoverPolicy_; }
    bool isHoverCheckRunning() const { return hoverTimer_.isActive(); }
    const MenuBarSectionControl* hiddenSection() const { return hiddenSection_.get(); }
    const MenuBarSectionControl* alwaysHiddenSection() const { return alwaysHiddenSection_.get(); }

    // Where the application's own status item sits on screen; none when the desktop does not say.
    std::function<std::optional<QRect>()> primaryControlFrameProvider;

Q_SIGNALS:
    void statusMessageChanged(const QString& message);
    void areHiddenItemsRevealedChanged(bool revealed);
    void areAlwaysHiddenItemsRevealedChanged(bool revealed);
    void isSetupModeChanged(bool isSetupMode);

private:
    void setAreHiddenItemsRevealed(bool revealed);
    void setSetupMode(bool isSetupMode);
    void setMessage(const char* message);
    void makeHiddenSectionIfNeeded();
    void stopHoverCheck();
    bool isOrganizerOn() const;

    Dependencies dependencies_;
    QString statusMessage_ = QString::fromLatin1(kOffMessage);
    bool areHiddenItemsRevealed_ = false;
    bool areAlwaysHiddenItemsRevealed_ = false;
    bool isSetupMode_ = false;
    MenuBarSectionKind setupKind_ = MenuBarSectionKind::hidden;
    std::unique_ptr<MenuBarSectionControl> hiddenSection_;
    std::unique_ptr<MenuBarSectionControl> alwaysHiddenSection_;
    ScheduledTask hoverTimer_;
    MenuBarHoverPolicy hoverPolicy_;
    QPointer<VantrelPreferences> preferences_;
    QPointer<MenuBarScanner> scanner_;
    std::optional<MenuBarSetupEntryState> setupEntryState_;
};

} // namespace vantrel
