#include "platform/linux/LinuxKeyboardBacklightSources.h"

#include <QDBusMessage>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>

namespace vantrel {

namespace {

const QString kService = QStringLiteral("org.freedesktop.UPower");
const QString kPath = QStringLiteral("/org/freedesktop/UPower/KbdBacklight");
const QString kInterface = QStringLiteral("org.freedesktop.UPower.KbdBacklight");

bool isRefusal(const QString& errorName) {
    return errorName == u"org.freedesktop.DBus.Error.AccessDenied" ||
           errorName == u"org.freedesktop.DBus.Error.AuthFailed" ||
           errorName == u"org.freedesktop.DBus.Error.InteractiveAuthorizationRequired";
}

// The LED's maximum brightness, or 0 when it cannot be read as a number.
int maximumBrightness(const QString& ledFolder) {
    QFile file(ledFolder + QStringLiteral("/max_brightness"));
    if (!file.open(QIODevice::ReadOnly)) return 0;
    bool ok = false;
    const int value = file.read(32).trimmed().toInt(&ok);
    return ok ? value : 0;
}

} // namespace

LinuxKeyboardBacklightSources::LinuxKeyboardBacklightSources(QString ledsFolder, QDBusConnection bus)
    : ledsFolder_(std::move(ledsFolder)), bus_(std::move(bus)) {}

KeyboardBacklightFinding LinuxKeyboardBacklightSources::discover() {
    KeyboardBacklightFinding finding;

    const QDir leds(ledsFolder_);
    QSet<QString> owners;
    for (const QString& name : leds.entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::System)) {
        const QString folder = leds.filePath(name);
        if (name.contains(u"kbd_backlight") && maximumBrightness(folder) > 0) finding.found = true;
        // The device the LED belongs to; counted when it is an input device.
        const QString owner = QFileInfo(folder + QStringLiteral("/device")).canonicalFilePath();
        if (!owner.isEmpty() && QFileInfo(owner).fileName().startsWith(u"input")) owners.insert(owner);
    }
    finding.inspectedDevices = int(owners.size());

    if (bus_.isConnected()) {
        const QDBusMessage reply = bus_.call(
            QDBusMessage::createMethodCall(kService, kPath, kInterface, QStringLiteral("GetMaxBrightness")),
            QDBus::Block, kTimeoutMs);
        if (reply.type() == QDBusMessage::ReplyMessage && !reply.arguments().isEmpty()) {
            if (reply.arguments().constFirst().toInt() > 0) finding.found = true;
        } else if (reply.type() == QDBusMessage::ErrorMessage && isRefusal(reply.errorName()) &&
                   !finding.found) {
            finding.error = reply.errorMessage().isEmpty() ? reply.errorName() : reply.errorMessage();
        }
    }
    return finding;
}

} // namespace vantrel
