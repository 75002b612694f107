#include "platform/linux/PortalReducedMotionSource.h"

#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusVariant>

namespace vantrel {

namespace {
const QString kService = QStringLiteral("org.freedesktop.portal.Desktop");
const QString kPath = QStringLiteral("/org/freedesktop/portal/desktop");
const QString kInterface = QStringLiteral("org.freedesktop.portal.Settings");
const QString kNamespace = QStringLiteral("org.gnome.desktop.interface");
const QString kKey = QStringLiteral("enable-animations");
} // namespace

PortalReducedMotionSource::PortalReducedMotionSource(QDBusConnection bus, QObject* parent)
    : ReducedMotionSource(parent), bus_(std::move(bus)) {
    if (!bus_.isConnected()) return;
    // Taken as the whole message: a slot with typed arguments would depend on the variant type
    // being registered with the bus layer before the first change arrives.
    bus_.connect(kService, kPath, kInterface, QStringLiteral("SettingChanged"), this,
                 SLOT(settingChanged(QDBusMessage)));

    // Asked without blocking: a portal started on demand may take a moment, and the interface
    // must not wait for it. Until it answers, motion is not reduced.
    QDBusMessage read = QDBusMessage::createMethodCall(kService, kPath, kInterface, QStringLiteral("Read"));
    read << kNamespace << kKey;
    auto* watcher = new QDBusPendingCallWatcher(bus_.asyncCall(read), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher* call) {
        call->deleteLater();
        const QDBusPendingReply<QDBusVariant> reply = *call;
        if (reply.isError()) return;
        apply(enableAnimationsFrom(QVariant::fromValue(reply.value())));
    });
}

std::optional<bool> PortalReducedMotionSource::enableAnimationsFrom(const QVariant& portalValue) {
    QVariant value = portalValue;
    for (int depth = 0; depth < 4 && value.metaType() == QMetaType::fromType<QDBusVariant>(); ++depth)
        value = value.value<QDBusVariant>().variant();
    if (value.metaType() != QMetaType::fromType<bool>()) return std::nullopt;
    return value.toBool();
}

void PortalReducedMotionSource::settingChanged(const QDBusMessage& message) {
    const QList<QVariant> arguments = message.arguments();
    if (arguments.size() != 3 || arguments[0].toString() != kNamespace || arguments[1].toString() != kKey)
        return;
    apply(enableAnimationsFrom(arguments[2]));
}

void PortalReducedMotionSource::apply(std::optional<bool> enableAnimations) {
    if (!enableAnimations) return;
    const bool reduced = !*enableAnimations;
    if (reduced == reduced_) return;
    reduced_ = reduced;
    Q_EMIT displayOptionsChanged();
}

} // namespace vantrel
