#pragma once

#include "platform/SystemAppearance.h"

#include <QDBusConnection>
#include <QVariant>
#include <functional>
#include <optional>

class QDBusMessage;

namespace vantrel {

// Reads the desktop's appearance through the freedesktop settings portal and follows its changes:
// the colour scheme, the contrast and the motion wishes of both the portal's own namespace and
// GNOME's. Until the portal answers, or without one, the scheme comes from the application
// palette and every accessibility wish is off. No desktop publishes a wish for less transparency,
// so that one stays off.
class PortalSystemAppearance final : public SystemAppearance {
    Q_OBJECT
public:
    using PaletteScheme = std::function<ColorScheme()>;

    explicit PortalSystemAppearance(QDBusConnection bus, PaletteScheme paletteScheme = schemeFromPalette,
                                    QObject* parent = nullptr);

    ColorScheme colorScheme() const override;
    bool increasedContrast() const override;
    bool reduceMotion() const override;
    bool reduceTransparency() const override { return false; }

    // Dark when the application palette's window colour is darker than middle grey.
    static ColorScheme schemeFromPalette();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private Q_SLOTS:
    void settingChanged(const QDBusMessage& message);

private:
    // What the portal said, per key; absent where it said nothing we understand.
    struct Settings {
        std::optional<qlonglong> colorScheme;
        std::optional<qlonglong> contrast;
        std::optional<bool> highContrast;
        std::optional<qlonglong> reducedMotion;
        std::optional<bool> enableAnimations;
    };
    struct Snapshot {
        ColorScheme colorScheme;
        bool increasedContrast;
        bool reduceMotion;
        bool operator==(const Snapshot&) const = default;
    };

    void readAll();
    // Takes one key's value; false when the key is not one this reader follows.
    bool store(const QString& nameSpace, const QString& key, const QVariant& value);
    Snapshot snapshot() const;
    void publishIfChanged();

    QDBusConnection bus_;
    PaletteScheme paletteScheme_;
    Settings settings_;
    Snapshot published_;
};

} // namespace vantrel
