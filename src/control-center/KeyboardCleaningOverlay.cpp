#include "control-center/KeyboardCleaningOverlay.h"

namespace vantrel {

KeyboardCleaningOverlay::KeyboardCleaningOverlay(KeyboardCleaningController& controller,
                                                 VantrelPreferences& preferences, QWidget* parent)
    : QWidget(parent), controller_(controller), preferences_(preferences) {
    setAccessibleName(QStringLiteral("Keyboard Cleaning"));
}

void KeyboardCleaningOverlay::setOpacity(double opacity) {
    if (opacity_ == opacity) return;
    opacity_ = opacity;
    update();
}

} // namespace vantrel
