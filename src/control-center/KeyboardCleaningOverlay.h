#pragma once

#include <QWidget>

namespace vantrel {

class KeyboardCleaningController;
class VantrelPreferences;

// The full-window overlay over the control center while a keyboard-cleaning session runs. The
// session's own canvas (countdown, stop control) is not built yet, so the overlay draws nothing
// of its own; the root view positions it, fades it and lets clicks reach it only while a session
// is active.
class KeyboardCleaningOverlay final : public QWidget {
    Q_OBJECT
public:
    KeyboardCleaningOverlay(KeyboardCleaningController& controller, VantrelPreferences& preferences,
                            QWidget* parent = nullptr);

    KeyboardCleaningController& controller() const { return controller_; }
    double opacity() const { return opacity_; }
    void setOpacity(double opacity);

private:
    KeyboardCleaningController& controller_;
    VantrelPreferences& preferences_;
    double opacity_ = 0;
};

} // namespace vantrel
