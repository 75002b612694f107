#pragma once

#include "core/PermissionCenter.h"
#include "kit/VantrelMotion.h"

#include <QObject>
#include <QString>
#include <array>
#include <functional>

namespace vantrel {

class CalendarStore;
class VantrelPreferences;
struct ControlCenterContext;

// The first-run flow's state and actions: four steps (welcome, modules, privacy, ready), the two
// module switches, the four permission rows and the completion. The step is the view's own and
// starts at the welcome step every time a flow is built; nothing is kept until completion.
class OnboardingFlow : public QObject {
    Q_OBJECT
public:
    enum Step { welcome = 0, modules = 1, privacy = 2, ready = 3 };
    static constexpr int kStepCount = 4;

    enum class Permission { accessibility, inputMonitoring, calendar, camera };
    struct PermissionLine {
        Permission permission;
        const char* title;
        const char* detail;
    };
    // The privacy step's rows, top to bottom.
    static const std::array<PermissionLine, 4>& permissionLines();

    // Reads the settings, the permissions and the calendar of `context`, and applies the settings
    // through it on completion.
    explicit OnboardingFlow(const ControlCenterContext& context, QObject* parent = nullptr);

    int step() const { return step_; }
    bool showsBack() const { return step_ >= 1; }
    QString continueTitle() const;
    // "Back": one step back; hidden on the welcome step.
    void back();
    // "Continue": the next step, or on the last one the completion: the flag is written (which
    // stores it), then the preferences are applied once. The step stays on the last one.
    void advance();

    // The module switches only write their setting; nothing is applied before completion.
    bool notchEnabled() const;
    void setNotchEnabled(bool enabled);
    bool commandPaletteEnabled() const;
    void setCommandPaletteEnabled(bool enabled);

    PermissionState state(Permission permission) const;
    // An allowed row has no "Allow" button; denied and unknown look the same.
    bool showsAllow(Permission permission) const { return state(permission) != PermissionState::allowed; }
    // "checkmark.circle.fill" when allowed, else "circle.dashed".
    QString statusSymbol(Permission permission) const;
    // The row's "Allow".
    void allow(Permission permission);

    // How a step change animates: a spring (response 0.4 s, damping 0.85), or a 0.1 s ease-out
    // while motion is reduced.
    static VantrelAnimation stepAnimation(bool reduceMotion);

Q_SIGNALS:
    void stepChanged(int step);
    // A permission state or a module switch changed: the rows and switches read again.
    void contentChanged();

private:
    void setStep(int step);

    VantrelPreferences& preferences_;
    PermissionCenter& permissions_;
    CalendarStore& calendar_;
    std::function<void()> applyPreferences_;
    int step_ = welcome;
};

} // namespace vantrel
