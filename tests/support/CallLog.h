#pragma once

#include <QStringList>
#include <functional>

namespace vantrel::test {

// One ordered record shared by several fakes, so a test can check the order in which different
// services were called. `onAdd`, when set, sees each entry as it is added.
struct CallLog {
    QStringList entries;
    std::function<void(const QString&)> onAdd;
    void add(const QString& entry) {
        entries.append(entry);
        if (onAdd) onAdd(entry);
    }
};

} // namespace vantrel::test
