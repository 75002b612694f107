#pragma once

#include "platform/LoginItems.h"

#include <QString>

namespace vantrel {

// Launch at login as the freedesktop autostart entry "<config home>/autostart/vantrel.desktop".
// Only an installed program is registered: one started from the folder it was built in would
// leave an entry that starts nothing once that folder moves or goes.
class XdgAutostartLoginItems final : public LoginItems {
public:
    // Ours is a few hundred bytes; a file past this is not read and counts as no entry.
    static constexpr qint64 kMaximumEntryBytes = 64 * 1024;

    // `buildTree`: the folder the program was built in; an executable inside it is not installed.
    XdgAutostartLoginItems(QString autostartFolder, QString executablePath, QString buildTree);

    // Enabled while the entry exists and is not switched off (Hidden or the GNOME flag).
    LoginItemStatus status() const override;
    // False, writing nothing, for a program that is not installed.
    bool registerItem() override;
    // An entry that is not there counts as removed.
    bool unregisterItem() override;

    QString entryPath() const { return folder_ + QStringLiteral("/vantrel.desktop"); }
    // The Exec value that starts `program` with no arguments, quoted by the entry rules.
    static QString execValue(const QString& program);
    // Whether `executable` lies outside `buildTree`, links resolved.
    static bool isInstalled(const QString& executable, const QString& buildTree);

private:
    QString folder_;
    QString executable_;
    QString buildTree_;
};

} // namespace vantrel
