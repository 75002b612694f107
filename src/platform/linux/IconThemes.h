#pragma once

#include "platform/ResultPort.h"
#include "platform/Scheduler.h"

#include <QDateTime>
#include <QHash>
#include <QIcon>
#include <QObject>
#include <QSet>
#include <QStringList>
#include <functional>
#include <memory>
#include <optional>

namespace vantrel {

class WorkQueue;
struct IconDecoding;

// The desktop's icon themes, as the icon files each one holds by name, and the icons looked up in
// them. Listing a theme's folders takes as long as the theme is large: most of a second for one
// that lists ten thousand folders, or one folder of a hundred thousand files; on a hung mount, a
// stat takes for ever. Given a queue, nothing is looked at on the asking thread: a theme is read
// there, a look-up answers from the themes read so far and asks for the others, and changed()
// follows once they are in. A theme read is trusted for a round (two seconds, given `scheduler`;
// without one, until the desktop names another theme), and its folder looked at again on the
// queue when it is asked for in a later one, so that icons installed meanwhile are found; a name
// no theme holds is looked for among the loose pictures there too. Without a queue, everything is
// looked at on the asking thread at each look-up.
// Every icon file found is read through boundedIcon(), its larger pictures decoded on the same
// queue: changed() follows each as it is in, those decoded within one frame of the first told
// together (given `scheduler`; without one, on the next turn of the event loop). Once the queue's
// work has been quiet for a second after a burst (given `scheduler`), `returnFreedMemory` runs on
// the queue, once: what the pictures took, freed meanwhile on either thread, goes back to the
// system (returnFreedMemory() by default). Made and used on one thread.
class IconThemes final : public QObject {
    Q_OBJECT
public:
    explicit IconThemes(WorkQueue* reader = nullptr, Scheduler* scheduler = nullptr,
                        std::function<void()> returnFreedMemory = {}, QObject* parent = nullptr);
    ~IconThemes() override;

    // The files of icon `name` in the current icon theme (QIcon::themeName(), in
    // QIcon::themeSearchPaths()), else in the themes it inherits, else the fallback theme and
    // hicolor, else in the folders of loose pictures (QIcon::fallbackSearchPaths(),
    // /usr/share/pixmaps). Only names are looked at; nothing is opened but the index files. Given
    // a queue, what is known so far: empty while the name is being looked for.
    QStringList files(const QString& name);
    // The icon an entry's Icon= names: a file when it is an absolute path, else a name looked up
    // in the themes. Null when nothing readable is found.
    QIcon icon(const QString& nameOrPath);
    // A folder's icon: the themes' folder, else the toolkit's own. One icon, shared by every
    // caller until the themes change, so a row of folders holds one set of pixmaps.
    QIcon folderIcon();

    // Where what is looked up by name reads the disk (null: on the asking thread), for those that
    // read what names an icon (an entry, a file's type) before asking for it.
    WorkQueue* queue() const { return reader_; }
    // The round of checks now: what was looked at on the queue in an earlier round is looked at
    // again when next asked for. A round starts with its first look-up.
    quint64 round();

Q_SIGNALS:
    // Themes asked about were read, or the desktop named another theme: an icon looked up before
    // may be found otherwise now. Once per turn of the event loop.
    void changed();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Theme {
        // The icon files of its folders by file name, each in the folders' order.
        QHash<QString, QStringList> files;
        QStringList inherits;
        // When the theme's own folder in each search path last changed.
        QList<QDateTime> stamps;
        // The round it was last found as read in (given a queue).
        quint64 checked = 0;
    };
    // The loose pictures of a name, as last looked for.
    struct Loose {
        QStringList files;
        quint64 checked = 0;
    };
    static Theme read(const QString& name, const QStringList& bases);
    // The theme as read, or as last read while it is read again; null while it is first read.
    const Theme* theme(const QString& name, const QStringList& bases);
    // What the desktop names: the theme, the fallback theme and the search paths.
    static QString naming();
    // The loose pictures of `bare` (a name without its extension) in `folders`.
    static QStringList looseFiles(const QString& bare, const QStringList& folders);
    // Given a queue: as last looked for, looking again there once that was in an earlier round.
    QStringList loose(const QString& bare);
    void announce();
    void announceDecoded();
    // The queue did some work: memory is given back after the quiet spell that follows.
    void noteQueueWork();

    WorkQueue* reader_;
    Scheduler* scheduler_;
    ScheduledTask decodedAnnouncement_;
    std::function<void()> returnFreedMemory_;
    ScheduledTask memoryReturn_;
    // By search paths and name.
    QHash<QString, Theme> themes_;
    QSet<QString> reading_;
    // By folders and name.
    QHash<QString, Loose> loose_;
    QSet<QString> probing_;
    quint64 round_ = 1;
    ScheduledTask roundEnd_;
    QString naming_;
    bool announcing_ = false;
    // The folder icon, for the naming it was found under; dropped when a theme is read.
    std::optional<QIcon> folderIcon_;
    QString folderNaming_;
    ResultPort results_;
    std::shared_ptr<IconDecoding> decoding_;
};

} // namespace vantrel
