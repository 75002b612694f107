#pragma once

#include "platform/Screens.h"
#include "platform/linux/SimulatedNotch.h"

#include <QHash>
#include <memory>

class QScreen;
struct xcb_connection_t;

namespace vantrel {

class Environment;
class X11PanelStruts;
class X11PointerReading;
class SystemLog;

// The screens as Qt knows them, with the simulated camera housing of VANTREL_NOTCH. Announces
// every change of the screen list, a screen's geometry or work area and the primary screen, and
// on X11 every switch of the current workspace. On X11 a screen's work area also leaves out the
// strips the desktop's panels keep on it, which the window manager's one work area for the whole
// desktop cannot (a panel along the bottom of the shorter of two monitors).
class QtScreens final : public Screens {
    Q_OBJECT
public:
    QtScreens(const Environment& environment, SystemLog& log, QObject* parent = nullptr);
    ~QtScreens() override;

    std::vector<ScreenInfo> screens() const override;
    std::optional<ScreenInfo> mainScreen() const override;
    std::optional<ScreenInfo> screenOf(const QWidget& window) const override;
    std::optional<ScreenInfo> screenAtPointer() const override;
    QPoint pointerLocation() const override;
    // On X11 a reading is a request whose answer is collected at the next call, so the caller's
    // thread never sleeps on the X server for it; while the pointer rests, mostly nothing is asked.
    std::optional<QPoint> recentPointerLocation() const override;
    Qt::MouseButtons pressedMouseButtons() const override;

private:
    class WorkspaceWatcher;

    std::optional<ScreenInfo> describe(const QScreen* screen) const;
    void watch(QScreen* screen);
    quint32 displayNumber(const QScreen* screen) const;

    std::optional<SimulatedNotch> notch_;
    // Display numbers by screen name, handed out in order of first sight and never reused.
    mutable QHash<QString, quint32> numbers_;
    std::unique_ptr<WorkspaceWatcher> workspaceWatcher_;
    std::unique_ptr<X11PanelStruts> struts_;
    // Made at the first reading, so a session that never asks starts no watching thread.
    mutable std::unique_ptr<X11PointerReading> pointerReading_;
    mutable std::optional<xcb_connection_t*> pointerConnection_;
};

} // namespace vantrel
