#pragma once

#include "platform/linux/DesktopEntry.h"

#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

namespace vantrel {

// The installed application entries of the desktop's folders, by desktop-file id, and the entry
// a running program belongs to.
class DesktopEntryIndex {
public:
    struct Entry {
        // "org.example.Editor.desktop": the path below its folder, "/" turned into "-".
        QString id;
        QString path;
        DesktopEntry entry;
    };

    // `folders` most specific first: an entry there hides one of the same id further down, also
    // when it cannot be launched itself (a Hidden entry removes the application).
    explicit DesktopEntryIndex(QStringList folders);

    // Reads the folders again.
    void reload();
    const std::vector<Entry>& entries() const { return entries_; }

    // The id that `path` has as an entry of one of the folders; empty when it lies in none.
    QString idOf(const QString& path) const;
    // The entry of a program: the one whose StartupWMClass is the window's class or instance
    // name, else one whose program (its base name) is that name or the process's name as the
    // system shortens it (`processName`, empty when unknown). Listed entries before NoDisplay
    // ones, then the folders' order. None when nothing matches.
    const Entry* match(const QString& windowInstance, const QString& windowClass,
                       const QString& processName) const;

private:
    QStringList folders_;
    std::vector<Entry> entries_;
};

} // namespace vantrel
