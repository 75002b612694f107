#include "platform/linux/BoundedIcon.h"

#include "platform/AtomicFile.h"

#include <QBuffer>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QIconEngine>
#include <QImageReader>
#include <QPainter>
#include <QPixmap>
#include <QSet>
#include <algorithm>
#include <memory>
#include <mutex>
#include <optional>

namespace vantrel {

namespace {

constexpr qint64 kMaximumIndexBytes = 1 << 20;
// A theme that inherits in a circle, or a very long line of themes, ends here.
constexpr int kMaximumThemes = 16;
// Enough for every size a theme holds of one icon.
constexpr qsizetype kMaximumFiles = 32;
constexpr int kCachedPixmaps = 8;
// Past this many files' icons kept, those no longer in use are forgotten.
constexpr qsizetype kKeptStates = 256;
const char* const kExtensions[] = {"png", "svg", "xpm"};
// Where applications put their own, whatever the desktop's theme.
const char* const kBaseTheme = "hicolor";

struct Theme {
    // The icon files of its folders by file name, each in the folders' order.
    QHash<QString, QStringList> files;
    QStringList inherits;
    // When the theme's own folder in each search path last changed.
    QList<QDateTime> stamps;
};

QStringList searchPaths() {
    QStringList paths;
    // The program's own resources are not the desktop's themes.
    for (const QString& path : QIcon::themeSearchPaths())
        if (!path.startsWith(QLatin1Char(':'))) paths.push_back(path);
    return paths;
}

QStringList listOf(const QString& value) {
    QStringList list;
    for (const QString& part : value.split(QLatin1Char(','), Qt::SkipEmptyParts))
        if (!part.trimmed().isEmpty()) list.push_back(part.trimmed());
    return list;
}

// The icon files in the theme's folders, as its index file (the first one found) lists the
// folders, in every search path, and the themes it inherits. A theme lists hundreds of folders:
// each is read once here rather than asked for each name.
Theme readTheme(const QString& name, const QStringList& bases) {
    Theme theme;
    QStringList folders;
    for (const QString& base : bases) {
        QByteArray index;
        try {
            index = readStoredFile(base + QLatin1Char('/') + name + QStringLiteral("/index.theme"),
                                   kMaximumIndexBytes, LinkPolicy::follow);
        } catch (...) {
            continue;
        }
        QString section;
        for (const QByteArray& rawLine : index.split('\n')) {
            const QString line = QString::fromUtf8(rawLine).trimmed();
            if (line.startsWith(QLatin1Char('[')) && line.endsWith(QLatin1Char(']'))) {
                section = line.mid(1, line.size() - 2);
                continue;
            }
            const qsizetype equals = line.indexOf(QLatin1Char('='));
            if (equals <= 0) continue;
            const QString key = line.left(equals).trimmed();
            const QString value = line.mid(equals + 1).trimmed();
            if (section == u"Icon Theme") {
                if (key == u"Directories" || key == u"ScaledDirectories")
                    folders += listOf(value);
                else if (key == u"Inherits")
                    theme.inherits = listOf(value);
            }
        }
        break;
    }
    folders.removeDuplicates();
    QStringList filters;
    for (const char* extension : kExtensions)
        filters.push_back(QStringLiteral("*.") + QLatin1String(extension));
    for (const QString& base : bases)
        for (const QString& folder : folders) {
            const QString path = base + QLatin1Char('/') + name + QLatin1Char('/') + folder;
            for (const QString& file :
                 QDir(path).entryList(filters, QDir::Files | QDir::System | QDir::Hidden, QDir::Unsorted))
                theme.files[file].push_back(path + QLatin1Char('/') + file);
        }
    return theme;
}

QList<QDateTime> stampsOf(const QString& name, const QStringList& bases) {
    QList<QDateTime> stamps;
    for (const QString& base : bases)
        stamps.push_back(QFileInfo(base + QLatin1Char('/') + name).lastModified());
    return stamps;
}

// A theme is read once per thread and search path, and again when its folder has changed, as
// installing icons changes it by updating the theme's cache file.
const Theme& themeNamed(const QString& name, const QStringList& bases) {
    thread_local QHash<QString, Theme> themes;
    const QString key = bases.join(QLatin1Char('\n')) + QLatin1Char('\n') + name;
    QList<QDateTime> stamps = stampsOf(name, bases);
    auto it = themes.find(key);
    if (it == themes.end() || it->stamps != stamps) {
        Theme theme = readTheme(name, bases);
        theme.stamps = std::move(stamps);
        it = themes.insert(key, std::move(theme));
    }
    return *it;
}

// What one file holds, as far as its header tells. Its pixels are read again only to draw a size
// not drawn yet, so an icon keeps the sizes it is drawn at rather than every file of its theme.
struct Picture {
    QString path;
    QSize natural;
    bool scalable = false;
    bool unusable = false; // its header read, but its pixels did not
};

// A reader of `buffer`, read from `path`, that is usable within the limits, or none, with the
// format it reads. A file that is what its extension says is read by that format alone, so it
// wakes no other image plugin (each one loaded stays mapped: the whole set costs more than a
// megabyte); only one that is not is recognised by its content, trying each.
struct Reader {
    std::unique_ptr<QImageReader> reader;
    QByteArray format;
    QSize natural;
    bool scalable() const { return format == "svg" || format == "svgz"; }
};

Reader readerWithin(QBuffer& buffer, const QString& path) {
    Reader r;
    r.reader = std::make_unique<QImageReader>(&buffer, QFileInfo(path).suffix().toLower().toLatin1());
    r.reader->setAutoDetectImageFormat(false);
    if (!r.reader->canRead()) r.reader = std::make_unique<QImageReader>(&buffer);
    if (!r.reader->canRead()) return {};
    r.format = r.reader->format();
    r.natural = r.reader->size();
    if (r.natural.isEmpty()) return {};
    if (!r.scalable() && (r.natural.width() > kMaximumIconSide || r.natural.height() > kMaximumIconSide))
        return {};
    return r;
}

QByteArray readIconFile(const QString& path) {
    try {
        return readStoredFile(path, kMaximumIconFileBytes, LinkPolicy::follow);
    } catch (...) {
        return {};
    }
}

std::optional<Picture> readPicture(const QString& path) {
    QByteArray bytes = readIconFile(path);
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    const Reader r = readerWithin(buffer, path);
    if (!r.reader) return std::nullopt;
    return Picture{path, r.natural, r.scalable()};
}

// The picture's file read again (it may have changed since, so within the limits again) at `size`.
QImage render(const Picture& picture, const QSize& size) {
    QByteArray bytes = readIconFile(picture.path);
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    const Reader r = readerWithin(buffer, picture.path);
    if (!r.reader) return {};
    const QSize fitted = r.natural.scaled(size, Qt::KeepAspectRatio).expandedTo(QSize(1, 1));
    if (r.scalable()) {
        r.reader->setScaledSize(fitted);
        return r.reader->read();
    }
    const QImage bitmap = r.reader->read();
    if (bitmap.isNull() || bitmap.size() == fitted) return bitmap;
    return bitmap.scaled(fitted, Qt::KeepAspectRatio, Qt::SmoothTransformation);
}

// Shared by every icon of the same files while any of them, or any pixmap drawn from them, is in
// use (the tiles of one application take their pixmap from an icon they then let go): the files
// are looked at once, when first needed, and each size is drawn once.
struct IconState {
    QStringList files;
    std::recursive_mutex mutex;
    bool read = false;
    std::vector<Picture> pictures;
    QHash<quint64, QPixmap> pixmaps;

