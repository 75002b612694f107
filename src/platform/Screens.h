#pragma once

#include <QObject>
#include <QPoint>
#include <QRect>
#include <QRectF>
#include <QString>
#include <QtGlobal>
#include <optional>
#include <vector>

class QWidget;

namespace vantrel {

struct ScreenInfo {
    QString name;
    QRect frame;
    // The frame less the desktop's panels: where windows may go.
    QRect visibleFrame;
    // The display number: stable for as long as the process runs, 0 when unknown.
    quint32 id = 0;
    // The unobscured bands left and right of a camera housing at the top edge; both absent on a
    // screen without one.
    std::optional<QRectF> auxiliaryTopLeftArea = std::nullopt;
    std::optional<QRectF> auxiliaryTopRightArea = std::nullopt;
    // How far from the top edge content is safe from the housing (the band's height).
    double topSafeAreaInset = 0;
    bool operator==(const ScreenInfo&) const = default;
};

// The displays, in device-independent pixels, y growing downwards.
class Screens : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    // Every connected screen, in the system's order.
    virtual std::vector<ScreenInfo> screens() const = 0;
    virtual std::optional<ScreenInfo> mainScreen() const = 0;
    // The screen the window is on; none when the window has none yet.
    virtual std::optional<ScreenInfo> screenOf(const QWidget& window) const = 0;
    virtual std::optional<ScreenInfo> screenAtPointer() const = 0;
    // Where the pointer is, in the screens' coordinates.
    virtual QPoint pointerLocation() const = 0;
    // Where the pointer was at the latest reading that has come in, without waiting for one:
    // each call also asks for the next reading, so called at a steady pace it answers where the
    // pointer was about one call ago. None while no reading has come in yet. Where the desktop
    // answers at once, this is pointerLocation().
    virtual std::optional<QPoint> recentPointerLocation() const { return pointerLocation(); }
    // The mouse buttons held down anywhere on the desktop, not only over this application's
    // windows; none where the desktop does not tell.
    virtual Qt::MouseButtons pressedMouseButtons() const { return Qt::NoButton; }

Q_SIGNALS:
    // A screen came, went, moved, changed its size or work area, or the main screen changed.
    void screensChanged();
    // The desktop switched to another workspace.
    void activeWorkspaceChanged();
};

} // namespace vantrel
