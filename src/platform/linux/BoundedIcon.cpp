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
#include <memory>
#include <optional>

namespace vantrel {

namespace {

constexpr qint64 kMaximumIndexBytes = 1 << 20;
// A theme that inherits in a circle, or a very long line of themes, ends here.
constexpr int kMaximumThemes = 16;
// Enough for every size a theme holds of one icon.
constexpr qsizetype kMaximumFiles = 32;
constexpr int kCachedPixmaps = 8;
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

// An image read from one file, decoded as far as needed to know it is usable.
struct Picture {
    QByteArray bytes; // kept for a scalable picture, which is drawn afresh at each size
    QImage bitmap;
    QSize natural;
    bool scalable = false;
};

std::optional<Picture> readPicture(const QString& path) {
    Picture picture;
    try {
        picture.bytes = readStoredFile(path, kMaximumIconFileBytes, LinkPolicy::follow);
    } catch (...) {
        return std::nullopt;
    }
    QBuffer buffer(&picture.bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    if (!reader.canRead()) return std::nullopt;
    picture.natural = reader.size();
    if (picture.natural.isEmpty()) return std::nullopt;
    const QByteArray format = reader.format();
    picture.scalable = format == "svg" || format == "svgz";
    if (picture.scalable) return picture;
    if (picture.natural.width() > kMaximumIconSide || picture.natural.height() > kMaximumIconSide)
        return std::nullopt;
    picture.bitmap = reader.read();
    picture.bytes.clear();
    if (picture.bitmap.isNull()) return std::nullopt;
    return picture;
}

QImage render(const Picture& picture, const QSize& size) {
    const QSize fitted = picture.natural.scaled(size, Qt::KeepAspectRatio).expandedTo(QSize(1, 1));
    if (!picture.scalable)
        return picture.bitmap.size() == fitted
                   ? picture.bitmap
                   : picture.bitmap.scaled(fitted, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    QByteArray bytes = picture.bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    reader.setScaledSize(fitted);
    return reader.read();
}

// Shared by an icon and its copies: the files are read once, when first needed.
struct IconState {
    QStringList files;
    bool read = false;
    std::vector<Picture> pictures;
    QHash<quint64, QPixmap> pixmaps;

    void readFiles() {
        if (read) return;
        read = true;
        for (const QString& file : files)
            if (auto picture = readPicture(file)) pictures.push_back(std::move(*picture));
    }

    // The smallest bitmap at least as large as asked, else a scalable picture, else the largest.
    const Picture* bestFor(const QSize& size) {
        readFiles();
        const Picture* best = nullptr;
        const Picture* largest = nullptr;
        const Picture* scalable = nullptr;
        for (const Picture& p : pictures) {
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
        const quint64 key = (quint64(quint32(size.width())) << 32) | quint32(size.height());
        if (auto it = pixmaps.constFind(key); it != pixmaps.constEnd()) return *it;
        const Picture* picture = bestFor(size);
        if (!picture) return {};
        const QImage image = render(*picture, size);
        if (image.isNull()) return {};
        if (pixmaps.size() >= kCachedPixmaps) pixmaps.clear();
        return *pixmaps.insert(key, QPixmap::fromImage(image));
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
        const Picture* picture = state_->bestFor(size);
        return picture ? picture->natural.scaled(size, Qt::KeepAspectRatio).boundedTo(size) : QSize();
    }
    QList<QSize> availableSizes(QIcon::Mode, QIcon::State) override {
        state_->readFiles();
        QList<QSize> sizes;
        for (const Picture& p : state_->pictures)
            if (!p.scalable) sizes.push_back(p.natural);
        return sizes;
    }
    bool isNull() override {
        state_->readFiles();
        return state_->pictures.empty();
    }
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
    auto state = std::make_shared<IconState>();
    state->files = std::move(files);
    return QIcon(new BoundedIconEngine(std::move(state)));
}

QIcon iconNamed(const QString& icon) {
    if (QFileInfo(icon).isAbsolute()) return boundedIcon({QDir::cleanPath(icon)});
    return boundedIcon(themeIconFiles(icon));
}

} // namespace vantrel
