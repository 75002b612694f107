#pragma once

#include "platform/Environment.h"

#include <map>

namespace vantrel::test {

class FakeEnvironment final : public Environment {
public:
    FakeEnvironment() = default;
    FakeEnvironment(std::initializer_list<std::pair<const QString, QString>> values) : values_(values) {}

    std::optional<QString> value(const QString& name) const override {
        auto it = values_.find(name);
        if (it == values_.end()) return std::nullopt;
        return it->second;
    }
    void set(const QString& name, const QString& value) { values_[name] = value; }
    void unset(const QString& name) { values_.erase(name); }

private:
    std::map<QString, QString> values_;
};

} // namespace vantrel::test
