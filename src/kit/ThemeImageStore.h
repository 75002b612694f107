#pragma once

#include "core/SharedInstance.h"
#include "kit/ThemeHueRemap.h"

#include <QCache>
#include <QImage>
#include <QObject>
#include <QSet>
#include <QString>
#include <functional>
#include <optional>

namespace vantrel {

class FileManager;
class WorkQueue;

// The one loader and cache of the theme artwork and of its recoloured copies. Source images are
// decoded once per name; a recoloured image is rendered once per remap key, whose quantisation
// lets nearby tints and amounts share it. With a worker, recolouring happens there: until its
// copy is ready a request gets the source image, and `remappedImageReady` says when to ask again.
class ThemeImageStore : public QObject, public SharedInstance<ThemeImageStore> {
    Q_OBJECT
public:
    // Recolours an image through a colour cube; none when it fails.
    using CubeFilter =
        std::function<std::optional<QImage>(const QImage& image, const QByteArray& cube, int dimension)>;

    static constexpr int kCubeDimension = 24;
    static constexpr int kOriginalCacheLimit = 16;
    static constexpr int kRemappedCacheLimit = 18;
    // Besides their counts, the decoded pixels each cache holds: a full-size picture takes several
    // megabytes, and only one or two are on screen at a time.
    static constexpr qsizetype kOriginalCacheBytes = qsizetype(32) << 20;
    static constexpr qsizetype kRemappedCacheBytes = qsizetype(32) << 20;
    // The folder of the artwork inside the application folder.
    static constexpr const char* kBundleFolder = "Vantrel_Vantrel.bundle";

    // Reads "<name>.png" from the artwork folder in `applicationPath` (under
    // "Contents/Resources", then directly inside) through `files`.
    ThemeImageStore(FileManager& files, QString applicationPath,
                    CubeFilter filter = ThemeHueRemap::applyCube);
    ThemeImageStore(const ThemeImageStore&) = delete;
    ThemeImageStore& operator=(const ThemeImageStore&) = delete;

    // Recolours on `worker` from now on (none: on the calling thread). The queue must outlive the
    // store's last request; a result that arrives after the store is gone is dropped.
    void setWorker(WorkQueue* worker) { worker_ = worker; }

    // The recoloured image when a target, a profile and an amount above 0 are given and the
    // recolouring works; else the source image; none when the source cannot be loaded.
    std::optional<QImage> image(const QString& name, const std::optional<ThemeHueRemap::Pixel>& target,
                                double amount, const std::optional<ThemeHueRemap::Profile>& profile);
    // The cached or freshly loaded source image, or none.
    std::optional<QImage> originalImage(const QString& name);
    // A new recoloured copy of `source`, of the same size; none when a step fails.
    std::optional<QImage> remappedImage(const QImage& source, const ThemeHueRemap::Pixel& target,
                                        double amount, const ThemeHueRemap::Profile& profile);

    // "<name>|rr|gg|bb|aa|hhh": the tint in 24ths a channel, the amount (at most 1) in
    // twentieths, the profile's hue in hundredths.
    static QString remapKey(const QString& name, const ThemeHueRemap::Pixel& target, double amount,
                            const ThemeHueRemap::Profile& profile);
    // The two places looked at for `name`, in order.
    QStringList candidatePaths(const QString& name) const;

    int originalCount() const { return int(originalCache_.count()); }
    int remappedCount() const { return int(remappedCache_.count()); }
    int pendingCount() const { return int(pending_.size()); }

Q_SIGNALS:
    // A recoloured copy made on the worker is in the cache.
    void remappedImageReady();

private:
    void remapOnWorker(const QString& key, const QImage& source, const ThemeHueRemap::Pixel& target,
                       double amount, const ThemeHueRemap::Profile& profile);

    FileManager& files_;
    QString applicationPath_;
    CubeFilter filter_;
    WorkQueue* worker_ = nullptr;
    // The keys being recoloured on the worker, so that a repeated request does not start another.
    QSet<QString> pending_;
    // Each image costs its bytes, and at least the budget's share of one entry, so that both the
    // count and the bytes stay within their limits.
    QCache<QString, QImage> originalCache_{kOriginalCacheBytes};
    QCache<QString, QImage> remappedCache_{kRemappedCacheBytes};
};

} // namespace vantrel
