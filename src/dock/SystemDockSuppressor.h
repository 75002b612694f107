#pragma once

#include <QJsonObject>
#include <QString>
#include <array>
#include <optional>

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
    // The value as a Bool or a Double (false or 0 when the key had none).
    const char* valueKey;
    // Whether the key had a value.
    const char* wasSetKey;
    // The value exactly as it was read, {"typeFlag": "-float", "value": "47.12345"}, so the restore
    // writes back the same text with the same type (a size held as a string stays a string).
    // Snapshots of earlier versions have none; their restore goes by `valueKey` and the kind.
    const char* asReadKey;

    static const std::array<DockManagedKey, 3> behavior;
    static const std::array<DockManagedKey, 5> visual;
};

inline constexpr const char* kDockRestorePendingKey = "vantrelDock.systemDockRestorePending";
inline constexpr const char* kDockVisualSnapshotKey = "vantrelDock.visualSnapshotCaptured.v1";

// Why the system Dock was left as it is, for the user.
inline constexpr const char* kDockSnapshotUnsaved =
    "The macOS Dock was left as it is: its settings could not be saved first, so they could not be put "
    "back later.";
inline constexpr const char* kDockSettingsUnreadable =
    "The macOS Dock was left as it is: its settings file could not be read.";

// Shrinks the system Dock through its own settings after keeping a snapshot of them in our
// defaults, and puts them back from that snapshot. Holds no state of its own and runs
// synchronously on the calling thread.
struct SystemDockSuppressor {
    DockDefaultsClient& client;
    UserDefaults& store;
    // Snapshots what is not snapshotted yet and writes it to disk, then writes the suppressed value
    // of every managed key and restarts the Dock. True when every step succeeded. A snapshot that
    // cannot be taken, or cannot be saved, stops it before anything is written (and a snapshot not
    // saved is not kept in memory either); a failed write still lets the others run but skips the
    // restart, and the snapshot stays for the restore. `problem`, when given, receives why the
    // Dock was left as it is (its settings could not be read, or the snapshot not saved).
    bool suppressPreservingState(QString* problem = nullptr);

    // Writes every snapshotted value back exactly, value and type (or deletes a key that had no
    // value), restarts the Dock and clears the snapshot flags. True when nothing was pending or every step
    // succeeded; on failure the flags stay set so a later restore retries with the same snapshot.
    // A domain that cannot be read is such a failure: no key of it is deleted, and `problem`, when
    // given, says so.
    bool restorePreservedState(QString* problem = nullptr);

private:
    // Reads every key of each group whose snapshot flag is not set and, only when all of them read
    // as usable values or as absent, answers them with the group's flag as one change to store (a
    // null value removes its key). None when a read fails or a value cannot be taken back as it
    // was, and then `unreadable` tells whether a read failed.
    std::optional<QJsonObject> missingSnapshots(bool* unreadable = nullptr);
};

// Whether the system Dock still waits for its own settings to come back.
namespace SystemDockProcess {
// True while either snapshot flag is set in `store` (our standard defaults). Runs no command.
bool hasPendingRestore(const UserDefaults& store);
} // namespace SystemDockProcess

} // namespace vantrel
