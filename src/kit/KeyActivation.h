#pragma once

class QAbstractButton;

namespace vantrel {

// Keys that act on the kit's controls.
namespace KeyActivation {

// Lets Return and Enter press `button` while it has the focus, as Space does: a focused button
// on this desktop answers both. Held down, the key presses it once.
void pressOnReturn(QAbstractButton* button);

} // namespace KeyActivation

} // namespace vantrel
