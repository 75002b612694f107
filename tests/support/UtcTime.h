#pragma once

#include "platform/Clock.h"

#include <QDateTime>

namespace vantrel::test {

// A point in time from ISO 8601 text, "2026-01-05T09:00:00Z".
inline WallTime utc(const char* iso) {
    return fromQDateTime(QDateTime::fromString(QString::fromLatin1(iso), Qt::ISODate)).value();
}

} // namespace vantrel::test
