#pragma once

#include "platform/AppPaths.h"

#include <QTemporaryDir>

namespace vantrel::test {

// A throw-away home with its own config and data folders, for tests that touch files.
class TempHome {
public:
    TempHome();
    bool isValid() const { return dir_.isValid(); }
    QString root() const { return dir_.path(); }
    const AppPaths& paths() const { return paths_; }
    // Writes `bytes` to `relativePath` under the root, making folders as needed.
    QString writeFile(const QString& relativePath, const QByteArray& bytes) const;
    QByteArray readFile(const QString& absolutePath) const;

private:
    QTemporaryDir dir_;
    AppPaths paths_;
};

} // namespace vantrel::test
