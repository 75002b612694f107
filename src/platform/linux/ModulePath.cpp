#include "platform/linux/ModulePath.h"

#include <QCoreApplication>
#include <QFileInfo>

namespace vantrel {

QString modulePathBesideExecutable(const QString& builtPath) {
    const QString beside =
        QCoreApplication::applicationDirPath() + QLatin1Char('/') + QFileInfo(builtPath).fileName();
    return QFileInfo::exists(beside) ? beside : builtPath;
}

} // namespace vantrel
