#pragma once

#include <QString>

namespace vantrel {

// A module opened on first use lies beside the executable once installed, and in the build tree
// (where it was built) otherwise.
QString modulePathBesideExecutable(const QString& builtPath);

} // namespace vantrel
