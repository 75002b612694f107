#include "core/WebsiteAddress.h"

namespace vantrel {

std::optional<QUrl> websiteUrl(const QString& address) {
    const QUrl url(address, QUrl::StrictMode);
    const QString scheme = url.scheme().toLower();
    if (!url.isValid() || (scheme != u"http" && scheme != u"https") || url.host().isEmpty())
        return std::nullopt;
    return url;
}

} // namespace vantrel
