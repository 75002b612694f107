#include "dock/DockSettingsStore.h"

#include "dock/SystemDockSuppressor.h"
#include "platform/WorkQueue.h"

#include <QCoreApplication>
#include <QLocale>
#include <QPointer>
#include <cmath>

namespace vantrel {

namespace {

using Field = DockSettingsStore::Field;

struct KeySpec {
    Field field;
    const char* key;
    const char* typeFlag;
};

// The order of reading, of writing and of the transaction's list.
constexpr KeySpec kKeys[] = {
    {Field::tileSize, "tilesize", "-float"},
    {Field::magnificationSize, "largesize", "-float"},
    {Field::magnification, "magnification", "-bool"},
    {Field::autoHide, "autohide", "-bool"},
    {Field::autoHideDelay, "autohide-delay", "-float"},
    {Field::showRecents, "show-recents", "-bool"},
    {Field::showOnlyRunning, "static-only", "-bool"},
    {Field::translucentHiddenApps, "showhidden", "-bool"},
    {Field::position, "orientation", "-string"},
    {Field::minimizeEffect, "mineffect", "-string"},
};
static_assert(std::size(kKeys) == DockSettingsStore::kFieldCount);

// A delay of ten seconds or more is no delay the editor offers; such a value is not taken.
constexpr double kLongestDelay = 10;

std::size_t index(Field field) {
    return static_cast<std::size_t>(field);
}

QString boolText(bool value) {
    return value ? QStringLiteral("true") : QStringLiteral("false");
}

// The whole-point part of a size, without a fraction: 48.0 gives "48", 47.9 gives "47".
std::optional<QString> sizeText(double value) {
    if (!std::isfinite(value)) return std::nullopt;
    return QString::number(std::trunc(value) + 0.0, 'f', 0);
}

std::optional<QString> delayText(double value) {
    if (!std::isfinite(value)) return std::nullopt;
    return QString::asprintf("%.2f", value);
}

} // namespace

// The ten settings as read from the system: each empty when its key is missing, its read failed
// or its text means nothing. `read` holds the keys whose read succeeded, missing ones included.
struct DockSettingsStore::Snapshot {
    std::optional<double> tileSize;
    std::optional<double> magnificationSize;
    std::optional<bool> magnification;
    std::optional<bool> autoHide;
    std::optional<double> autoHideDelay;
    std::optional<bool> showRecents;
    std::optional<bool> showOnlyRunning;
    std::optional<bool> translucentHiddenApps;
    std::optional<Position> position;
    std::optional<MinimizeEffect> minimizeEffect;
    FieldSet absent;
    bool hadReadFailure = false;
};

DockSettingsStore::Snapshot DockSettingsStore::captureCurrentSettings(DockDefaultsClient& client) {
    Snapshot snapshot;
    for (const KeySpec& entry : kKeys) {
        const DockPreferenceRead read = client.read(QString::fromLatin1(entry.key));
        if (read.kind == DockPreferenceRead::Kind::failure) {
            snapshot.hadReadFailure = true;
            continue;
        }
        if (read.kind == DockPreferenceRead::Kind::absent) {
            snapshot.absent.set(index(entry.field));
            continue;
        }
        const QString& text = read.text;
        switch (entry.field) {
        case Field::tileSize:
            snapshot.tileSize = numberValue(text);
            break;
        case Field::magnificationSize:
            snapshot.magnificationSize = numberValue(text);
            break;
        case Field::magnification:
            snapshot.magnification = boolValue(text);
            break;
        case Field::autoHide:
            snapshot.autoHide = boolValue(text);
            break;
        case Field::autoHideDelay:
            snapshot.autoHideDelay = numberValue(text);
            break;
        case Field::showRecents:
            snapshot.showRecents = boolValue(text);
            break;
        case Field::showOnlyRunning:
            snapshot.showOnlyRunning = boolValue(text);
            break;
        case Field::translucentHiddenApps:
            snapshot.translucentHiddenApps = boolValue(text);
            break;
        case Field::position:
            snapshot.position = fromRawValue<DockPosition>(text);
            break;
        case Field::minimizeEffect:
            snapshot.minimizeEffect = fromRawValue<DockMinimizeEffect>(text);
            break;
        }
    }
    return snapshot;
}

DockSettingsStore::DockSettingsStore(Dependencies dependencies, QObject* parent)
    : QObject(parent), deps_(std::move(dependencies)) {
    reload();
}

std::optional<bool> DockSettingsStore::boolValue(const QString& text) {
    const QString lower = text.toLower();
    if (lower == u"1" || lower == u"true" || lower == u"yes") return true;
    if (lower == u"0" || lower == u"false" || lower == u"no") return false;
    return std::nullopt;
}

std::optional<double> DockSettingsStore::numberValue(const QString& text) {
    if (text.isEmpty() || text.front().isSpace() || text.back().isSpace()) return std::nullopt;
    QLocale c = QLocale::c();
    c.setNumberOptions(QLocale::RejectGroupSeparator);
    bool ok = false;
    const double value = c.toDouble(text, &ok);
    // A value that is not finite has no size or delay the Dock could use: it is not taken.
    if (!ok || !std::isfinite(value)) return std::nullopt;
    return value;
}

std::optional<std::vector<NativeDockSetting>> DockSettingsStore::settingsFor(const Values& values,
                                                                             FieldSet fields) {
    std::vector<NativeDockSetting> settings;
    for (const KeySpec& entry : kKeys) {
        if (!fields.test(index(entry.field))) continue;
        std::optional<QString> text;
        switch (entry.field) {
        case Field::tileSize:
            text = sizeText(values.tileSize);
            break;
        case Field::magnificationSize:
            text = sizeText(values.magnificationSize);
            break;
        case Field::magnification:
            text = boolText(values.magnification);
            break;
        case Field::autoHide:
            text = boolText(values.autoHide);
            break;
        case Field::autoHideDelay:
            text = delayText(values.autoHideDelay);
            break;
        case Field::showRecents:
            text = boolText(values.showRecents);
            break;
        case Field::showOnlyRunning:
            text = boolText(values.showOnlyRunning);
            break;
        case Field::translucentHiddenApps:
            text = boolText(values.translucentHiddenApps);
            break;
        case Field::position:
            text = rawValue(values.position);
            break;
        case Field::minimizeEffect:
            text = rawValue(values.minimizeEffect);
            break;
        }
        if (!text) return std::nullopt;
        settings.push_back({QString::fromLatin1(entry.key), QString::fromLatin1(entry.typeFlag), *text});
    }
    return settings;
}

template <typename T> void DockSettingsStore::edit(Field field, T& slot, T value) {
    known_.set(index(field));
    // NaN never equals itself, so a non-finite edit is still announced.
    if (slot == value) return;
    slot = value;
    Q_EMIT changed();
}

void DockSettingsStore::setTileSize(double value) {
    edit(Field::tileSize, values_.tileSize, value);
}
void DockSettingsStore::setMagnificationSize(double value) {
    edit(Field::magnificationSize, values_.magnificationSize, value);
}
void DockSettingsStore::setMagnification(bool value) {
    edit(Field::magnification, values_.magnification, value);
}
void DockSettingsStore::setAutoHide(bool value) {
    edit(Field::autoHide, values_.autoHide, value);
}
void DockSettingsStore::setAutoHideDelay(double value) {
    edit(Field::autoHideDelay, values_.autoHideDelay, value);
}
void DockSettingsStore::setShowRecents(bool value) {
    edit(Field::showRecents, values_.showRecents, value);
}
void DockSettingsStore::setShowOnlyRunning(bool value) {
    edit(Field::showOnlyRunning, values_.showOnlyRunning, value);
}
void DockSettingsStore::setTranslucentHiddenApps(bool value) {
    edit(Field::translucentHiddenApps, values_.translucentHiddenApps, value);
}
void DockSettingsStore::setPosition(Position value) {
    edit(Field::position, values_.position, value);
}
void DockSettingsStore::setMinimizeEffect(MinimizeEffect value) {
    edit(Field::minimizeEffect, values_.minimizeEffect, value);
}

void DockSettingsStore::setStatus(const QString& message) {
    statusMessage_ = message;
}

void DockSettingsStore::reload() {
    if (isLoading_) return;
    isLoading_ = true;
    setStatus(QStringLiteral("Reading the macOS Dock\u2026"));
    Q_EMIT changed();
    const QPointer<DockSettingsStore> self(this);
    UserDefaults* own = &deps_.ownDefaults;
    deps_.systemDockQueue.async([self, own, makeClient = deps_.makeClient] {
        const bool refused = SystemDockProcess::hasPendingRestore(*own);
        Snapshot snapshot;
        if (!refused) {
            const std::unique_ptr<DockDefaultsClient> client = makeClient();
            snapshot = captureCurrentSettings(*client);
        }
        QMetaObject::invokeMethod(
            QCoreApplication::instance(),
            [self, snapshot, refused] {
                if (self) self->finishReload(snapshot, refused);
            },
            Qt::QueuedConnection);
    });
}

void DockSettingsStore::finishReload(const Snapshot& snapshot, bool refused) {
    if (refused) {
        isLoading_ = false;
        setStatus(QStringLiteral("Turn off Vantrel Dock before reading native Dock settings"));
        Q_EMIT changed();
        return;
    }
    // A missing key leaves the field as it is, standing for the system's own default.
    known_ |= snapshot.absent;
    auto take = [this](Field field, auto& slot, const auto& read) {
        if (!read) return;
        slot = *read;
        known_.set(index(field));
    };
    take(Field::tileSize, values_.tileSize, snapshot.tileSize);
    take(Field::magnificationSize, values_.magnificationSize, snapshot.magnificationSize);
    take(Field::magnification, values_.magnification, snapshot.magnification);
    take(Field::autoHide, values_.autoHide, snapshot.autoHide);
    if (snapshot.autoHideDelay && *snapshot.autoHideDelay < kLongestDelay)
        take(Field::autoHideDelay, values_.autoHideDelay, snapshot.autoHideDelay);
    take(Field::showRecents, values_.showRecents, snapshot.showRecents);
    take(Field::showOnlyRunning, values_.showOnlyRunning, snapshot.showOnlyRunning);
    take(Field::translucentHiddenApps, values_.translucentHiddenApps, snapshot.translucentHiddenApps);
    take(Field::position, values_.position, snapshot.position);
    take(Field::minimizeEffect, values_.minimizeEffect, snapshot.minimizeEffect);
    isLoading_ = false;
    setStatus(snapshot.hadReadFailure ? QStringLiteral("Some native Dock settings could not be read")
                                      : QStringLiteral("Loaded current macOS Dock settings"));
    Q_EMIT changed();
}

void DockSettingsStore::apply() {
    if (isApplying_) return;
    isApplying_ = true;
    setStatus(QStringLiteral("Applying Dock settings\u2026"));
    Q_EMIT changed();
    // Taken now: edits made while the work waits on the queue belong to the next apply.
    const std::optional<std::vector<NativeDockSetting>> settings = settingsFor(values_, known_);
    const QPointer<DockSettingsStore> self(this);
    UserDefaults* own = &deps_.ownDefaults;
    deps_.systemDockQueue.async([self, own, settings, makeClient = deps_.makeClient] {
        std::optional<Result> result;
        if (SystemDockProcess::hasPendingRestore(*own)) {
            result = std::nullopt; // refused
        } else if (!settings) {
            // A value without a text the system could take: nothing is written.
            result = Result::rolledBack;
        } else {
            const std::unique_ptr<DockDefaultsClient> client = makeClient();
            result = NativeDockSettingsTransaction(*client).apply(*settings);
        }
        QMetaObject::invokeMethod(
            QCoreApplication::instance(),
            [self, result] {
                if (self) self->finishApply(result);
            },
            Qt::QueuedConnection);
    });
}

void DockSettingsStore::finishApply(std::optional<Result> result) {
    isApplying_ = false;
    if (!result) {
        setStatus(QStringLiteral("Turn off Vantrel Dock before changing native Dock settings"));
    } else {
        switch (*result) {
        case Result::applied:
            setStatus(QStringLiteral("Dock updated"));
            break;
        case Result::rolledBack:
            setStatus(QStringLiteral("Dock settings were not applied; original values were restored"));
            break;
        case Result::recoveryFailed:
            setStatus(QStringLiteral("Dock recovery needs attention; reload before retrying"));
            break;
        }
    }
    Q_EMIT changed();
}

} // namespace vantrel
