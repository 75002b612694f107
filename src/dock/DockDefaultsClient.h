#pragma once

#include <QString>

namespace vantrel {

// The result of reading one key of the system Dock's settings.
struct DockPreferenceRead {
    enum class Kind { value, absent, failure };
    Kind kind = Kind::failure;
    QString text; // the value, for `value`

    static DockPreferenceRead value(QString text) { return {Kind::value, std::move(text)}; }
    static DockPreferenceRead absent() { return {Kind::absent, {}}; }
    static DockPreferenceRead failure() { return {Kind::failure, {}}; }
    bool operator==(const DockPreferenceRead&) const = default;
};

// The four commands on the system Dock's settings domain.
class DockDefaultsClient {
public:
    virtual ~DockDefaultsClient() = default;
    virtual DockPreferenceRead read(const QString& key) = 0;
    // `typeFlag` is "-bool", "-float" or "-string"; any other option fails.
    virtual bool write(const QString& key, const QString& typeFlag, const QString& value) = 0;
    virtual bool deleteKey(const QString& key) = 0;
    // Makes the Dock pick its changed settings up.
    virtual bool restartDock() = 0;
};

} // namespace vantrel
