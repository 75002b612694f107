#pragma once

#include "dock/DockDefaultsClient.h"

namespace vantrel {

class SystemLog;
class UserDefaultsProvider;

// The system Dock's settings domain. Linux has no such Dock: its settings are simulated as the
// defaults domain `domain` beside our own (a JSON file, written at once on every change), and a
// restart of the Dock is a line in the log. Nothing here runs `defaults` or `killall`. A read
// gives a number as its shortest text that converts back to the very same number, with the type
// option of the value as held, so what is read can be written back exactly.
class ProcessDockDefaultsClient final : public DockDefaultsClient {
public:
    ProcessDockDefaultsClient(QString domain, double commandTimeout, UserDefaultsProvider& defaults,
                              SystemLog& log);

    const QString& domain() const { return domain_; }
    double commandTimeout() const { return commandTimeout_; }

    DockPreferenceRead read(const QString& key) override;
    bool write(const QString& key, const QString& typeFlag, const QString& value) override;
    bool deleteKey(const QString& key) override;
    // One replace of the domain's file.
    bool writeAll(const std::vector<NativeDockSetting>& settings, const QStringList& deletions) override;
    bool restartDock() override;

private:
    QString domain_;
    double commandTimeout_;
    UserDefaultsProvider& defaults_;
    SystemLog& log_;
};

} // namespace vantrel
