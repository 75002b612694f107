#pragma once

#include <QObject>

namespace vantrel {

// Whether a compositing manager runs on the desktop. With one, translucent windows are blended
// over what lies below them and antialiased edges look smooth; without one, every pixel a window
// shows is drawn opaque, so a clear pixel shows black. Backends announce each start and stop.
class CompositorState : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    virtual bool isCompositing() const = 0;

Q_SIGNALS:
    void changed();
};

} // namespace vantrel
