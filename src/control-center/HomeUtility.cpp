#include "control-center/HomeUtility.h"

namespace vantrel {

QString rawValue(HomeUtility utility) {
    switch (utility) {
    case HomeUtility::timer:
        return QStringLiteral("Timer");
    case HomeUtility::clipboard:
        return QStringLiteral("Clipboard");
    case HomeUtility::files:
        break;
    }
    return QStringLiteral("File Shelf");
}

QString symbol(HomeUtility utility) {
    switch (utility) {
    case HomeUtility::timer:
        return QStringLiteral("timer");
    case HomeUtility::clipboard:
        return QStringLiteral("doc.on.clipboard");
    case HomeUtility::files:
        break;
    }
    return QStringLiteral("tray.full");
}

} // namespace vantrel
