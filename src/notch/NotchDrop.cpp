#include "notch/NotchDrop.h"

#include <QMimeData>

namespace vantrel::NotchDrop {

namespace {

bool isLocalFile(const QUrl& url) {
    if (!url.isValid() || !url.isLocalFile()) return false;
    // A file address naming another machine is a network share, not a file here.
    const QString host = url.host();
    if (!host.isEmpty() && host != QLatin1String("localhost")) return false;
    return !url.path().isEmpty();
}

} // namespace

QList<QUrl> localFiles(const QList<QUrl>& urls) {
    QList<QUrl> files;
    for (const QUrl& url : urls)
        if (isLocalFile(url)) files.append(url);
    return files;
}

QList<QUrl> localFiles(const QMimeData& data) {
    return data.hasUrls() ? localFiles(data.urls()) : QList<QUrl>();
}

bool carriesLocalFiles(const QMimeData& data) {
    return !localFiles(data).isEmpty();
}

} // namespace vantrel::NotchDrop
