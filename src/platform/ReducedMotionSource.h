#pragma once

#include <QObject>

namespace vantrel {

// The desktop's accessibility wish for less motion. Backends announce every change of the
// display options; listeners read the value again.
class ReducedMotionSource : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    virtual bool prefersReducedMotion() const = 0;

Q_SIGNALS:
    void displayOptionsChanged();
};

} // namespace vantrel
