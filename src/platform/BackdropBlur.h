#pragma once

#include <QObject>
#include <QRegion>

class QWidget;

namespace vantrel {

// A blur of what lies behind a translucent window, where the desktop's compositor offers one.
// Without it a window's translucent pixels show the windows behind them sharp, and whatever text
// they hold can be read through it. Backends announce when the offer comes and goes.
class BackdropBlur : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    // Whether the desktop blurs behind a window that asks for it now.
    virtual bool isAvailable() const = 0;
    // Asks for what lies behind `region` of `window` (in its own coordinates) to be blurred; an
    // empty region asks for the whole window. A window that gets a new native window asks again.
    virtual void blurBehind(QWidget& window, const QRegion& region) = 0;
    // Withdraws the request; nothing behind `window` is blurred any longer.
    virtual void clearBlur(QWidget& window) = 0;

Q_SIGNALS:
    void availabilityChanged();
};

} // namespace vantrel
