#include "kit/ThemeImageStore.h"

#include "platform/FileManager.h"
#include "platform/WorkQueue.h"

#include <QCoreApplication>
#include <QPointer>

#include <algorithm>
#include <cmath>
#include <exception>

namespace vantrel {

namespace {

// An image's bytes, and never less than the budget's share of one of `limit` entries.
qsizetype cacheCost(const QImage& image, qsizetype budget, int limit) {
    return std::max(image.sizeInBytes(), budget / limit);
}

} // namespace

ThemeImageStore::ThemeImageStore(FileManager& files, QString applicationPath, CubeFilter filter)
    : files_(files), applicationPath_(std::move(applicationPath)), filter_(std::move(filter)) {}

QStringList ThemeImageStore::candidatePaths(const QString& name) const {
    const QString file = name + QStringLiteral(".png");
    const QString folder = QString::fromLatin1(kBundleFolder);
    return {applicationPath_ + QStringLiteral("/Contents/Resources/") + folder + QLatin1Char('/') + file,
            applicationPath_ + QLatin1Char('/') + folder + QLatin1Char('/') + file};
}

std::optional<QImage> ThemeImageStore::originalImage(const QString& name) {
    if (const QImage* cached = originalCache_.object(name)) return *cached;
    QString path;
    for (const QString& candidate : candidatePaths(name)) {
        if (files_.fileExists(candidate)) {
            path = candidate;
            break;
        }
    }
    if (path.isEmpty()) return std::nullopt;
    QByteArray bytes;
    try {
        // Artwork is a few hundred kilobytes; anything near this is not ours.
        bytes = files_.readData(path, 64 * 1024 * 1024);
    } catch (const std::exception&) {
        return std::nullopt;
    }
    QImage image;
    if (!image.loadFromData(bytes, "PNG")) return std::nullopt;
    originalCache_.insert(name, new QImage(image),
                          cacheCost(image, kOriginalCacheBytes, kOriginalCacheLimit));
    return image;
}

QString ThemeImageStore::remapKey(const QString& name, const ThemeHueRemap::Pixel& target, double amount,
                                  const ThemeHueRemap::Profile& profile) {
    // lround rounds halves away from zero.
    const auto step = [](double value, double steps) { return int(std::lround(value * steps)); };
    return QString::asprintf("%s|%02d|%02d|%02d|%02d|%03d", name.toUtf8().constData(), step(target.red, 24),
                             step(target.green, 24), step(target.blue, 24), step(std::min(amount, 1.0), 20),
                             step(profile.hue, 100));
}

namespace {
std::optional<QImage> remap(const ThemeImageStore::CubeFilter& filter, const QImage& source,
                            const ThemeHueRemap::Pixel& target, double amount,
                            const ThemeHueRemap::Profile& profile) {
    if (source.isNull() || !filter) return std::nullopt;
    const QByteArray cube =
        ThemeHueRemap::colorCubeData(target, amount, profile, ThemeImageStore::kCubeDimension);
    std::optional<QImage> out = filter(source, cube, ThemeImageStore::kCubeDimension);
    if (!out || out->isNull()) return std::nullopt;
    out->setDevicePixelRatio(source.devicePixelRatio());
    return out;
}
} // namespace

std::optional<QImage> ThemeImageStore::remappedImage(const QImage& source, const ThemeHueRemap::Pixel& target,
                                                     double amount, const ThemeHueRemap::Profile& profile) {
    return remap(filter_, source, target, amount, profile);
}

void ThemeImageStore::remapOnWorker(const QString& key, const QImage& source,
                                    const ThemeHueRemap::Pixel& target, double amount,
                                    const ThemeHueRemap::Profile& profile) {
    if (pending_.contains(key)) return;
    pending_.insert(key);
    // The worker gets copies only: the filter, and the source, whose pixels nobody writes.
    QPointer<ThemeImageStore> self(this);
    worker_->async([self, key, source, target, amount, profile, filter = filter_]() mutable {
        std::optional<QImage> out = remap(filter, source, target, amount, profile);
        // Handed back through the application object, which outlives every worker; whether the
        // store is still there is asked on the main thread only.
        QMetaObject::invokeMethod(
            QCoreApplication::instance(),
            [self = std::move(self), key, out = std::move(out)] {
                if (!self) return;
                self->pending_.remove(key);
                // A failure is not cached: the next request tries again.
                if (!out) return;
                self->remappedCache_.insert(key, new QImage(*out),
                                            cacheCost(*out, kRemappedCacheBytes, kRemappedCacheLimit));
                Q_EMIT self->remappedImageReady();
            },
            Qt::QueuedConnection);
    });
}

std::optional<QImage> ThemeImageStore::image(const QString& name,
                                             const std::optional<ThemeHueRemap::Pixel>& target, double amount,
                                             const std::optional<ThemeHueRemap::Profile>& profile) {
    std::optional<QImage> source = originalImage(name);
    if (!source) return std::nullopt;
    if (!target || !profile || !(amount > 0)) return source;
    const QString key = remapKey(name, *target, amount, *profile);
    if (const QImage* cached = remappedCache_.object(key)) return *cached;
    if (worker_) {
        remapOnWorker(key, *source, *target, amount, *profile);
        return source;
    }
    std::optional<QImage> remapped = remappedImage(*source, *target, amount, *profile);
    // A failure is not cached: the next request tries again.
    if (!remapped) return source;
    remappedCache_.insert(key, new QImage(*remapped),
                          cacheCost(*remapped, kRemappedCacheBytes, kRemappedCacheLimit));
    return remapped;
}

} // namespace vantrel
