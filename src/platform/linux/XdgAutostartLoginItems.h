#pragma once

#include "platform/LoginItems.h"

#include <QString>

namespace vantrel {

// Launch at login as the freedesktop autostart entry "<config home>/autostart/vantrel.desktop".
class XdgAutostartLoginItems final : public LoginItems {
public:
    // Ours is a few hundred bytes; a file past this is not read and counts as no entry.
    static constexpr qint64 kMaximumEntryBytes = 64 * 1024;

    XdgAutostartLoginItems(QString autostartFolder, QString executablePath);

    // Enabled while the entry exists and is not switched off (Hidden or the GNOME flag).
    LoginItemStatus status() const override;
    bool registerItem() override;
    // An entry that is not there counts as removed.
    bool unregisterItem() override;

    QString entryPath() const { return folder_ + QStringLiteral("/vantrel.desktop"); }
    // The Exec value that starts `program` with no arguments, quoted by the entry rules.
    static QString execValue(const QString& program);

private:
    QString folder_;
    QString executable_;
};

} // namespace vantrel
