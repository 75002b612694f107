#pragma once

#include "platform/KeyboardBacklightSources.h"

#include <QDBusConnection>
#include <QString>

namespace vantrel {

// The keyboard backlights of a Linux machine: UPower's KbdBacklight on the system bus and the
// kernel's LED class folders whose name holds "kbd_backlight". Either with a maximum brightness
// above 0 is a find. The input devices counted are those that own an LED of the class. UPower
// refusing access is an error; UPower missing, or without a keyboard backlight, is no find.
class LinuxKeyboardBacklightSources final : public KeyboardBacklightSources {
public:
    static constexpr int kTimeoutMs = 1500;

    // `ledsFolder`: "/sys/class/leds" on a running system; `bus`: the system bus.
    LinuxKeyboardBacklightSources(QString ledsFolder, QDBusConnection bus);

    KeyboardBacklightFinding discover() override;

private:
    QString ledsFolder_;
    QDBusConnection bus_;
};

} // namespace vantrel
