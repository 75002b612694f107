#pragma once

#include "platform/RunningApplications.h"
#include "support/CallLog.h"

#include <QStringList>
#include <map>

namespace vantrel::test {

// Running applications set by the test; every request is recorded ("activate 42", "hide 42",
// "terminate 42", "forceTerminate 42"), on `log` too when one is set. The test announces
// changes by emitting the signals itself.
class RecordingRunningApplications final : public RunningApplications {
public:
    std::vector<RunningApplication> runningApplications() const override {
        ++listReads;
        return applications;
    }
    std::optional<qint32> frontmostProcessIdentifier() const override {
        ++frontmostReads;
        return frontmost;
    }
    QString fileManagerIdentifier() const override { return fileManager; }
    QString bundleIdentifier(const QString& entryPath) const override {
        const auto it = identifiers.find(entryPath);
        return it == identifiers.end() ? QString() : it->second;
    }
    QIcon genericApplicationIcon() const override {
        ++genericIconReads;
        return genericIcon;
    }
    bool activate(qint32 pid) override { return record(QStringLiteral("activate"), pid); }
    bool hide(qint32 pid) override { return record(QStringLiteral("hide"), pid); }
    bool terminate(qint32 pid) override { return record(QStringLiteral("terminate"), pid); }
    bool forceTerminate(qint32 pid) override {
        return record(QStringLiteral("forceTerminate"), pid) && forceTerminateSucceeds;
    }

    std::vector<RunningApplication> applications;
    std::optional<qint32> frontmost;
    QString fileManager;
    // Desktop-file ids of installed entries, by path.
    std::map<QString, QString> identifiers;
    // The desktop's generic application icon, and how often it was read.
    QIcon genericIcon;
    mutable int genericIconReads = 0;
    QStringList requests;
    // What a kill answers.
    bool forceTerminateSucceeds = true;
    CallLog* log = nullptr;
    // How often the list, and the frontmost application, were read: each is a walk of the
    // desktop's windows.
    mutable int listReads = 0;
    mutable int frontmostReads = 0;

private:
    bool record(const QString& verb, qint32 pid) {
        const QString entry = verb + QLatin1Char(' ') + QString::number(pid);
        requests.append(entry);
        if (log) log->add(entry);
        return true;
    }
};

} // namespace vantrel::test
