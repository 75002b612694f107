// Holds the keyboard of the display of DISPLAY with the X11 keyboard guard and then waits, with no
// event loop, until its standard input closes or it is killed. It says "held" or "refused".

#include "platform/linux/X11KeyboardGuard.h"

#include <QCoreApplication>
#include <cstdio>

using namespace vantrel;

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    X11KeyboardGuard guard(qgetenv("DISPLAY"));
    const bool held = guard.hold(Seconds(600), [](const GuardedKeyEvent&) {});
    std::fputs(held ? "held\n" : "refused\n", stdout);
    std::fflush(stdout);
    while (std::getchar() != EOF) {
    }
    return 0;
}
