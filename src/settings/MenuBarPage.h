#pragma once

#include "control-center/ControlCenterContext.h"
#include "core/VantrelPreferences.h"
#include "kit/VantrelPage.h"

class QAbstractButton;

namespace vantrel {

class FeatureRow;
class SettingsCard;
class VantrelButton;
class VantrelSwitch;

// The menu-bar organizer's page: the organizer switch with the divider setup and the show/hide
// button, the three steps of a running setup with Finish and Cancel, and the reveal on hover. It
// keeps nothing of its own: what shows follows the settings and the organizer's state, and every
// change goes through the organizer's own operations.
class MenuBarPage final : public VantrelPage {
    Q_OBJECT
public:
    static constexpr double kMaxWidth = 880;

    // What the page shows for one state of the organizer.
    struct Visibility {
        bool actionRow = false;   // the setup button row under the organizer switch
        bool adjustLabel = false; // its pill reads "Adjust divider…" (else "Set up hidden icons…")
        bool showHideButton = false;
        bool readyMark = false;
        bool setupCard = false;
        bool revealCard = false;
        bool operator==(const Visibility&) const = default;
    };
    // `on`: the organizer is switched on; `complete`: a divider setup has been finished once;
    // `setup`: a setup runs now.
    static Visibility visibility(bool on, bool complete, bool setup);

    // Ends a running setup keeping the organizer on, placed and its items visible. Ignored when
    // the organizer has lost its settings or no setup runs.
    static void finishSetup(MenuBarAppearanceController& organizer);
    // Ends a running setup returning to the state it began in. Ignored like finishSetup.
    static void cancelSetup(MenuBarAppearanceController& organizer);

    explicit MenuBarPage(const ControlCenterContext& context, QWidget* parent = nullptr);

    SettingsCard* organizerCard() const { return organizerCard_; }
    SettingsCard* setupCard() const { return setupCard_; }
    SettingsCard* revealCard() const { return revealCard_; }
    VantrelSwitch* organizerSwitch() const { return organizerSwitch_; }
    VantrelSwitch* hoverSwitch() const { return hoverSwitch_; }
    // The divider under the switch and the row of buttons after it.
    QWidget* actionRow() const { return actionRow_; }
    VantrelButton* setupButton() const { return setupButton_; }
    VantrelButton* showHideButton() const { return showHideButton_; }
    QWidget* readyMark() const { return readyMark_; }
    VantrelButton* finishButton() const { return finishButton_; }
    VantrelButton* cancelButton() const { return cancelButton_; }

private:
    SettingsCard* makeOrganizerCard();
    SettingsCard* makeSetupCard();
    SettingsCard* makeRevealCard();
    QWidget* makeSetupStep(int number, const QString& title, const QString& symbol, const QString& detail);
    // A switch that writes its setting and then has the organizer apply the settings again.
    VantrelSwitch* applyingSwitch(VantrelPreferences::Setting setting,
                                  bool (VantrelPreferences::*get)() const,
                                  void (VantrelPreferences::*set)(bool));
    void refresh();

    ControlCenterContext context_;
    QColor accent_;
    SettingsCard* organizerCard_ = nullptr;
    SettingsCard* setupCard_ = nullptr;
    SettingsCard* revealCard_ = nullptr;
    VantrelSwitch* organizerSwitch_ = nullptr;
    VantrelSwitch* hoverSwitch_ = nullptr;
    QWidget* actionRow_ = nullptr;
    VantrelButton* setupButton_ = nullptr;
    VantrelButton* showHideButton_ = nullptr;
    QWidget* readyMark_ = nullptr;
    VantrelButton* finishButton_ = nullptr;
    VantrelButton* cancelButton_ = nullptr;
};

} // namespace vantrel
