#pragma once

#include <QList>
#include <QUrl>

class QMimeData;

namespace vantrel {

// What a drag over the notch brings to the file shelf. The shelf keeps paths of files on this
// machine, so only local file addresses count: a web link has no file behind it and is left out.
namespace NotchDrop {

// The local files among the addresses, in their order.
QList<QUrl> localFiles(const QList<QUrl>& urls);
// The local files a drag carries; empty when it carries none.
QList<QUrl> localFiles(const QMimeData& data);
// Whether the drag is worth opening the notch for: it carries at least one local file.
bool carriesLocalFiles(const QMimeData& data);

} // namespace NotchDrop

} // namespace vantrel
