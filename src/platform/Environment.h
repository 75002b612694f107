#pragma once

#include <QString>
#include <optional>

namespace vantrel {

// The process environment, injected so components never read variables behind a test's back.
class Environment {
public:
    virtual ~Environment() = default;
    virtual std::optional<QString> value(const QString& name) const = 0;
};

class ProcessEnvironment final : public Environment {
public:
    std::optional<QString> value(const QString& name) const override;
};

} // namespace vantrel
