#pragma once

#include "platform/CompositorState.h"
#include "platform/EnumTraits.h"

#include <QObject>
#include <QPointer>

namespace vantrel {

// The two appearances a window can be drawn in.
#define VANTREL_COLOR_SCHEME_CASES(C) C(light) C(dark)
VANTREL_STRING_ENUM(ColorScheme, VANTREL_COLOR_SCHEME_CASES)
#undef VANTREL_COLOR_SCHEME_CASES

// The desktop's appearance and accessibility wishes that views follow: its colour scheme, higher
// contrast, less motion and less transparency. Backends announce every change of any of them
// with one signal; listeners read the values again.
class SystemAppearance : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    virtual ColorScheme colorScheme() const = 0;
    virtual bool increasedContrast() const = 0;
    virtual bool reduceMotion() const = 0;
    virtual bool reduceTransparency() const = 0;

    // Whether the desktop blends translucent windows over what lies below, for the small windows a
    // view opens (a help bubble) that must show only their outline where it does not. None: a
    // desktop that blends.
    CompositorState* compositor() const { return compositor_; }
    void setCompositor(CompositorState* compositor) { compositor_ = compositor; }

Q_SIGNALS:
    void changed();

private:
    QPointer<CompositorState> compositor_;
};

} // namespace vantrel
