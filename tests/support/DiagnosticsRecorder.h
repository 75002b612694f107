#pragma once

#include "core/QAObserver.h"
#include "core/VantrelDiagnostics.h"
#include "platform/InMemoryDefaults.h"
#include "support/FakeEnvironment.h"
#include "support/FakeFileManager.h"
#include "support/ManualClock.h"
#include "support/RecordingSystemLog.h"
#include "support/TempHome.h"

namespace vantrel::test {

// A diagnostics log whose records can be read back as "[category] message" lines.
struct DiagnosticsRecorder {
    ManualClock clock;
    RecordingSystemLog log;
    FakeEnvironment environment;
    InMemoryDefaults defaults;
    TempHome home;
    FakeFileManager files;
    QAObserver qa{clock, files, home.paths()};
    VantrelDiagnostics diagnostics{clock, log, environment, defaults, qa};

    // Every record so far, as the log got it.
    QStringList records() const { return log.messages(QStringLiteral("QA")); }
    // The records of one category, without the category.
    QStringList records(DiagnosticsCategory category) const {
        const QString prefix = QStringLiteral("[%1] ").arg(rawValue(category));
        QStringList out;
        for (const QString& line : records())
            if (line.startsWith(prefix)) out.append(line.mid(prefix.size()));
        return out;
    }
    void clear() { log.clear(); }
};

} // namespace vantrel::test
