#pragma once

#include "dock/DockDefaultsClient.h"

#include <QString>
#include <map>
#include <vector>

namespace vantrel {

// One write of the system Dock's settings domain: the key, the type option and the text written.
struct NativeDockSetting {
    QString key;
    QString typeFlag;
    QString value;
    bool operator==(const NativeDockSetting&) const = default;
};

enum class NativeDockSettingsTransactionResult {
    applied,        // every key written and the Dock restarted
    rolledBack,     // nothing changed, or every key is back in its earlier state
    recoveryFailed, // some key could not be put back, or the Dock did not restart after that
};

// Writes a list of settings as one unit: reads every key first, writes them in order, restarts the
// Dock, and on any failure puts every key it touched back the way it was read. Runs on the calling
// thread (the system Dock's queue) and blocks for each command.
class NativeDockSettingsTransaction {
public:
    explicit NativeDockSettingsTransaction(DockDefaultsClient& client) : client_(client) {}

    NativeDockSettingsTransactionResult apply(const std::vector<NativeDockSetting>& settings);

private:
    // True when every key of `applied` is back in the state `originals` recorded for it.
    bool rollback(const std::vector<NativeDockSetting>& applied,
                  const std::map<QString, DockPreferenceRead>& originals);

    DockDefaultsClient& client_;
};

} // namespace vantrel
