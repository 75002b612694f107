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

    std::vector<NativeDockSetting> applied;
    applied.reserve(settings.size());
    for (const NativeDockSetting& setting : settings) {
        // Listed before the write, so a write that fails halfway is undone too.
        applied.push_back(setting);
        if (!client_.write(setting.key, setting.typeFlag, setting.value))
            return rollback(applied, originals) ? Result::rolledBack : Result::recoveryFailed;
    }

    if (client_.restartDock()) return Result::applied;
    const bool restored = rollback(applied, originals);
    const bool restarted = client_.restartDock();
    return restored && restarted ? Result::rolledBack : Result::recoveryFailed;
}

bool NativeDockSettingsTransaction::rollback(const std::vector<NativeDockSetting>& applied,
                                             const std::map<QString, DockPreferenceRead>& originals) {
    bool allRestored = true;
    for (auto it = applied.rbegin(); it != applied.rend(); ++it) {
        const auto original = originals.find(it->key);
        if (original == originals.end()) {
            allRestored = false;
            continue;
        }
        switch (original->second.kind) {
        case DockPreferenceRead::Kind::value:
            // Written back exactly as it was read ("1" for a boolean, "48" for a size).
            if (!client_.write(it->key, it->typeFlag, original->second.text)) allRestored = false;
            break;
        case DockPreferenceRead::Kind::absent: {
            const DockPreferenceRead now = client_.read(it->key);
            if (now.kind == DockPreferenceRead::Kind::failure)
                allRestored = false;
            else if (now.kind == DockPreferenceRead::Kind::value && !client_.deleteKey(it->key))
                allRestored = false;
            break;
        }
        case DockPreferenceRead::Kind::failure:
            allRestored = false;
            break;
        }
    }
    return allRestored;
}

} // namespace vantrel
