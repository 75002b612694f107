#pragma once

#include "control-center/ControlCenterContext.h"
#include "core/PreferenceEnums.h"
#include "kit/VantrelPage.h"

#include <QPointer>

class QAbstractButton;
class QSlider;

namespace vantrel {

class FeatureRow;
class SettingsCard;
class VantrelLabel;
class VantrelMenuPicker;
class VantrelSegmentedControl;
class VantrelSwitch;

// The settings of the system's own alerts: the master switch and the notch's attention light,
// the alerts now waiting (with a way to clear them), the timer alarm's sound, delivery, volume
// and repetition with a preview, and two capabilities this desktop does not offer, shown greyed
// out with nothing to operate. Every control writes its setting and nothing else.
class NotificationsPage final : public VantrelPage {
    Q_OBJECT
public:
    static constexpr double kMaxWidth = 880;
    // The opacity of a row whose capability the system does not offer.
    static constexpr double kUnavailableOpacity = 0.62;

    explicit NotificationsPage(const ControlCenterContext& context, QWidget* parent = nullptr);

    // "Glass", "Ping", ..., "None": the raw value with its first letter capitalised.
    static QString soundTitle(AlarmSound sound);

    SettingsCard* alertsCard() const { return alertsCard_; }
    VantrelSwitch* alertsSwitch() const { return alertsSwitch_; }
    FeatureRow* attentionRow() const { return attentionRow_; }
    VantrelSwitch* attentionSwitch() const { return attentionSwitch_; }
    // The line naming the waiting alerts, with "Clear"; hidden while none waits.
    QWidget* pendingRow() const { return pendingRow_; }
    QAbstractButton* clearButton() const { return clearButton_; }
    VantrelMenuPicker* soundPicker() const { return soundPicker_; }
    QAbstractButton* previewButton() const { return previewButton_; }
    VantrelSegmentedControl* deliveryPicker() const { return deliveryPicker_; }
    QSlider* volumeSlider() const { return volumeSlider_; }
    VantrelLabel* volumeText() const { return volumeText_; }
    VantrelSwitch* repeatSwitch() const { return repeatSwitch_; }
    // The greyed-out rows of the two capabilities the system does not offer.
    QWidget* mirrorRow() const { return mirrorRow_; }
    QWidget* backlightRow() const { return backlightRow_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    SettingsCard* makeAlertsCard();
    SettingsCard* makeMirrorCard();
    SettingsCard* makeAlarmCard();
    SettingsCard* makeBacklightCard();
    QWidget* makeVolumeControl();
    void showPending();
    void showVolume();

    ControlCenterContext context_;
    SettingsCard* alertsCard_ = nullptr;
    VantrelSwitch* alertsSwitch_ = nullptr;
    FeatureRow* attentionRow_ = nullptr;
    VantrelSwitch* attentionSwitch_ = nullptr;
    QWidget* pendingDivider_ = nullptr;
    QWidget* pendingRow_ = nullptr;
    VantrelLabel* pendingText_ = nullptr;
    QAbstractButton* clearButton_ = nullptr;
    VantrelMenuPicker* soundPicker_ = nullptr;
    QAbstractButton* previewButton_ = nullptr;
    VantrelSegmentedControl* deliveryPicker_ = nullptr;
    QSlider* volumeSlider_ = nullptr;
    VantrelLabel* volumeText_ = nullptr;
    bool syncingVolume_ = false;
    VantrelSwitch* repeatSwitch_ = nullptr;
    QWidget* mirrorRow_ = nullptr;
    QWidget* backlightRow_ = nullptr;
};

} // namespace vantrel
