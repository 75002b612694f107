#pragma once

#include <QString>
#include <QUrl>
#include <optional>

namespace vantrel {

// The address a website item may open: http or https with a host. None for anything else, so a
// stored "file:" or "javascript:" target is never handed to the desktop.
std::optional<QUrl> websiteUrl(const QString& address);

} // namespace vantrel
