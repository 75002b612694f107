#pragma once

#include "control-center/ControlCenterContext.h"
#include "core/PermissionCenter.h"
#include "kit/VantrelPage.h"
#include "platform/SystemAppearance.h"

#include <QColor>
#include <QPointer>
#include <map>

class QAbstractButton;
class QVBoxLayout;

namespace vantrel {

class FeatureRow;
class VantrelLabel;

// The four system permissions the features depend on: whether each is granted, the real request
// and the way to its pane of the system's settings while it is not, and a way to read the states
// again. The states belong to the permission center; the page shows them and calls it. Each time
// the page comes on screen it reads the states afresh.
class PermissionsPage final : public VantrelPage {
    Q_OBJECT
public:
    static constexpr double kMaxWidth = 820;

    // What a row shows for a state: its colour, its badge and whether it offers the two buttons.
    enum class Badge { allowed, needsAccess, notRequested };
    struct Presentation {
        QColor color;
        Badge badge;
        bool offersButtons;
    };
    // The system's plain green, red and yellow of `scheme`, by state.
    static Presentation presentation(PermissionState state, ColorScheme scheme);

    explicit PermissionsPage(const ControlCenterContext& context, QWidget* parent = nullptr);

    // The row of `pane`'s permission, as now shown.
    FeatureRow* row(PrivacyPane pane) const;
    // Its "Allow" and "Open Settings"; null while the permission is allowed.
    QAbstractButton* allowButton(PrivacyPane pane) const;
    QAbstractButton* openSettingsButton(PrivacyPane pane) const;
    QAbstractButton* refreshButton() const { return refreshButton_; }
    QAbstractButton* openPrivacyButton() const { return openPrivacyButton_; }
    // The permission center's message; hidden while there is none.
    VantrelLabel* statusText() const { return statusText_; }

protected:
    void showEvent(QShowEvent* event) override;
    bool event(QEvent* event) override;

private:
    struct RowWidgets {
        QWidget* slot = nullptr;
        FeatureRow* row = nullptr;
        QAbstractButton* allow = nullptr;
        QAbstractButton* openSettings = nullptr;
        std::optional<PermissionState> shown;
    };

    QWidget* makeActionRow();
    void showStates();
    // Draws every row again, for a new accent or appearance.
    void redrawRows();
    void showRow(PrivacyPane pane);
    void orderTabs();
    void allow(PrivacyPane pane);
    PermissionState stateOf(PrivacyPane pane) const;
    void showStatus();

    ControlCenterContext context_;
    QWidget* rows_ = nullptr;
    QVBoxLayout* rowsLayout_ = nullptr;
    std::map<PrivacyPane, RowWidgets> shown_;
    QAbstractButton* refreshButton_ = nullptr;
    QAbstractButton* openPrivacyButton_ = nullptr;
    VantrelLabel* statusText_ = nullptr;
};

} // namespace vantrel
