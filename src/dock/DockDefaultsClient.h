#pragma once

#include <QLocale>
#include <QString>
#include <QStringList>
#include <cmath>
#include <vector>

namespace vantrel {

// The result of reading one key of the system Dock's settings.
struct DockPreferenceRead {
    enum class Kind { value, absent, failure };
    Kind kind = Kind::failure;
    QString text; // the value, for `value`
    // The type option that writes the value back as it is held ("-bool", "-float", "-string");
    // empty where the reader cannot tell.
    QString typeFlag;
    // The value as it is held where that differs from `text`, which is trimmed of blanks and line
    // ends (a text held as " 0.5"); empty otherwise.
    QString heldText;

    static DockPreferenceRead value(QString text, QString typeFlag = {}, QString heldText = {}) {
        return {Kind::value, std::move(text), std::move(typeFlag), std::move(heldText)};
    }
    static DockPreferenceRead absent() { return {Kind::absent, {}, {}, {}}; }
    static DockPreferenceRead failure() { return {Kind::failure, {}, {}, {}}; }
    // What writing the value back with `typeFlag` takes to restore it exactly.
    const QString& asHeld() const { return heldText.isEmpty() ? text : heldText; }
    bool operator==(const DockPreferenceRead&) const = default;
};

// One write of the system Dock's settings domain: the key, the type option and the text written.
struct NativeDockSetting {
    QString key;
    QString typeFlag;
    QString value;
    bool operator==(const NativeDockSetting&) const = default;
};

// The shortest text that converts back to exactly `value`, in plain decimals where that stays
// short: 0.0004 gives "0.0004", 47.12345 gives "47.12345", 48 gives "48", 1e-9 gives "1e-09".
inline QString exactNumberText(double value) {
    const double magnitude = std::fabs(value);
    const bool plain = magnitude == 0 || (magnitude >= 1e-6 && magnitude < 1e15);
    return QString::number(value, plain ? 'f' : 'g', QLocale::FloatingPointShortest);
}

// The commands on the system Dock's settings domain.
class DockDefaultsClient {
public:
    virtual ~DockDefaultsClient() = default;
    virtual DockPreferenceRead read(const QString& key) = 0;
    // `typeFlag` is "-bool", "-float" or "-string"; any other option fails.
    virtual bool write(const QString& key, const QString& typeFlag, const QString& value) = 0;
    virtual bool deleteKey(const QString& key) = 0;
    // Writes `settings` and removes `deletions` as one change of the domain: true when all of it
    // is stored; false when any of it cannot be, and then nothing changed. A key to remove that
    // does not exist is no failure.
    virtual bool writeAll(const std::vector<NativeDockSetting>& settings, const QStringList& deletions) = 0;
    // Makes the Dock pick its changed settings up.
    virtual bool restartDock() = 0;
};

} // namespace vantrel
