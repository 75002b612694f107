#include "platform/linux/IconThemes.h"

#include "platform/AtomicFile.h"
#include "platform/WorkQueue.h"
#include "platform/linux/BoundedIcon.h"
#include "platform/linux/HeapMemory.h"

#include <QCoreApplication>
#include <QDir>
#include <QEvent>
#include <QFileInfo>
#include <memory>

namespace vantrel {

namespace {

constexpr qint64 kMaximumIndexBytes = 1 << 20;
// A theme that inherits in a circle, or a very long line of themes, ends here.
constexpr int kMaximumThemes = 16;
// Enough for every size a theme holds of one icon.
constexpr qsizetype kMaximumFiles = 32;
// What one theme's read takes at most, whatever its index lists: the largest themes installed
// list a few hundred folders and a hundred thousand files.
constexpr qsizetype kMaximumFolders = 4096;
constexpr qsizetype kMaximumThemeFiles = 1 << 18;
// Pictures decoded within one frame of each other are told together: every tile asks again at
// each telling.
constexpr Seconds kFrame{0.016};
// How long the queue stays idle before what its burst of work freed is given back: the pictures
// decoded are taken, and their copies freed, within a frame of being told.
constexpr Seconds kQuietSpell{1};
// How long what was looked at on the queue is trusted: icons installed are found within as long of
// the next look-up, and a Dock asking for every tile at each redraw looks at the disk at most once
// a round.
constexpr Seconds kRound{2};
// Names looked for among the loose pictures, kept: every name an entry or a file's type gives.
constexpr qsizetype kKeptLooseNames = 1024;
const char* const kExtensions[] = {"png", "svg", "xpm"};
// Where applications put their own, whatever the desktop's theme.
const char* const kBaseTheme = "hicolor";
// The toolkit's own folder, drawn at these sizes.
const char* const kToolkitFolders[] = {":/qt-project.org/styles/commonstyle/images/dirclosed-16.png",
                                       ":/qt-project.org/styles/commonstyle/images/dirclosed-32.png",
                                       ":/qt-project.org/styles/commonstyle/images/dirclosed-128.png"};

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

QList<QDateTime> stampsOf(const QString& name, const QStringList& bases) {
    QList<QDateTime> stamps;
    for (const QString& base : bases)
        stamps.push_back(QFileInfo(base + QLatin1Char('/') + name).lastModified());
    return stamps;
}

} // namespace

IconThemes::IconThemes(WorkQueue* reader, Scheduler* scheduler, std::function<void()> returnFreedMemory,
                       QObject* parent)
    : QObject(parent), reader_(reader), scheduler_(scheduler),
      returnFreedMemory_(returnFreedMemory ? std::move(returnFreedMemory) : &vantrel::returnFreedMemory),
      naming_(naming()) {
    if (reader_)
        decoding_ = std::make_shared<IconDecoding>(reader_, results_.handle(), [this] { announceDecoded(); });
    // The desktop's settings name another theme: Qt sends every window a theme change.
    if (QCoreApplication* app = QCoreApplication::instance()) app->installEventFilter(this);
}

IconThemes::~IconThemes() {
    // Icons handed out outlive the themes: they decode on the asking thread from now on.
    if (decoding_) decoding_->queue = nullptr;
}

// The icon files in the theme's folders, as its index file (the first one found) lists the
// folders, in every search path, and the themes it inherits. A theme lists hundreds of folders:
// each is read once here rather than asked for each name.
IconThemes::Theme IconThemes::read(const QString& name, const QStringList& bases) {
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
    if (folders.size() > kMaximumFolders) folders.resize(kMaximumFolders);
    QStringList filters;
    for (const char* extension : kExtensions)
        filters.push_back(QStringLiteral("*.") + QLatin1String(extension));
    qsizetype kept = 0;
    for (const QString& base : bases)
        for (const QString& folder : folders) {
            const QString path = base + QLatin1Char('/') + name + QLatin1Char('/') + folder;
            for (const QString& file :
                 QDir(path).entryList(filters, QDir::Files | QDir::System | QDir::Hidden, QDir::Unsorted)) {
                if (++kept > kMaximumThemeFiles) return theme;
                theme.files[file].push_back(path + QLatin1Char('/') + file);
            }
        }
    return theme;
}

// A theme is read once per search path, and again when its folder has changed, as installing
// icons changes it by updating the theme's cache file. Given a queue, the folder is looked at
// there, once a round, and the theme as read answers meanwhile.
const IconThemes::Theme* IconThemes::theme(const QString& name, const QStringList& bases) {
    const QString key = bases.join(QLatin1Char('\n')) + QLatin1Char('\n') + name;
    const auto it = themes_.find(key);
    if (!reader_) {
        QList<QDateTime> stamps = stampsOf(name, bases);
        if (it != themes_.end() && it->stamps == stamps) return &*it;
        Theme theme = read(name, bases);
        theme.stamps = std::move(stamps);
        return &*themes_.insert(key, std::move(theme));
    }
    const Theme* known = it != themes_.end() ? &*it : nullptr;
    if ((!known || known->checked != round()) && !reading_.contains(key)) {
        reading_.insert(key);
        std::optional<QList<QDateTime>> before;
        if (known) before = known->stamps;
        reader_->async([this, name, bases, key, before = std::move(before), port = results_.handle()] {
            QList<QDateTime> stamps = stampsOf(name, bases);
            std::shared_ptr<Theme> theme;
            if (!before || *before != stamps) {
                theme = std::make_shared<Theme>(read(name, bases));
                theme->stamps = std::move(stamps);
            }
            port.post([this, key, theme] {
                reading_.remove(key);
                if (!theme) {
                    // As it was: trusted for another round.
                    if (const auto found = themes_.find(key); found != themes_.end())
                        found->checked = round();
                    return;
                }
                theme->checked = round();
                themes_.insert(key, std::move(*theme));
                folderIcon_.reset();
                announce();
                noteQueueWork();
            });
        });
    }
    return known;
}

QStringList IconThemes::files(const QString& name) {
    if (name.isEmpty() || name.contains(QLatin1Char('/'))) return {};
    QString bare = name;
    // Many entries name their icon with an extension although a theme name has none.
    for (const char* extension : kExtensions)
        if (bare.endsWith(QLatin1Char('.') + QLatin1String(extension)))
            bare.chop(int(qstrlen(extension)) + 1);
    const QStringList bases = searchPaths();
    QStringList files;
    // The theme, then the themes it inherits, then the fallback theme and hicolor, where
    // applications put their icons: the first that holds the icon gives all its sizes. A theme
    // still being read holds nothing yet.
    QStringList chain{QIcon::themeName()};
    QSet<QString> seen;
    bool fallbacksAdded = false;
    bool allRead = true;
    for (qsizetype i = 0; seen.size() < kMaximumThemes; ++i) {
        if (i == chain.size()) {
            if (fallbacksAdded) break;
            fallbacksAdded = true;
            chain << QIcon::fallbackThemeName() << QString::fromLatin1(kBaseTheme);
        }
        const QString name = chain[i];
        if (name.isEmpty() || seen.contains(name)) continue;
        seen.insert(name);
        const Theme* found = theme(name, bases);
        if (!found) {
            allRead = false;
            continue;
        }
        for (const char* extension : kExtensions)
            for (const QString& path : found->files.value(bare + QLatin1Char('.') + QLatin1String(extension)))
                if (files.size() < kMaximumFiles) files.push_back(path);
        if (!files.empty()) return files;
        chain += found->inherits;
    }
    // Only a name that no theme holds is a loose picture: looked for once the themes are read.
    return allRead ? loose(bare) : QStringList();
}

QStringList IconThemes::looseFiles(const QString& bare, const QStringList& folders) {
    QStringList files;
    for (const QString& folder : folders)
        for (const char* extension : kExtensions) {
            const QString path =
                folder + QLatin1Char('/') + bare + QLatin1Char('.') + QLatin1String(extension);
            if (files.size() < kMaximumFiles && QFileInfo::exists(path)) files.push_back(path);
        }
    return files;
}

QStringList IconThemes::loose(const QString& bare) {
    QStringList folders = QIcon::fallbackSearchPaths();
    folders.push_back(QStringLiteral("/usr/share/pixmaps"));
    folders.removeIf([](const QString& folder) { return folder.startsWith(QLatin1Char(':')); });
    if (!reader_) return looseFiles(bare, folders);
    const QString key = folders.join(QLatin1Char('\n')) + QLatin1Char('\n') + bare;
    const auto known = loose_.constFind(key);
    if ((known == loose_.cend() || known->checked != round()) && !probing_.contains(key)) {
        probing_.insert(key);
        reader_->async([this, key, bare, folders, port = results_.handle()] {
            QStringList files = looseFiles(bare, folders);
            port.post([this, key, files = std::move(files)] {
                probing_.remove(key);
                const auto before = loose_.constFind(key);
                // Nothing found answers as nothing looked for did: no one is told.
                const bool differs = before == loose_.cend() ? !files.isEmpty() : before->files != files;
                if (before == loose_.cend() && loose_.size() >= kKeptLooseNames) loose_.clear();
                loose_.insert(key, {files, round()});
                if (!differs) return;
                folderIcon_.reset();
                announce();
            });
        });
    }
    return known != loose_.cend() ? known->files : QStringList();
}

quint64 IconThemes::round() {
    if (scheduler_ && !roundEnd_.isActive())
        roundEnd_ = ScheduledTask(*scheduler_, scheduler_->schedule(kRound, [this] { ++round_; }));
    return round_;
}

QIcon IconThemes::icon(const QString& nameOrPath) {
    if (QFileInfo(nameOrPath).isAbsolute()) return boundedIcon({QDir::cleanPath(nameOrPath)}, decoding_);
    return boundedIcon(files(nameOrPath), decoding_);
}

QIcon IconThemes::folderIcon() {
    if (QString now = naming(); !folderIcon_ || folderNaming_ != now) {
        folderNaming_ = std::move(now);
        folderIcon_ = [this] {
            for (const char* name : {"inode-directory", "folder"})
                if (QIcon found = icon(QString::fromLatin1(name)); !found.isNull()) return found;
            // Drawn into the toolkit itself, so no theme can take it away.
            QIcon toolkit;
            for (const char* path : kToolkitFolders)
                if (QFileInfo::exists(QString::fromLatin1(path))) toolkit.addFile(QString::fromLatin1(path));
            return toolkit;
        }();
    }
    return *folderIcon_;
}

QString IconThemes::naming() {
    return QIcon::themeName() + QLatin1Char('\n') + QIcon::fallbackThemeName() + QLatin1Char('\n') +
           QIcon::themeSearchPaths().join(QLatin1Char('\n'));
}

bool IconThemes::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::ThemeChange) {
        if (QString now = naming(); now != naming_) {
            naming_ = std::move(now);
            folderIcon_.reset();
            announce();
        }
    }
    return QObject::eventFilter(watched, event);
}

// A picture decoded keeps the folder icon: only a theme read or renamed can change it, and a
// folder drawn from a large picture would otherwise be decoded again on every announcement.
void IconThemes::announce() {
    if (std::exchange(announcing_, true)) return;
    QMetaObject::invokeMethod(
        this,
        [this] {
            announcing_ = false;
            Q_EMIT changed();
        },
        Qt::QueuedConnection);
}

void IconThemes::noteQueueWork() {
    if (!scheduler_ || !reader_) return;
    memoryReturn_ = ScheduledTask(*scheduler_, scheduler_->schedule(kQuietSpell, [this] {
        // On the queue: the asking thread never waits for it whole.
        reader_->async(returnFreedMemory_);
    }));
}

void IconThemes::announceDecoded() {
    noteQueueWork();
    if (!scheduler_) {
        announce();
        return;
    }
    if (decodedAnnouncement_.isActive()) return;
    decodedAnnouncement_ =
        ScheduledTask(*scheduler_, scheduler_->schedule(kFrame, [this] { Q_EMIT changed(); }));
}

} // namespace vantrel
