#pragma once

#include "platform/ReducedMotionSource.h"

#include <QDBusConnection>
#include <QVariant>
#include <optional>

class QDBusMessage;

namespace vantrel {

// Reads the desktop's "enable animations" switch through the freedesktop settings portal and
// follows its changes. Without a session bus, or without a portal that knows the switch, motion
// is not reduced.
class PortalReducedMotionSource final : public ReducedMotionSource {
    Q_OBJECT
public:
    explicit PortalReducedMotionSource(QDBusConnection bus, QObject* parent = nullptr);
    bool prefersReducedMotion() const override { return reduced_; }

    // The portal wraps the value in one or two variants; none unless a boolean is inside.
    static std::optional<bool> enableAnimationsFrom(const QVariant& portalValue);

private Q_SLOTS:
    void settingChanged(const QDBusMessage& message);

private:
    void apply(std::optional<bool> enableAnimations);

    QDBusConnection bus_;
    bool reduced_ = false;
};

} // namespace vantrel
