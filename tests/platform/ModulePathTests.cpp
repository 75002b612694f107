#include "platform/linux/ModulePath.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <gtest/gtest.h>

namespace vantrel {
namespace {

TEST(ModulePath, AnInstalledModuleBesideTheExecutableWinsOverTheBuildTree) {
    const QString executable = QCoreApplication::applicationFilePath();
    const QString name = QFileInfo(executable).fileName();
    // A file of that name lies beside the running program: that one is used.
    EXPECT_EQ(modulePathBesideExecutable(QStringLiteral("/build/elsewhere/") + name), executable);
    // Nothing of that name beside it: the path it was built at is kept as given.
    EXPECT_EQ(modulePathBesideExecutable(QStringLiteral("/build/elsewhere/libvantrel_absent.so")),
              QStringLiteral("/build/elsewhere/libvantrel_absent.so"));
}

} // namespace
} // namespace vantrel
