#include "core/FileNotices.h"

namespace vantrel {

void FileNotices::add(const QString& notice) {
    if (notice.isEmpty() || notices_.contains(notice)) return;
    notices_.append(notice);
    Q_EMIT changed();
}

} // namespace vantrel
