#pragma once

#include <QPoint>
#include <QRect>
#include <QString>
#include <optional>

class QWidget;

namespace vantrel {

struct ScreenInfo {
    QString name;
    QRect frame;
    // The frame less the desktop's panels: where windows may go.
    QRect visibleFrame;
    bool operator==(const ScreenInfo&) const = default;
};

// The displays, in device-independent pixels.
class Screens {
public:
    virtual ~Screens() = default;
    virtual std::optional<ScreenInfo> mainScreen() const = 0;
    // The screen the window is on; none when the window has none yet.
    virtual std::optional<ScreenInfo> screenOf(const QWidget& window) const = 0;
    virtual std::optional<ScreenInfo> screenAtPointer() const = 0;
};

} // namespace vantrel
