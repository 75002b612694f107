#pragma once

#include "dock/DockDefaultsClient.h"
#include "support/CallLog.h"

#include <QSet>
#include <map>

namespace vantrel::test {

// A system Dock domain in memory that records every command as "read key", "write key flag value",
// "delete key" and "restart". Keys listed in `failing` make their command fail, as does a write
// with a type option the system's tool does not take here (other than "-bool", "-float", "-string").
class RecordingDockDefaultsClient final : public DockDefaultsClient {
public:
    DockPreferenceRead read(const QString& key) override {
        commands.add(QStringLiteral("read ") + key);
        if (failing.contains(key)) return DockPreferenceRead::failure();
        auto it = values.find(key);
        return it == values.end() ? DockPreferenceRead::absent() : DockPreferenceRead::value(it->second);
    }
    bool write(const QString& key, const QString& typeFlag, const QString& value) override {
        commands.add(QStringLiteral("write %1 %2 %3").arg(key, typeFlag, value));
        if (failing.contains(key) || failingWrites.contains(key)) return false;
        if (typeFlag != u"-bool" && typeFlag != u"-float" && typeFlag != u"-string") return false;
        values[key] = value;
        return true;
    }
    bool deleteKey(const QString& key) override {
        commands.add(QStringLiteral("delete ") + key);
        if (failing.contains(key) || failingDeletes.contains(key)) return false;
        return values.erase(key) == 1;
    }
    bool restartDock() override {
        commands.add(QStringLiteral("restart"));
        return restartSucceeds;
    }

    std::map<QString, QString> values;
    QSet<QString> failing;
    QSet<QString> failingWrites;  // keys that read fine but cannot be written
    QSet<QString> failingDeletes; // keys that read fine but cannot be deleted
    bool restartSucceeds = true;
    CallLog commands;
};

} // namespace vantrel::test
