#include "platform/InMemoryDefaults.h"

namespace vantrel {

void InMemoryDefaults::set(const QString& key, const QJsonValue& value) {
    if (value.isUndefined() || value.isNull())
        values_.remove(key);
    else
        values_.insert(key, value);
}

UserDefaults& InMemoryDefaultsProvider::suite(const QString& domain) {
    auto& slot = domains_[domain];
    if (!slot) slot = std::make_unique<InMemoryDefaults>(domain);
    return *slot;
}

} // namespace vantrel
