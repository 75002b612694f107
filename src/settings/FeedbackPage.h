#pragma once

#include "control-center/ControlCenterContext.h"
#include "core/PreferenceEnums.h"
#include "kit/VantrelPage.h"

#include <QAbstractButton>
#include <map>

namespace vantrel {

class MetricPill;
class SettingsCard;
class VantrelMenuPicker;
class VantrelSwitch;

// One of the three strengths: its symbol, its title, a check when chosen; one press writes it.
class StrengthChoice final : public QAbstractButton {
    Q_OBJECT
public:
    static constexpr double kHeight = 48;
    static constexpr double kPadding = 14;
    static constexpr double kRadius = 13;

    StrengthChoice(VantrelPreferences& preferences, const QString& title, double value, const QString& symbol,
                   QWidget* parent = nullptr);
    double value() const { return value_; }
    QString symbol() const { return symbol_; }
    bool isSelected() const { return isChecked(); }
    void setSelected(bool selected);
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

    // Where a choice of `size` draws its symbol, its title and its check mark.
    struct Layout {
        QRectF symbol;
        QRectF title;
        QRectF check;
    };
    static Layout layout(const QSizeF& size);

protected:
    void paintEvent(QPaintEvent* event) override;
    void nextCheckState() override;

private:
    VantrelPreferences& preferences_;
    double value_;
    QString symbol_;
};

// The trackpad's gesture feedback: the master switch (with the input-monitoring notice while
// access is missing), a preview with the engine's live figures, the strength, each gesture's
// switch and feel, and the switch of the interface's own haptics. The page drives the engine
// itself: what changes the watched gestures stops and restarts it at once.
class FeedbackPage final : public VantrelPage {
    Q_OBJECT
public:
    static constexpr double kMaxWidth = 1040;
    static constexpr double kStrengthCardWidth = 340;
    // The gesture rows while they cannot act: feedback off or input monitoring not allowed.
    static constexpr double kUnusableOpacity = 0.46;
    static constexpr double kPickerWidth = 116;

    explicit FeedbackPage(const ControlCenterContext& context, QWidget* parent = nullptr);

    // "Gentle" below 0.34, "Balanced" below 0.7, else "Firm" (a value that is no number too).
    static QString strengthBand(double strength);

    SettingsCard* masterCard() const { return masterCard_; }
    VantrelSwitch* masterSwitch() const { return masterSwitch_; }
    // The divider and the "Input Monitoring required" row, shown while access is missing.
    QWidget* notice() const { return notice_; }
    QAbstractButton* allowButton() const { return allowButton_; }
    QWidget* previewSurface() const { return previewSurface_; }
    MetricPill* enginePill() const { return enginePill_; }
    MetricPill* pulsesPill() const { return pulsesPill_; }
    QAbstractButton* previewButton() const { return previewButton_; }
    SettingsCard* strengthCard() const { return strengthCard_; }
    // "Gentle", "Balanced", "Firm", in that order.
    const QList<StrengthChoice*>& strengthChoices() const { return strengthChoices_; }
    QWidget* gestureRows() const { return gestureRows_; }
    // The opacity the gesture rows are drawn at.
    double gestureOpacity() const;
    VantrelMenuPicker* stylePicker(FeedbackTrigger trigger) const { return stylePickers_.at(trigger); }
    VantrelSwitch* triggerSwitch(FeedbackTrigger trigger) const { return triggerSwitches_.at(trigger); }
    VantrelSwitch* interfaceSwitch() const { return interfaceSwitch_; }

protected:
    bool event(QEvent* event) override;

private:
    SettingsCard* makeMasterCard();
    QWidget* makePreviewCard();
    SettingsCard* makeStrengthCard();
    SettingsCard* makeGestureCard();
    SettingsCard* makeInterfaceCard();
    QWidget* makeGestureRow(FeedbackTrigger trigger);
    void setFeedbackEnabled(bool on);
    void setTriggerEnabled(FeedbackTrigger trigger, bool on);
    void chooseStrength(double value);
    void previewScroll();
    void showEngine();
    void showPermission();
    void showStrength();

    ControlCenterContext context_;
    SettingsCard* masterCard_ = nullptr;
    VantrelSwitch* masterSwitch_ = nullptr;
    QWidget* notice_ = nullptr;
    QAbstractButton* allowButton_ = nullptr;
    QWidget* previewSurface_ = nullptr;
    MetricPill* enginePill_ = nullptr;
    MetricPill* pulsesPill_ = nullptr;
    QAbstractButton* previewButton_ = nullptr;
    QWidget* cardPair_ = nullptr; // the preview and strength cards, side by side or stacked
    SettingsCard* strengthCard_ = nullptr;
    QList<StrengthChoice*> strengthChoices_;
    QWidget* gestureRows_ = nullptr;
    std::map<FeedbackTrigger, VantrelMenuPicker*> stylePickers_;
    std::map<FeedbackTrigger, VantrelSwitch*> triggerSwitches_;
    VantrelSwitch* interfaceSwitch_ = nullptr;
};

} // namespace vantrel
