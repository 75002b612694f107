#pragma once

#include <QWidget>

namespace vantrel {

class AppState;
class VantrelPreferences;

// The control center's content. Its navigation and pages are not built yet; what it does now is
// hand its window to AppState once the window exists.
class RootView : public QWidget {
    Q_OBJECT
public:
    RootView(AppState& state, VantrelPreferences& preferences, QWidget* parent = nullptr);

    AppState& state() const { return state_; }
    VantrelPreferences& preferences() const { return preferences_; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    AppState& state_;
    VantrelPreferences& preferences_;
    bool hasRegisteredWindow_ = false;
};

} // namespace vantrel