    void readFiles() {
        const std::lock_guard lock(mutex);
        if (read) return;
        read = true;
        for (const QString& file : files)
            if (auto picture = readPicture(file)) pictures.push_back(std::move(*picture));
    }

    // The smallest bitmap at least as large as asked, else a scalable picture, else the largest.
    Picture* bestFor(const QSize& size) {
        const std::lock_guard lock(mutex);
        readFiles();
        Picture* best = nullptr;
        Picture* largest = nullptr;
        Picture* scalable = nullptr;
        for (Picture& p : pictures) {
            if (p.unusable) continue;
            if (p.scalable) {
                if (!scalable) scalable = &p;
                continue;
            }
            const bool covers = p.natural.width() >= size.width() && p.natural.height() >= size.height();
            if (covers && (!best || p.natural.width() < best->natural.width())) best = &p;
            if (!largest || p.natural.width() > largest->natural.width()) largest = &p;
        }
        return best ? best : scalable ? scalable : largest;
    }

    QPixmap pixmap(const QSize& size) {
        if (size.isEmpty()) return {};
        const std::lock_guard lock(mutex);
        const quint64 key = (quint64(quint32(size.width())) << 32) | quint32(size.height());
        if (auto it = pixmaps.constFind(key); it != pixmaps.constEnd()) return *it;
        // A file whose pixels do not read gives way to the next best.
        for (Picture* picture = bestFor(size); picture; picture = bestFor(size)) {
            const QImage image = render(*picture, size);
            if (image.isNull()) {
                picture->unusable = true;
                continue;
            }
            if (pixmaps.size() >= kCachedPixmaps) pixmaps.clear();
            return *pixmaps.insert(key, QPixmap::fromImage(image));
        }
        return {};
    }

    // Whether nothing holds a pixmap drawn from it.
    bool pixmapsUnused() {
        const std::lock_guard lock(mutex);
        return std::all_of(pixmaps.begin(), pixmaps.end(), [](const QPixmap& p) { return p.isDetached(); });
    }

