#include "dock/SystemDockSuppressor.h"

#include "dock/DockDefaultsClient.h"
#include "platform/UserDefaults.h"

#include <vector>

namespace vantrel {

using Kind = DockManagedKey::Kind;

const std::array<DockManagedKey, 3> DockManagedKey::behavior = {{
    {"autohide", Kind::boolean, "true", "vantrelDock.originalAutohide", "vantrelDock.originalAutohideWasSet"},
    {"autohide-delay", Kind::floatingPoint, "1000", "vantrelDock.originalDelay",
     "vantrelDock.originalDelayWasSet"},
    {"autohide-time-modifier", Kind::floatingPoint, "0", "vantrelDock.originalAutohideAnimation",
     "vantrelDock.originalAutohideAnimationWasSet"},
}};

const std::array<DockManagedKey, 5> DockManagedKey::visual = {{
    {"tilesize", Kind::floatingPoint, "1", "vantrelDock.originalTileSize",
     "vantrelDock.originalTileSizeWasSet"},
    {"largesize", Kind::floatingPoint, "1", "vantrelDock.originalLargeSize",
     "vantrelDock.originalLargeSizeWasSet"},
    {"magnification", Kind::boolean, "false", "vantrelDock.originalMagnification",
     "vantrelDock.originalMagnificationWasSet"},
    {"show-recents", Kind::boolean, "false", "vantrelDock.originalShowRecents",
     "vantrelDock.originalShowRecentsWasSet"},
    {"show-process-indicators", Kind::boolean, "false", "vantrelDock.originalShowIndicators",
     "vantrelDock.originalShowIndicatorsWasSet"},
}};

bool SystemDockSuppressor::restorePreservedState() {
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
            const bool ok = key->kind == Kind::floatingPoint
                                ? client.write(name, QStringLiteral("-float"),
                                               QString::asprintf("%.3f", store.doubleValue(valueKey)))
                                : client.write(name, QStringLiteral("-bool"),
                                               store.boolValue(valueKey) ? QStringLiteral("true")
                                                                         : QStringLiteral("false"));
            if (!ok) allRestored = false;
            continue;
        }
        const DockPreferenceRead current = client.read(name);
        if (current.kind == DockPreferenceRead::Kind::value) {
            if (!client.deleteKey(name)) allRestored = false;
        } else if (current.kind == DockPreferenceRead::Kind::failure) {
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
