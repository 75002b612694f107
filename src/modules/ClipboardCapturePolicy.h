#pragma once

#include <QSet>
#include <QString>
#include <QStringList>

namespace vantrel {

// Which clipboard items the history must never record: other programs mark secrets and
// short-lived content with these types so that histories leave them alone.
struct ClipboardCapturePolicy {
    static const QSet<QString>& excludedTypes();
    // True when none of `types` forbids recording the item.
    static bool allowsCapture(const QStringList& types);
};

} // namespace vantrel
