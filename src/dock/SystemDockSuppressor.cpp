#include "dock/SystemDockSuppressor.h"

#include "dock/DockDefaultsClient.h"
#include "platform/UserDefaults.h"

#include <QJsonObject>
#include <cctype>
#include <cmath>
#include <cstdlib>
#include <locale.h>
#include <optional>
#include <vector>

namespace vantrel {

using Kind = DockManagedKey::Kind;

const std::array<DockManagedKey, 3> DockManagedKey::behavior = {{
    {"autohide", Kind::boolean, "true", "vantrelDock.originalAutohide", "vantrelDock.originalAutohideWasSet",
     "vantrelDock.originalAutohideAsRead"},
    {"autohide-delay", Kind::floatingPoint, "1000", "vantrelDock.originalDelay",
     "vantrelDock.originalDelayWasSet", "vantrelDock.originalDelayAsRead"},
    {"autohide-time-modifier", Kind::floatingPoint, "0", "vantrelDock.originalAutohideAnimation",
     "vantrelDock.originalAutohideAnimationWasSet", "vantrelDock.originalAutohideAnimationAsRead"},
}};

const std::array<DockManagedKey, 5> DockManagedKey::visual = {{
    {"tilesize", Kind::floatingPoint, "1", "vantrelDock.originalTileSize",
     "vantrelDock.originalTileSizeWasSet", "vantrelDock.originalTileSizeAsRead"},
    {"largesize", Kind::floatingPoint, "1", "vantrelDock.originalLargeSize",
     "vantrelDock.originalLargeSizeWasSet", "vantrelDock.originalLargeSizeAsRead"},
    {"magnification", Kind::boolean, "false", "vantrelDock.originalMagnification",
     "vantrelDock.originalMagnificationWasSet", "vantrelDock.originalMagnificationAsRead"},
    {"show-recents", Kind::boolean, "false", "vantrelDock.originalShowRecents",
     "vantrelDock.originalShowRecentsWasSet", "vantrelDock.originalShowRecentsAsRead"},
    {"show-process-indicators", Kind::boolean, "false", "vantrelDock.originalShowIndicators",
     "vantrelDock.originalShowIndicatorsWasSet", "vantrelDock.originalShowIndicatorsAsRead"},
}};

namespace {

QString flagOf(bool behaviorGroup) {
    return QString::fromLatin1(behaviorGroup ? kDockRestorePendingKey : kDockVisualSnapshotKey);
}

// The number a float key holds, converted as the C locale reads it whatever the user's locale:
// the whole text, no leading white space. Infinite and NaN values are refused too: they have no
// text a restore could write back, and no Dock setting holds one.
std::optional<double> parseFloat(const QString& text) {
    static const locale_t cLocale = newlocale(LC_ALL_MASK, "C", locale_t(nullptr));
    const QByteArray bytes = text.toUtf8();
    if (bytes.isEmpty() || std::isspace(static_cast<unsigned char>(bytes.front()))) return std::nullopt;
    char* end = nullptr;
    const double value = strtod_l(bytes.constData(), &end, cLocale);
    if (end != bytes.constData() + bytes.size() || !std::isfinite(value)) return std::nullopt;
    return value;
}

QString booleanWord(const QString& text) {
    return text.trimmed().toLower();
}

bool isBooleanWord(const QString& word) {
    return word == u"1" || word == u"true" || word == u"yes" || word == u"0" || word == u"false" ||
           word == u"no";
}

bool isTrueWord(const QString& word) {
    return word == u"1" || word == u"true" || word == u"yes";
}

const QString kTypeFlagField = QStringLiteral("typeFlag");
const QString kValueField = QStringLiteral("value");

bool isWritableTypeFlag(const QString& flag) {
    return flag == u"-bool" || flag == u"-float" || flag == u"-string";
}

// Whether a capture takes `text` as a value of `key`: a number for a float key, a boolean word for
// a boolean key, whatever type it is held as.
bool isUsableValue(const DockManagedKey& key, const QString& text) {
    return key.kind == Kind::floatingPoint ? parseFloat(text).has_value() : isBooleanWord(booleanWord(text));
}

// The write that puts back the value as read that a snapshot holds for `key`: its type option and
// text. None for a snapshot of an earlier version, and for a record no capture could have stored
// (the file may have been edited), which leaves the restore to the plain value. A number or a
// boolean is written in the form every client takes, the same value the text stands for.
std::optional<std::pair<QString, QString>> asReadOf(const UserDefaults& store, const DockManagedKey& key) {
    const QJsonValue record = store.object(QString::fromLatin1(key.asReadKey));
    if (!record.isObject()) return std::nullopt;
    const QJsonValue flag = record.toObject().value(kTypeFlagField);
    const QJsonValue value = record.toObject().value(kValueField);
    // A text is held with the blanks it had, and judged, as when it was captured, without them.
    if (!flag.isString() || !value.isString() || !isUsableValue(key, value.toString().trimmed()))
        return std::nullopt;
    const QString text = value.toString();
    if (flag.toString() == u"-string") return std::pair(flag.toString(), text);
    if (flag.toString() == u"-float") {
        if (const std::optional<double> number = parseFloat(text.trimmed()))
            return std::pair(flag.toString(), exactNumberText(*number));
        return std::nullopt;
    }
    if (flag.toString() == u"-bool" && isBooleanWord(booleanWord(text)))
        return std::pair(flag.toString(),
                         isTrueWord(booleanWord(text)) ? QStringLiteral("true") : QStringLiteral("false"));
    return std::nullopt;
}

struct CapturedKey {
    const DockManagedKey* key;
    DockPreferenceRead read;
};

} // namespace

std::optional<QJsonObject> SystemDockSuppressor::missingSnapshots(bool* unreadable) {
    struct Group {
        bool behavior;
        std::vector<CapturedKey> keys;
    };
    std::vector<Group> kept;
    // Everything is read and checked before anything is stored, so a failure leaves no half
    // snapshot behind.
    for (const bool behavior : {true, false}) {
        if (store.boolValue(flagOf(behavior))) continue;
        Group group{behavior, {}};
        const auto readGroup = [&](const auto& table) {
            for (const DockManagedKey& key : table) {
                DockPreferenceRead read = client.read(QString::fromLatin1(key.name));
                if (read.kind == DockPreferenceRead::Kind::failure) {
                    if (unreadable) *unreadable = true;
                    return false;
                }
                if (read.kind == DockPreferenceRead::Kind::value && !isUsableValue(key, read.text))
                    return false;
                group.keys.push_back({&key, std::move(read)});
            }
            return true;
        };
        if (!(behavior ? readGroup(DockManagedKey::behavior) : readGroup(DockManagedKey::visual)))
            return std::nullopt;
        kept.push_back(std::move(group));
    }
    QJsonObject snapshot;
    for (const Group& group : kept) {
        for (const CapturedKey& captured : group.keys) {
            const bool wasSet = captured.read.kind == DockPreferenceRead::Kind::value;
            snapshot.insert(QString::fromLatin1(captured.key->wasSetKey), wasSet);
            const QString valueKey = QString::fromLatin1(captured.key->valueKey);
            if (captured.key->kind == Kind::boolean)
                snapshot.insert(valueKey, wasSet && isTrueWord(booleanWord(captured.read.text)));
            else
                snapshot.insert(valueKey, wasSet ? *parseFloat(captured.read.text) : 0.0);
            const QString asReadKey = QString::fromLatin1(captured.key->asReadKey);
            if (wasSet && isWritableTypeFlag(captured.read.typeFlag))
                snapshot.insert(asReadKey, QJsonObject{{kTypeFlagField, captured.read.typeFlag},
                                                       {kValueField, captured.read.asHeld()}});
            else
                snapshot.insert(asReadKey, QJsonValue::Null); // removes an older record
        }
        snapshot.insert(flagOf(group.behavior), true);
    }
    return snapshot;
}

bool SystemDockSuppressor::suppressPreservingState(QString* problem) {
    bool unreadable = false;
    const std::optional<QJsonObject> snapshot = missingSnapshots(&unreadable);
    if (!snapshot) {
        if (problem && unreadable) *problem = QString::fromLatin1(kDockSettingsUnreadable);
        return false;
    }
    // The snapshot is on disk before the system Dock is touched: a crash after the first write
    // must still find it. One that cannot be saved leaves the Dock as it is, since a restart
    // would take the reduced values for the user's own.
    if (!snapshot->isEmpty() && !store.setAll(*snapshot)) {
        if (problem) *problem = QString::fromLatin1(kDockSnapshotUnsaved);
        return false;
    }
    bool allWritten = true;
    const auto writeAll = [&](const auto& table) {
        for (const DockManagedKey& key : table) {
            const QString flag =
                key.kind == Kind::boolean ? QStringLiteral("-bool") : QStringLiteral("-float");
            if (!client.write(QString::fromLatin1(key.name), flag, QString::fromLatin1(key.suppressedValue)))
                allWritten = false;
        }
    };
    writeAll(DockManagedKey::behavior);
    writeAll(DockManagedKey::visual);
    if (!allWritten) return false;
    return client.restartDock();
}

bool SystemDockProcess::hasPendingRestore(const UserDefaults& store) {
    return store.boolValue(QString::fromLatin1(kDockRestorePendingKey)) ||
           store.boolValue(QString::fromLatin1(kDockVisualSnapshotKey));
}

bool SystemDockSuppressor::restorePreservedState(QString* problem) {
    const QString behaviorFlag = QString::fromLatin1(kDockRestorePendingKey);
    const QString visualFlag = QString::fromLatin1(kDockVisualSnapshotKey);
    const bool behaviorPending = store.boolValue(behaviorFlag);
    const bool visualPending = store.boolValue(visualFlag);
    if (!behaviorPending && !visualPending) return true;

    std::vector<const DockManagedKey*> keys;
    if (behaviorPending)
        for (const auto& key : DockManagedKey::behavior) keys.push_back(&key);
    if (visualPending)
        for (const auto& key : DockManagedKey::visual) keys.push_back(&key);

    bool allRestored = true;
    for (const DockManagedKey* key : keys) {
        const QString name = QString::fromLatin1(key->name);
        if (store.boolValue(QString::fromLatin1(key->wasSetKey))) {
            const QString valueKey = QString::fromLatin1(key->valueKey);
            bool ok = false;
            if (const auto asRead = asReadOf(store, *key))
                ok = client.write(name, asRead->first, asRead->second);
            else if (key->kind == Kind::floatingPoint)
                ok = client.write(name, QStringLiteral("-float"),
                                  exactNumberText(store.doubleValue(valueKey)));
            else
                ok = client.write(name, QStringLiteral("-bool"),
                                  store.boolValue(valueKey) ? QStringLiteral("true")
                                                            : QStringLiteral("false"));
            if (!ok) allRestored = false;
            continue;
        }
        const DockPreferenceRead current = client.read(name);
        if (current.kind == DockPreferenceRead::Kind::value) {
            if (!client.deleteKey(name)) allRestored = false;
        } else if (current.kind == DockPreferenceRead::Kind::failure) {
            if (problem) *problem = QString::fromLatin1(kDockSettingsUnreadable);
            allRestored = false;
        }
    }
    if (!allRestored) return false;
    if (!client.restartDock()) return false;
    if (behaviorPending) store.setBool(behaviorFlag, false);
    if (visualPending) store.setBool(visualFlag, false);
    store.synchronize();
    return true;
}

} // namespace vantrel
