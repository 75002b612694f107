#include "platform/linux/LinuxKeyboardBacklightSources.h"
#include "support/PrivateSessionBus.h"

#include <QDBusConnection>
#include <QDBusContext>
#include <QDBusError>
#include <QDir>
#include <QFile>
#include <QObject>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>

using namespace vantrel;
using namespace vantrel::test;

namespace {

// A kernel LED class folder: `leds/<name>` with its maximum brightness and, for an LED of an input
// device, a `device` link to that device's folder.
class LedFolders {
public:
    LedFolders() { QDir(dir_.path()).mkpath("leds"); }
    QString leds() const { return dir_.path() + "/leds"; }
    void add(const QString& name, const QByteArray& maxBrightness, const QString& owner = {}) {
        const QString folder = leds() + "/" + name;
        QDir().mkpath(folder);
        QFile file(folder + "/max_brightness");
        file.open(QIODevice::WriteOnly);
        file.write(maxBrightness + "\n");
        if (!owner.isEmpty()) {
            const QString device = dir_.path() + "/devices/" + owner;
            QDir().mkpath(device);
            QFile::link(device, folder + "/device");
        }
    }

private:
    QTemporaryDir dir_;
};

KeyboardBacklightFinding discover(const LedFolders& leds, QDBusConnection bus = QDBusConnection(QString())) {
    return LinuxKeyboardBacklightSources(leds.leds(), bus).discover();
}

TEST(LinuxKeyboardBacklightSources, TheKernelsLedFolders) {
    LedFolders none;
    EXPECT_EQ(discover(none), (KeyboardBacklightFinding{false, 0, std::nullopt}));

    // One keyboard with three lock lights and no backlight: one input device.
    LedFolders one;
    for (const char* light : {"input3::capslock", "input3::numlock", "input3::scrolllock"})
        one.add(light, "1", "platform/i8042/serio0/input/input3");
    one.add("phy0-led", "1", "pci0000:00/ieee80211/phy0");
    EXPECT_EQ(discover(one), (KeyboardBacklightFinding{false, 1, std::nullopt}));

    // A second keyboard, and a backlight that cannot be lit.
    one.add("input9::capslock", "1", "usb1/1-2/input/input9");
    one.add("dell::kbd_backlight", "0");
    EXPECT_EQ(discover(one), (KeyboardBacklightFinding{false, 2, std::nullopt}));

    LedFolders found;
    found.add("input3::capslock", "1", "serio0/input/input3");
    found.add("tpacpi::kbd_backlight", "2");
    EXPECT_EQ(discover(found), (KeyboardBacklightFinding{true, 1, std::nullopt}));
    LedFolders garbled;
    garbled.add("asus::kbd_backlight", "bright");
    EXPECT_FALSE(discover(garbled).found);
}

// UPower's keyboard backlight as the system bus would offer it.
class FakeUPower : public QObject, protected QDBusContext {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.UPower.KbdBacklight")
public:
    int maximum = 3;
    bool deny = false;

public Q_SLOTS:
    int GetMaxBrightness() {
        if (deny)
            sendErrorReply(QDBusError::AccessDenied, QStringLiteral("Not allowed to read the backlight"));
        return maximum;
    }
};

TEST(LinuxKeyboardBacklightSources, UPowerFindsRefusesOrIsMissing) {
    PrivateSessionBus bus;
    if (!bus.isRunning()) GTEST_SKIP() << "dbus-daemon is not available";
    const QDBusConnection client = QDBusConnection::connectToBus(bus.address(), "backlight-client");
    LedFolders none;
    EXPECT_EQ(discover(none, client), (KeyboardBacklightFinding{false, 0, std::nullopt})) << "no UPower";

    // The service answers from a thread of its own while this one waits for it.
    QThread serviceThread;
    serviceThread.start();
    auto* upower = new FakeUPower;
    upower->moveToThread(&serviceThread);
    QDBusConnection service = QDBusConnection::connectToBus(bus.address(), "fake-upower");
    ASSERT_TRUE(service.registerService("org.freedesktop.UPower"));
    ASSERT_TRUE(service.registerObject("/org/freedesktop/UPower/KbdBacklight", upower,
                                       QDBusConnection::ExportAllSlots));

    EXPECT_EQ(discover(none, client), (KeyboardBacklightFinding{true, 0, std::nullopt}));
    upower->maximum = 0;
    EXPECT_EQ(discover(none, client), (KeyboardBacklightFinding{false, 0, std::nullopt}));
    upower->deny = true;
    EXPECT_EQ(discover(none, client),
              (KeyboardBacklightFinding{false, 0, QStringLiteral("Not allowed to read the backlight")}));
    // A backlight the kernel shows is a find, whatever UPower says.
    LedFolders found;
    found.add("tpacpi::kbd_backlight", "2");
    EXPECT_EQ(discover(found, client), (KeyboardBacklightFinding{true, 0, std::nullopt}));

    service.unregisterObject("/org/freedesktop/UPower/KbdBacklight");
    QMetaObject::invokeMethod(upower, &QObject::deleteLater);
    serviceThread.quit();
    serviceThread.wait();
    QDBusConnection::disconnectFromBus("fake-upower");
    QDBusConnection::disconnectFromBus("backlight-client");
}

} // namespace

#include "LinuxKeyboardBacklightSourcesTests.moc"
