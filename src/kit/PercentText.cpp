#include "kit/PercentText.h"

#include <cmath>

namespace vantrel {

QString percentText(double fraction) {
    const double percent = fraction * 100.0;
    // Bounded well inside int so the cast below is always defined.
    if (!std::isfinite(percent) || std::fabs(percent) >= 1e9) return QStringLiteral("—");
    return QStringLiteral("%1%").arg(static_cast<int>(std::trunc(percent)));
}

} // namespace vantrel
