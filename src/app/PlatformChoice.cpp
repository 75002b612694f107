#include "app/PlatformChoice.h"

#include "platform/Environment.h"

namespace vantrel {

namespace {
bool isSet(const Environment& environment, const char* name) {
    const auto value = environment.value(QString::fromLatin1(name));
    return value && !value->isEmpty();
}
} // namespace

PlatformChoice PlatformChoice::choose(const Environment& environment) {
    // A platform the user named stands, whatever else is set.
    if (isSet(environment, "QT_QPA_PLATFORM")) return {};
    if (isSet(environment, "DISPLAY")) {
        const bool wayland = isSet(environment, "WAYLAND_DISPLAY");
        return {QStringLiteral("xcb"),
                wayland ? QStringLiteral("Wayland session with Xwayland: running as an X11 client (xcb), so "
                                         "the notch panel can be placed and the clipboard and hot keys heard")
                        : QStringLiteral("X11 session: running on the xcb platform")};
    }
    if (isSet(environment, "WAYLAND_DISPLAY"))
        return {QStringLiteral("wayland"),
                QStringLiteral("Wayland session without Xwayland: running on Wayland")};
    return {};
}

bool PlatformChoice::isWayland(const QString& platformName) {
    return platformName.startsWith(u"wayland");
}

QString PlatformChoice::waylandLimitsLogLine() {
    return QStringLiteral("Wayland without Xwayland: the notch panel, global hot keys, the window list, "
                          "focus hand-back and the keyboard guard need X11 and are off");
}

} // namespace vantrel