    bool isNull() {
        const std::lock_guard lock(mutex);
        readFiles();
        return std::all_of(pictures.begin(), pictures.end(), [](const Picture& p) { return p.unusable; });
    }
};

class BoundedIconEngine final : public QIconEngine {
public:
    explicit BoundedIconEngine(std::shared_ptr<IconState> state) : state_(std::move(state)) {}

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state) override {
        const qreal ratio = painter->device() ? painter->device()->devicePixelRatioF() : 1.0;
        const QPixmap image = pixmap(rect.size() * ratio, mode, state);
        if (image.isNull()) return;
        const QSize shown = image.size().scaled(rect.size(), Qt::KeepAspectRatio);
        QRect target(QPoint(), shown);
        target.moveCenter(rect.center());
        painter->drawPixmap(target, image);
    }
    QPixmap pixmap(const QSize& size, QIcon::Mode, QIcon::State) override { return state_->pixmap(size); }
    QSize actualSize(const QSize& size, QIcon::Mode, QIcon::State) override {
        const std::lock_guard lock(state_->mutex);
        const Picture* picture = state_->bestFor(size);
        return picture ? picture->natural.scaled(size, Qt::KeepAspectRatio).boundedTo(size) : QSize();
    }
    QList<QSize> availableSizes(QIcon::Mode, QIcon::State) override {
        const std::lock_guard lock(state_->mutex);
        state_->readFiles();
        QList<QSize> sizes;
        for (const Picture& p : state_->pictures)
            if (!p.scalable && !p.unusable) sizes.push_back(p.natural);
        return sizes;
    }
    bool isNull() override { return state_->isNull(); }
    QString key() const override { return QStringLiteral("vantrel-bounded"); }
    QIconEngine* clone() const override { return new BoundedIconEngine(state_); }

private:
    std::shared_ptr<IconState> state_;
};

} // namespace

QStringList themeIconFiles(const QString& name) {
    if (name.isEmpty() || name.contains(QLatin1Char('/'))) return {};
    QString bare = name;
    // Many entries name their icon with an extension although a theme name has none.
    for (const char* extension : kExtensions)
        if (bare.endsWith(QLatin1Char('.') + QLatin1String(extension)))
            bare.chop(int(qstrlen(extension)) + 1);
    const QStringList bases = searchPaths();
    QStringList files;
    const auto add = [&](const QStringList& paths) {
        for (const QString& path : paths)
            if (files.size() < kMaximumFiles) files.push_back(path);
    };
    // The theme, then the themes it inherits, then the fallback theme and hicolor, where
    // applications put their icons: the first that holds the icon gives all its sizes.
    QStringList chain{QIcon::themeName()};
    QSet<QString> seen;
    bool fallbacksAdded = false;
    for (qsizetype i = 0; seen.size() < kMaximumThemes; ++i) {
        if (i == chain.size()) {
            if (fallbacksAdded) break;
            fallbacksAdded = true;
            chain << QIcon::fallbackThemeName() << QString::fromLatin1(kBaseTheme);
        }
        const QString theme = chain[i];
        if (theme.isEmpty() || seen.contains(theme)) continue;
        seen.insert(theme);
        const Theme& found = themeNamed(theme, bases);
        for (const char* extension : kExtensions)
            add(found.files.value(bare + QLatin1Char('.') + QLatin1String(extension)));
        if (!files.empty()) return files;
        chain += found.inherits;
    }
    QStringList loose = QIcon::fallbackSearchPaths();
    loose.push_back(QStringLiteral("/usr/share/pixmaps"));
    for (const QString& folder : loose) {
        if (folder.startsWith(QLatin1Char(':'))) continue;
        for (const char* extension : kExtensions) {
            const QString path =
                folder + QLatin1Char('/') + bare + QLatin1Char('.') + QLatin1String(extension);
            if (QFileInfo::exists(path)) add({path});
        }
    }
    return files;
}

QIcon boundedIcon(QStringList files) {
    if (files.empty()) return {};
    static std::mutex mutex;
    static QHash<QString, std::shared_ptr<IconState>> states;
    static qsizetype sweepAt = kKeptStates;
    // Held only here, with none of its pixmaps in use, a state is forgotten: the next icon of
    // its files looks at them afresh.
    const auto unused = [](const std::shared_ptr<IconState>& state) {
        return state.use_count() == 1 && state->pixmapsUnused();
    };
    const QString key = files.join(QLatin1Char('\n'));
    const std::lock_guard lock(mutex);
    if (const auto found = states.constFind(key); found != states.constEnd() && !unused(*found))
        return QIcon(new BoundedIconEngine(*found));
    if (states.size() >= sweepAt) {
        states.removeIf([&](const auto& entry) { return unused(entry.value()); });
        sweepAt = std::max(kKeptStates, 2 * states.size());
    }
    auto state = std::make_shared<IconState>();
    state->files = std::move(files);
    states.insert(key, state);
    return QIcon(new BoundedIconEngine(state));
}

QIcon iconNamed(const QString& icon) {
    if (QFileInfo(icon).isAbsolute()) return boundedIcon({QDir::cleanPath(icon)});
    return boundedIcon(themeIconFiles(icon));
}

} // namespace vantrel
