#pragma once

#include <QStringList>

namespace vantrel::test {

// One ordered record shared by several fakes, so a test can check the order in which different
// services were called.
struct CallLog {
    QStringList entries;
    void add(const QString& entry) { entries.append(entry); }
};

} // namespace vantrel::test
