#pragma once

#include "dock/DockDefaultsClient.h"
#include "support/CallLog.h"

#include <QSet>
#include <map>

namespace vantrel::test {

// A system Dock domain in memory that records every command as "read key", "write key flag value",
// "delete key", "restart", and a batch as "batch: " followed by its writes and then its deletions
// in those forms, joined by "; ". Keys listed in `failing` make their command fail (a batch that
// holds one fails whole, changing nothing), as does a write with a type option the system's tool
// does not take here (other than "-bool", "-float", "-string"). `types` holds the type option of
// each value whose type is known: a read reports it, and every write sets it.
class RecordingDockDefaultsClient final : public DockDefaultsClient {
public:
    DockPreferenceRead read(const QString& key) override {
        commands.add(QStringLiteral("read ") + key);
        if (failing.contains(key)) return DockPreferenceRead::failure();
        auto it = values.find(key);
        if (it == values.end()) return DockPreferenceRead::absent();
        const auto type = types.find(key);
        return DockPreferenceRead::value(it->second, type == types.end() ? QString() : type->second);
    }
    bool write(const QString& key, const QString& typeFlag, const QString& value) override {
        commands.add(QStringLiteral("write %1 %2 %3").arg(key, typeFlag, value));
        if (failing.contains(key) || failingWrites.contains(key)) return false;
        if (typeFlag != u"-bool" && typeFlag != u"-float" && typeFlag != u"-string") return false;
        values[key] = value;
        types[key] = typeFlag;
        return true;
    }
    bool deleteKey(const QString& key) override {
        commands.add(QStringLiteral("delete ") + key);
        if (failing.contains(key) || failingDeletes.contains(key)) return false;
        types.erase(key);
        return values.erase(key) == 1;
    }
    bool writeAll(const std::vector<NativeDockSetting>& settings, const QStringList& deletions) override {
        QStringList parts;
        bool refused = false;
        for (const NativeDockSetting& s : settings) {
            parts.append(QStringLiteral("write %1 %2 %3").arg(s.key, s.typeFlag, s.value));
            if (failing.contains(s.key) || failingWrites.contains(s.key)) refused = true;
            if (s.typeFlag != u"-bool" && s.typeFlag != u"-float" && s.typeFlag != u"-string") refused = true;
        }
        for (const QString& key : deletions) {
            parts.append(QStringLiteral("delete ") + key);
            if (failing.contains(key) || failingDeletes.contains(key)) refused = true;
        }
        commands.add(QStringLiteral("batch: ") + parts.join(QStringLiteral("; ")));
        if (refused) return false;
        for (const QString& key : deletions) {
            values.erase(key);
            types.erase(key);
        }
        for (const NativeDockSetting& s : settings) {
            values[s.key] = s.value;
            types[s.key] = s.typeFlag;
        }
        return true;
    }
    bool restartDock() override {
        commands.add(QStringLiteral("restart"));
        return restartSucceeds;
    }

    std::map<QString, QString> values;
    std::map<QString, QString> types;
    QSet<QString> failing;
    QSet<QString> failingWrites;  // keys that read fine but cannot be written
    QSet<QString> failingDeletes; // keys that read fine but cannot be deleted
    bool restartSucceeds = true;
    CallLog commands;
};

} // namespace vantrel::test
