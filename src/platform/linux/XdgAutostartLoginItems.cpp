#include "platform/linux/XdgAutostartLoginItems.h"

#include "platform/AtomicFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <system_error>

namespace vantrel {

XdgAutostartLoginItems::XdgAutostartLoginItems(QString autostartFolder, QString executablePath,
                                               QString buildTree)
    : folder_(std::move(autostartFolder)), executable_(std::move(executablePath)),
      buildTree_(std::move(buildTree)) {}

bool XdgAutostartLoginItems::isInstalled(const QString& executable, const QString& buildTree) {
    if (buildTree.isEmpty()) return true;
    const auto resolved = [](const QString& path) {
        const QString canonical = QFileInfo(path).canonicalFilePath();
        return canonical.isEmpty() ? QDir::cleanPath(QDir(path).absolutePath()) : canonical;
    };
    const QString tree = resolved(buildTree);
    const QString program = resolved(executable);
    return program != tree && !program.startsWith(tree + QLatin1Char('/'));
}

QString XdgAutostartLoginItems::execValue(const QString& program) {
    // Quote rules first (inside double quotes, " ` $ \ take a backslash; % becomes %%), then the
    // general string escape, which doubles every backslash once more.
    QString quoted;
    for (const QChar c : program) {
        if (c == u'"' || c == u'`' || c == u'$' || c == u'\\') quoted.append(QLatin1Char('\\'));
        if (c == u'%') quoted.append(QLatin1Char('%'));
        quoted.append(c);
    }
    quoted = QLatin1Char('"') + quoted + QLatin1Char('"');
    return quoted.replace(QLatin1Char('\\'), QStringLiteral("\\\\"));
}

LoginItemStatus XdgAutostartLoginItems::status() const {
    QByteArray bytes;
    try {
        // Read at start-up: whatever stands there must neither block nor fill the memory.
        bytes = readStoredFile(entryPath(), kMaximumEntryBytes, LinkPolicy::follow);
    } catch (const std::exception&) {
        // Missing, not a file, or far larger than any entry we write: not ours to count on.
        return LoginItemStatus::notRegistered;
    }
    bool inEntryGroup = false;
    for (const QByteArray& raw : bytes.split('\n')) {
        const QString line = QString::fromUtf8(raw).trimmed();
        if (line.startsWith(QLatin1Char('['))) {
            inEntryGroup = line == u"[Desktop Entry]";
            continue;
        }
        if (!inEntryGroup) continue;
        const qsizetype equals = line.indexOf(QLatin1Char('='));
        if (equals < 0) continue;
        const QString key = line.left(equals).trimmed();
        const QString value = line.mid(equals + 1).trimmed();
        if ((key == u"Hidden" && value == u"true") ||
            (key == u"X-GNOME-Autostart-enabled" && value == u"false"))
            return LoginItemStatus::notRegistered;
    }
    return LoginItemStatus::enabled;
}

bool XdgAutostartLoginItems::registerItem() {
    if (executable_.isEmpty() || !isInstalled(executable_, buildTree_)) return false;
    try {
        // What starts at login is the user's alone to change, whatever the umask.
        createPrivateFolders(folder_);
    } catch (const std::system_error&) {
        return false;
    }
    const QString entry = QStringLiteral("[Desktop Entry]\n"
                                         "Type=Application\n"
                                         "Name=Vantrel\n"
                                         "Exec=%1\n"
                                         "Terminal=false\n"
                                         "X-GNOME-Autostart-enabled=true\n")
                              .arg(execValue(executable_));
    try {
        writeFileAtomically(entryPath(), entry.toUtf8());
    } catch (const FileWriteError&) {
        return false;
    }
    return true;
}

bool XdgAutostartLoginItems::unregisterItem() {
    const QFileInfo info(entryPath());
    if (!info.exists() && !info.isSymLink()) return true;
    return QFile::remove(entryPath());
}

} // namespace vantrel
