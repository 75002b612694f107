#include "platform/BundleInfo.h"

#include "platform/SystemLog.h"

namespace vantrel {

BundleInfo BundleInfo::main() {
    BundleInfo bundle;
    bundle.identifier = QString::fromLatin1(kLogSubsystem);
#ifdef VANTREL_BUILD_CHANNEL
    bundle.info.insert(QStringLiteral("VantrelBuildChannel"), QStringLiteral(VANTREL_BUILD_CHANNEL));
#endif
    return bundle;
}

} // namespace vantrel
