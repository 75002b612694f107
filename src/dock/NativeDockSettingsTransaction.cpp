#include "dock/NativeDockSettingsTransaction.h"

namespace vantrel {

using Result = NativeDockSettingsTransactionResult;

Result NativeDockSettingsTransaction::apply(const std::vector<NativeDockSetting>& settings) {
    std::map<QString, DockPreferenceRead> originals;
    for (const NativeDockSetting& setting : settings) {
        DockPreferenceRead read = client_.read(setting.key);
        // Without every earlier value there would be nothing to return to: write nothing.
        if (read.kind == DockPreferenceRead::Kind::failure) return Result::rolledBack;
        originals.insert_or_assign(setting.key, std::move(read));
    }

    // The whole set lands or none of it does: a failed write changed nothing to undo.
    if (!client_.writeAll(settings, {})) return Result::rolledBack;

    if (client_.restartDock()) return Result::applied;
    const bool restored = rollback(settings, originals);
    const bool restarted = client_.restartDock();
    return restored && restarted ? Result::rolledBack : Result::recoveryFailed;
}

bool NativeDockSettingsTransaction::rollback(const std::vector<NativeDockSetting>& applied,
                                             const std::map<QString, DockPreferenceRead>& originals) {
    std::vector<NativeDockSetting> writes;
    QStringList deletions;
    for (const NativeDockSetting& setting : applied) {
        const auto original = originals.find(setting.key);
        if (original == originals.end()) return false;
        switch (original->second.kind) {
        case DockPreferenceRead::Kind::value:
            // Written back exactly as it was read ("1" for a boolean, "48" for a size), with the
            // type it had where the reader could tell: a size held as a string stays a string.
            writes.push_back(
                {setting.key,
                 original->second.typeFlag.isEmpty() ? setting.typeFlag : original->second.typeFlag,
                 original->second.asHeld()});
            break;
        case DockPreferenceRead::Kind::absent:
            deletions.append(setting.key);
            break;
        case DockPreferenceRead::Kind::failure:
            return false;
        }
    }
    return client_.writeAll(writes, deletions);
}

} // namespace vantrel
