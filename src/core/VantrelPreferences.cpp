#include "core/VantrelPreferences.h"

#include "core/NotchTab.h"
#include "platform/UserDefaults.h"

#include <QJsonArray>
#include <QJsonObject>
#include <algorithm>
#include <vector>

namespace vantrel {

namespace {

VantrelPreferences* sharedInstance = nullptr;

constexpr double kMinimumMenuTintOpacity = 0.02;
constexpr double kMaximumMenuTintOpacity = 0.18;

// The storage form of each setting type.
QJsonValue toJson(bool value) {
    return QJsonValue(value);
}
QJsonValue toJson(double value) {
    return QJsonValue(value);
}
QJsonValue toJson(const QStringList& value) {
    return QJsonArray::fromStringList(value);
}
template <typename V> QJsonValue toJson(const QMap<QString, V>& value) {
    QJsonObject object;
    for (auto it = value.cbegin(); it != value.cend(); ++it) object.insert(it.key(), it.value());
    return object;
}
QJsonValue toJson(const BackgroundTint& tint) {
    return QJsonArray{tint.red, tint.green, tint.blue};
}
template <typename E>
requires std::is_enum_v<E> QJsonValue toJson(E value) {
    return QJsonValue(QLatin1StringView(rawName(value)));
}

// A dictionary whose every value has the map's type; binary data is no dictionary even though
// the file stores it as an object.
template <typename Map, typename Accept>
std::optional<Map> mapOf(const UserDefaults& defaults, const QString& key, Accept accept) {
    const QJsonValue stored = defaults.object(key);
    if (!stored.isObject() || defaults.data(key)) return std::nullopt;
    const QJsonObject object = stored.toObject();
    Map map;
    for (auto it = object.begin(); it != object.end(); ++it) {
        const QJsonValue value = it.value();
        if (!accept(value)) return std::nullopt;
        map.insert(it.key(), value.toVariant().value<typename Map::mapped_type>());
    }
    return map;
}

template <typename T> struct TypedReader;

template <> struct TypedReader<bool> {
    static bool read(const UserDefaults& d, const QString& key, bool fallback) {
        return d.optionalBool(key).value_or(fallback);
    }
};
template <> struct TypedReader<double> {
    static double read(const UserDefaults& d, const QString& key, double fallback) {
        return d.optionalDouble(key).value_or(fallback);
    }
};
template <> struct TypedReader<QStringList> {
    // An absent key or a list holding anything but strings counts as empty.
    static QStringList read(const UserDefaults& d, const QString& key, const QStringList&) {
        return d.stringList(key).value_or(QStringList());
    }
};
template <> struct TypedReader<BoolMap> {
    static BoolMap read(const UserDefaults& d, const QString& key, const BoolMap& fallback) {
        return mapOf<BoolMap>(d, key, [](const QJsonValue& v) { return v.isBool(); }).value_or(fallback);
    }
};
template <> struct TypedReader<StringMap> {
    static StringMap read(const UserDefaults& d, const QString& key, const StringMap& fallback) {
        return mapOf<StringMap>(d, key, [](const QJsonValue& v) { return v.isString(); }).value_or(fallback);
    }
};
template <> struct TypedReader<BackgroundTint> {
    // The numbers of the stored list, in order; exactly three make a tint.
    static BackgroundTint read(const UserDefaults& d, const QString& key, const BackgroundTint&) {
        std::vector<double> components;
        const QJsonValue stored = d.object(key);
        if (stored.isArray())
            for (const QJsonValue& item : stored.toArray())
                if (item.isDouble()) components.push_back(item.toDouble());
        return BackgroundTint(std::span<const double>(components));
    }
};
template <typename E>
requires std::is_enum_v<E>
struct TypedReader<E> {
    // A string that names no case exactly, or a value that is no string, gives the default.
    static E read(const UserDefaults& d, const QString& key, E fallback) {
        const QJsonValue stored = d.object(key);
        if (!stored.isString()) return fallback;
        return fromRawValue<E>(stored.toString()).value_or(fallback);
    }
};

} // namespace

QStringList defaultNotchWidgetOrder() {
    QStringList order;
    for (NotchTab tab : allCasesOf<NotchTab>())
        if (tab != NotchTab::home) order.append(rawValue(tab));
    return order;
}

BoolMap defaultFeedbackTriggers() {
    return BoolMap{{rawValue(FeedbackTrigger::scroll), true}};
}

VantrelPreferences::VantrelPreferences(UserDefaults& defaults, QObject* parent)
    : QObject(parent), defaults_(defaults) {
    // In table order: the hide mode needs "dock.autoHide" first, and the menu-bar migration runs
    // after "menu.maskEnabled" and before "menu.autoRehideEnabled".
#define VANTREL_PREFERENCE_READ_(name, Name, key, Type, fallback, rule)                                      \
    name##_ = read_##rule(QStringLiteral(key), Type(fallback));
    VANTREL_PREFERENCE_SETTINGS(VANTREL_PREFERENCE_READ_)
#undef VANTREL_PREFERENCE_READ_

    defaults_.setBool(QLatin1StringView(kLegacySoundKey), false);
    defaults_.setBool(QLatin1StringView(kLegacyHapticsKey), true);
    // Removing an absent key would only cost a needless write of the defaults file.
    if (defaults_.contains(QLatin1StringView(kLegacyPerformanceModeKey)))
        defaults_.remove(QLatin1StringView(kLegacyPerformanceModeKey));
}

VantrelPreferences& VantrelPreferences::shared() {
    if (!sharedInstance) qFatal("VantrelPreferences::shared() used before the application installed it");
    return *sharedInstance;
}

void VantrelPreferences::setShared(VantrelPreferences* preferences) {
    sharedInstance = preferences;
}

template <typename T> T VantrelPreferences::read_typed(const QString& key, const T& fallback) const {
    return TypedReader<T>::read(defaults_, key, fallback);
}

bool VantrelPreferences::read_plainBool(const QString& key, bool) const {
    return defaults_.boolValue(key);
}

QStringList VantrelPreferences::read_widgetOrder(const QString& key, const QStringList& fallback) const {
    QStringList order = read_typed(key, QStringList());
    if (order.isEmpty()) return fallback;
    // Unknown and repeated entries stay: readers skip what names no tab.
    for (const QString& entry : fallback)
        if (!order.contains(entry)) order.append(entry);
    return order;
}

DockHideMode VantrelPreferences::read_hideMode(const QString& key, DockHideMode) {
    const DockHideMode derived = customDockAutoHide_ ? DockHideMode::always : DockHideMode::never;
    const DockHideMode mode = read_typed(key, derived);
    // A stored string that names no mode is left for a later version that may know it.
    if (!defaults_.contains(key)) defaults_.set(key, toJson(mode));
    return mode;
}

bool VantrelPreferences::read_alwaysFalse(const QString& key, bool) {
    defaults_.setBool(key, false);
    return false;
}

double VantrelPreferences::read_tintOpacity(const QString& key, double fallback) const {
    return std::clamp(read_typed(key, fallback), kMinimumMenuTintOpacity, kMaximumMenuTintOpacity);
}

bool VantrelPreferences::read_migrated(const QString& key, bool fallback) {
    // Explicit reveal replaced automatic re-hiding: switch it off once for users who had it.
    const QString flag = QLatin1StringView(kRevealMigrationKey);
    if (!defaults_.boolValue(flag)) {
        defaults_.setBool(key, false);
        defaults_.setBool(flag, true);
    }
    return read_typed(key, fallback);
}

QString VantrelPreferences::key(Setting setting) {
    static constexpr const char* keys[] = {
#define VANTREL_PREFERENCE_KEY_(name, Name, key, Type, fallback, rule) key,
        VANTREL_PREFERENCE_SETTINGS(VANTREL_PREFERENCE_KEY_)
#undef VANTREL_PREFERENCE_KEY_
    };
    static_assert(std::size(keys) == settingCount);
    return QString::fromLatin1(keys[static_cast<int>(setting)]);
}

QJsonValue VantrelPreferences::storedValue(Setting setting) const {
    switch (setting) {
#define VANTREL_PREFERENCE_STORED_(name, Name, key, Type, fallback, rule)                                    \
    case Setting::name:                                                                                      \
        return toJson(name##_);
        VANTREL_PREFERENCE_SETTINGS(VANTREL_PREFERENCE_STORED_)
#undef VANTREL_PREFERENCE_STORED_
    }
    return QJsonValue();
}

void VantrelPreferences::writeBack(Setting setting) {
    defaults_.set(key(setting), storedValue(setting));
}

#define VANTREL_PREFERENCE_SETTER_(name, Name, key, Type, fallback, rule)                                    \
    void VantrelPreferences::set##Name(Type value) {                                                         \
        name##_ = std::move(value);                                                                          \
        Q_EMIT changed(Setting::name);                                                                       \
        writeBack(Setting::name);                                                                            \
    }
VANTREL_PREFERENCE_SETTINGS(VANTREL_PREFERENCE_SETTER_)
#undef VANTREL_PREFERENCE_SETTER_

bool VantrelPreferences::isFeedbackTriggerEnabled(FeedbackTrigger trigger) const {
    const auto entry = feedbackTriggers_.constFind(rawValue(trigger));
    if (entry == feedbackTriggers_.cend()) return trigger == FeedbackTrigger::scroll;
    return entry.value();
}

void VantrelPreferences::setFeedbackTrigger(FeedbackTrigger trigger, bool enabled) {
    BoolMap triggers = feedbackTriggers_;
    triggers.insert(rawValue(trigger), enabled);
    setFeedbackTriggers(std::move(triggers));
}

HapticStyle VantrelPreferences::feedbackStyle(FeedbackTrigger trigger) const {
    return fromRawValue<HapticStyle>(feedbackTriggerStyles_.value(rawValue(trigger)))
        .value_or(feedbackHapticStyle_);
}

void VantrelPreferences::setFeedbackStyle(HapticStyle style, FeedbackTrigger trigger) {
    StringMap styles = feedbackTriggerStyles_;
    styles.insert(rawValue(trigger), rawValue(style));
    setFeedbackTriggerStyles(std::move(styles));
}

HapticStyle VantrelPreferences::interfaceHapticStyle(HapticSurface surface) const {
    return fromRawValue<HapticStyle>(interfaceHapticStyles_.value(vantrel::key(surface)))
        .value_or(defaultStyle(surface));
}

} // namespace vantrel
