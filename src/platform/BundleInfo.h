#pragma once

#include <QJsonObject>
#include <QString>
#include <optional>

namespace vantrel {

// What the application package says about itself: its identifier and its information values
// (for example the build channel that keeps a QA build's data apart).
struct BundleInfo {
    std::optional<QString> identifier;
    QJsonObject info;

    // The running application: identifier "com.vantrel.mac"; a build configured with
    // VANTREL_BUILD_CHANNEL carries that channel under "VantrelBuildChannel".
    static BundleInfo main();
};

} // namespace vantrel
