#include "support/TempHome.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace vantrel::test {

TempHome::TempHome() {
    paths_.home = dir_.path() + QStringLiteral("/home");
    paths_.configHome = paths_.home + QStringLiteral("/.config");
    paths_.dataHome = paths_.home + QStringLiteral("/.local/share");
    QDir().mkpath(paths_.home);
}

QString TempHome::writeFile(const QString& relativePath, const QByteArray& bytes) const {
    const QString path = dir_.path() + QLatin1Char('/') + relativePath;
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    if (file.open(QIODevice::WriteOnly)) file.write(bytes);
    return path;
}

QByteArray TempHome::readFile(const QString& absolutePath) const {
    QFile file(absolutePath);
    if (!file.open(QIODevice::ReadOnly)) return {};
    return file.readAll();
}

} // namespace vantrel::test
