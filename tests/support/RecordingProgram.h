#pragma once

#include "support/TempHome.h"

#include <QFile>
#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QSignalSpy>
#include <QStringList>

namespace vantrel::test {

// A program that writes the arguments it was started with, one a line, to "<its path>.args".
struct RecordingProgram {
    QString path;
    QString record() const { return path + QStringLiteral(".args"); }

    // The recorded arguments, once the started program has written them.
    QStringList waitForArguments() const {
        QFileSystemWatcher watcher({QFileInfo(path).absolutePath()});
        QSignalSpy changed(&watcher, &QFileSystemWatcher::directoryChanged);
        while (!QFileInfo::exists(record()))
            if (!changed.wait(10000)) return {QStringLiteral("<not started>")};
        QFile file(record());
        if (!file.open(QIODevice::ReadOnly)) return {};
        QStringList lines = QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'));
        lines.removeLast();
        return lines;
    }
};

// Writes a recording program at `relativePath` under the temporary home.
inline RecordingProgram installRecorder(const TempHome& home, const QString& relativePath) {
    const QString path = home.writeFile(
        relativePath, "#!/bin/sh\nfor a in \"$@\"; do printf '%s\\n' \"$a\"; done > \"$0.args.part\"\n"
                      "mv \"$0.args.part\" \"$0.args\"\n");
    QFile::setPermissions(path, QFile::permissions(path) | QFileDevice::ExeOwner);
    return {path};
}

} // namespace vantrel::test
