#include "platform/linux/FreedesktopTrash.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>

namespace vantrel {

namespace {

void note(QString* error, const QString& text) {
    if (error) *error = text;
}

// Removes every entry of `folder`, hidden ones too, without following symbolic links out of it.
bool removeContents(const QString& folder, QStringList& failed) {
    QDir dir(folder);
    if (!dir.exists()) return true;
    const QFileInfoList entries =
        dir.entryInfoList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    bool ok = true;
    for (const QFileInfo& entry : entries) {
        bool removed = false;
        if (entry.isDir() && !entry.isSymLink())
            removed = QDir(entry.absoluteFilePath()).removeRecursively();
        else
            removed = QFile::remove(entry.absoluteFilePath());
        if (!removed) {
            ok = false;
            failed.append(entry.fileName());
        }
    }
    return ok;
}

} // namespace

FreedesktopTrash::FreedesktopTrash(const QString& dataHome) : root_(dataHome + QStringLiteral("/Trash")) {}

QString FreedesktopTrash::filesFolder() const {
    return root_ + QStringLiteral("/files");
}

QString FreedesktopTrash::infoFolder() const {
    return root_ + QStringLiteral("/info");
}

bool FreedesktopTrash::hasItems() const {
    QDirIterator entries(filesFolder(),
                         QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    return entries.hasNext();
}

bool FreedesktopTrash::moveToTrash(const QString& path, QString* error) {
    if (!QFileInfo::exists(path) && !QFileInfo(path).isSymLink()) {
        note(error, QStringLiteral("Nothing is at %1.").arg(path));
        return false;
    }
    QFile file(path);
    if (!file.moveToTrash()) {
        note(error, file.errorString());
        return false;
    }
    return true;
}

bool FreedesktopTrash::empty(QString* error) {
    QStringList failed;
    bool ok = removeContents(filesFolder(), failed);
    ok = removeContents(infoFolder(), failed) && ok;
    const QString sizes = root_ + QStringLiteral("/directorysizes");
    if (QFileInfo::exists(sizes) && !QFile::remove(sizes)) {
        ok = false;
        failed.append(QStringLiteral("directorysizes"));
    }
    if (!ok)
        note(error,
             QStringLiteral("Could not delete %1 from the Trash.").arg(failed.join(QStringLiteral(", "))));
    return ok;
}

} // namespace vantrel
