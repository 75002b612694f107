#pragma once

#include "core/SharedInstance.h"
#include "platform/Clock.h"
#include "platform/EnumTraits.h"

#include <QList>
#include <QObject>
#include <QString>
#include <QUuid>

namespace vantrel {

class Environment;
class QAObserver;
class SystemLog;
class UserDefaults;

#define VANTREL_DIAGNOSTICS_CATEGORIES(C)                                                                    \
    C(displayChanged)                                                                                        \
    C(notchIntent)                                                                                           \
    C(notchFrame) C(notchAnimation) C(capability) C(persistence) C(media) C(camera) C(dock) C(input)
VANTREL_STRING_ENUM(DiagnosticsCategory, VANTREL_DIAGNOSTICS_CATEGORIES)

// The trace components leave of what they decided. Every record goes to the log (subsystem
// "com.vantrel.mac", category "QA", debug level) and to the QA recorder; while diagnostics are
// switched on the newest 240 also stay in memory for observers. Recording never fails and never
// changes the recorder's behaviour.
class VantrelDiagnostics : public QObject, public SharedInstance<VantrelDiagnostics> {
    Q_OBJECT

public:
    using Category = DiagnosticsCategory;
    static constexpr int maximumEntries = 240;

    struct Entry {
        QUuid id;
        WallTime at;
        Category category;
        QString message; // whole: only the QA recorder shortens messages
        bool operator==(const Entry&) const = default;
    };

    VantrelDiagnostics(const Clock& clock, SystemLog& log, const Environment& environment,
                       const UserDefaults& standardDefaults, QAObserver& qaObserver,
                       QObject* parent = nullptr);

    void record(Category category, const QString& message);

    // Read afresh on every record, so switching it on takes effect without a restart:
    // VANTREL_QA_MODE exactly "1", else the "vantrel.qaMode" flag of the standard defaults.
    bool isEnabled() const;

    const QList<Entry>& entries() const { return entries_; }

Q_SIGNALS:
    void entriesChanged();

private:
    const Clock& clock_;
    SystemLog& log_;
    const Environment& environment_;
    const UserDefaults& defaults_;
    QAObserver& qaObserver_;
    QList<Entry> entries_;
};

} // namespace vantrel
