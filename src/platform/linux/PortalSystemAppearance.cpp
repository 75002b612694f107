#include "platform/linux/PortalSystemAppearance.h"

#include "platform/SetIfChanged.h"

#include <QCoreApplication>
#include <QDBusArgument>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusVariant>
#include <QEvent>
#include <QGuiApplication>
#include <QPalette>

namespace vantrel {

namespace {
const QString kService = QStringLiteral("org.freedesktop.portal.Desktop");
const QString kPath = QStringLiteral("/org/freedesktop/portal/desktop");
const QString kInterface = QStringLiteral("org.freedesktop.portal.Settings");
const QString kAppearance = QStringLiteral("org.freedesktop.appearance");
const QString kGnomeA11y = QStringLiteral("org.gnome.desktop.a11y.interface");
const QString kGnomeInterface = QStringLiteral("org.gnome.desktop.interface");

// The portal wraps values in one or two variants, depending on its version and the method.
QVariant unwrapped(const QVariant& portalValue) {
    QVariant value = portalValue;
    for (int depth = 0; depth < 4 && value.metaType() == QMetaType::fromType<QDBusVariant>(); ++depth)
        value = value.value<QDBusVariant>().variant();
    return value;
}

std::optional<qlonglong> integerFrom(const QVariant& portalValue) {
    const QVariant value = unwrapped(portalValue);
    switch (value.metaType().id()) {
    case QMetaType::UInt:
    case QMetaType::Int:
    case QMetaType::UChar:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
        return value.toLongLong();
    default:
        return std::nullopt;
    }
}

std::optional<bool> booleanFrom(const QVariant& portalValue) {
    const QVariant value = unwrapped(portalValue);
    if (value.metaType() != QMetaType::fromType<bool>()) return std::nullopt;
    return value.toBool();
}
} // namespace

PortalSystemAppearance::PortalSystemAppearance(QDBusConnection bus, PaletteScheme paletteScheme,
                                               QObject* parent)
    : SystemAppearance(parent), bus_(std::move(bus)), paletteScheme_(std::move(paletteScheme)) {
    published_ = snapshot();
    // The palette decides the scheme while the portal has no opinion, so its changes count too.
    if (QCoreApplication* app = QCoreApplication::instance()) app->installEventFilter(this);
    if (!bus_.isConnected()) return;
    // Taken as the whole message: a slot with typed arguments would depend on the variant type
    // being registered with the bus layer before the first change arrives.
    bus_.connect(kService, kPath, kInterface, QStringLiteral("SettingChanged"), this,
                 SLOT(settingChanged(QDBusMessage)));
    readAll();
}

void PortalSystemAppearance::readAll() {
    // Asked without blocking: a portal started on demand may take a moment, and the interface
    // must not wait for it.
    QDBusMessage read =
        QDBusMessage::createMethodCall(kService, kPath, kInterface, QStringLiteral("ReadAll"));
    read << QStringList{kAppearance, kGnomeA11y, kGnomeInterface};
    auto* watcher = new QDBusPendingCallWatcher(bus_.asyncCall(read), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher* call) {
        call->deleteLater();
        const QDBusMessage reply = call->reply();
        if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) return;
        const QVariant first = reply.arguments().constFirst();
        if (first.metaType() != QMetaType::fromType<QDBusArgument>()) return;
        const QDBusArgument all = first.value<QDBusArgument>();
        if (all.currentSignature() != QLatin1String("a{sa{sv}}")) return;
        all.beginMap();
        while (!all.atEnd()) {
            QString nameSpace;
            QVariantMap values;
            all.beginMapEntry();
            all >> nameSpace >> values;
            all.endMapEntry();
            for (auto it = values.cbegin(); it != values.cend(); ++it) store(nameSpace, it.key(), it.value());
        }
        all.endMap();
        publishIfChanged();
    });
}

void PortalSystemAppearance::settingChanged(const QDBusMessage& message) {
    const QList<QVariant> arguments = message.arguments();
    if (arguments.size() != 3) return;
    if (store(arguments[0].toString(), arguments[1].toString(), arguments[2])) publishIfChanged();
}

bool PortalSystemAppearance::store(const QString& nameSpace, const QString& key, const QVariant& value) {
    if (nameSpace == kAppearance && key == QLatin1String("color-scheme"))
        settings_.colorScheme = integerFrom(value);
    else if (nameSpace == kAppearance && key == QLatin1String("contrast"))
        settings_.contrast = integerFrom(value);
    else if (nameSpace == kAppearance && key == QLatin1String("reduced-motion"))
        settings_.reducedMotion = integerFrom(value);
    else if (nameSpace == kGnomeA11y && key == QLatin1String("high-contrast"))
        settings_.highContrast = booleanFrom(value);
    else if (nameSpace == kGnomeInterface && key == QLatin1String("enable-animations"))
        settings_.enableAnimations = booleanFrom(value);
    else
        return false;
    return true;
}

ColorScheme PortalSystemAppearance::colorScheme() const {
    return published_.colorScheme;
}
bool PortalSystemAppearance::increasedContrast() const {
    return published_.increasedContrast;
}
bool PortalSystemAppearance::reduceMotion() const {
    return published_.reduceMotion;
}

PortalSystemAppearance::Snapshot PortalSystemAppearance::snapshot() const {
    ColorScheme scheme;
    if (settings_.colorScheme == 1)
        scheme = ColorScheme::dark;
    else if (settings_.colorScheme == 2)
        scheme = ColorScheme::light;
    else
        scheme = paletteScheme_ ? paletteScheme_() : ColorScheme::light;
    return {
        .colorScheme = scheme,
        .increasedContrast = settings_.contrast == 1 || settings_.highContrast == true,
        .reduceMotion = settings_.reducedMotion == 1 || settings_.enableAnimations == false,
    };
}

void PortalSystemAppearance::publishIfChanged() {
    const Snapshot next = snapshot();
    setIfChanged(this, published_, next, &PortalSystemAppearance::changed);
}

bool PortalSystemAppearance::eventFilter(QObject* watched, QEvent* event) {
    if (watched == QCoreApplication::instance() && event->type() == QEvent::ApplicationPaletteChange)
        publishIfChanged();
    return SystemAppearance::eventFilter(watched, event);
}

ColorScheme PortalSystemAppearance::schemeFromPalette() {
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance())) return ColorScheme::light;
    return QGuiApplication::palette().color(QPalette::Window).lightness() < 128 ? ColorScheme::dark
                                                                                : ColorScheme::light;
}

} // namespace vantrel
