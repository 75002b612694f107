#pragma once

#include <QString>
#include <array>

namespace vantrel {

class DockDefaultsClient;
class UserDefaults;

// One key of the system Dock's settings that suppression manages, with the keys of our own
// defaults that keep its value from before suppression.
struct DockManagedKey {
    enum class Kind { boolean, floatingPoint };
    const char* name;
    Kind kind;
    const char* suppressedValue;
    const char* valueKey;
    const char* wasSetKey;

    static const std::array<DockManagedKey, 3> behavior;
    static const std::array<DockManagedKey, 5> visual;
};

inline constexpr const char* kDockRestorePendingKey = "vantrelDock.systemDockRestorePending";
inline constexpr const char* kDockVisualSnapshotKey = "vantrelDock.visualSnapshotCaptured.v1";

// Puts the system Dock's own settings back from the snapshot kept in our defaults. Holds no state
// of its own and runs synchronously on the calling thread.
struct SystemDockSuppressor {
    DockDefaultsClient& client;
    UserDefaults& store;

    // Writes every snapshotted value back (or deletes a key that had no value), restarts the Dock
    // and clears the snapshot flags. True when nothing was pending or every step succeeded; on
    // failure the flags stay set so a later restore retries with the same snapshot.
    bool restorePreservedState();
};

} // namespace vantrel
