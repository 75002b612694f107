#pragma once

#include "dock/DockDefaultsClient.h"

#include <QString>
#include <map>
#include <vector>

namespace vantrel {

enum class NativeDockSettingsTransactionResult {
    applied,        // every key written and the Dock restarted
    rolledBack,     // nothing changed, or every key is back in its earlier state
    recoveryFailed, // some key could not be put back, or the Dock did not restart after that
};

// Writes a list of settings as one unit: reads every key first, writes them all in one change of
// the domain, restarts the Dock, and when the restart fails puts every key back the way it was
// read, again in one change. A process killed at any point leaves the domain holding either the
// whole earlier set or the whole new one. Runs on the calling thread (the system Dock's queue) and
// blocks for each command.
class NativeDockSettingsTransaction {
public:
    explicit NativeDockSettingsTransaction(DockDefaultsClient& client) : client_(client) {}

    NativeDockSettingsTransactionResult apply(const std::vector<NativeDockSetting>& settings);

private:
    // True when every key of `applied` is back in the state `originals` recorded for it, value and
    // type.
    bool rollback(const std::vector<NativeDockSetting>& applied,
                  const std::map<QString, DockPreferenceRead>& originals);

    DockDefaultsClient& client_;
};

} // namespace vantrel
