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
    bus_.connect(kService, kPath, kInterface, QStringLiteral("SettingChanged"), this,
                 SLOT(settingChanged(QString, QString, QDBusVariant)));

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

void PortalReducedMotionSource::settingChanged(const QString& nameSpace, const QString& key,
                                               const QDBusVariant& value) {
    if (nameSpace != kNamespace || key != kKey) return;
    apply(enableAnimationsFrom(QVariant::fromValue(value)));
}

void PortalReducedMotionSource::apply(std::optional<bool> enableAnimations) {
    if (!enableAnimations) return;
    const bool reduced = !*enableAnimations;
    if (reduced == reduced_) return;
    reduced_ = reduced;
    Q_EMIT displayOptionsChanged();
}

} // namespace vantrel
