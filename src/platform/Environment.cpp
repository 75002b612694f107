#include "platform/Environment.h"

#include <QtGlobal>

namespace vantrel {

std::optional<QString> ProcessEnvironment::value(const QString& name) const {
    const QByteArray key = name.toLocal8Bit();
    if (!qEnvironmentVariableIsSet(key.constData())) return std::nullopt;
    return qEnvironmentVariable(key.constData());
}

} // namespace vantrel
