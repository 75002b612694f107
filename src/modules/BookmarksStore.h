#pragma once

#include "modules/VantrelBookmark.h"

#include "core/StoreFile.h"

#include <QIcon>
#include <QObject>
#include <QString>
#include <optional>
#include <vector>

class QWidget;

namespace vantrel {

class LocalPersistence;
class OpenPanel;
class Workspace;

// The user's shortcuts to websites and applications, kept in "bookmarks.json" in the order
// shown and saved after every change.
class BookmarksStore : public QObject {
    Q_OBJECT

public:
    static inline const QString kFileName = QStringLiteral("bookmarks.json");
    // The status of a fresh store, and again once the list has been emptied.
    static inline const QString kEmptyHint =
        QStringLiteral("Add a website or application for one-click access.");
    // The status after a change that could not be written to disk.
    static inline const QString kSaveFailed = QStringLiteral("Could not save bookmarks.");
    // The status after a bookmark was added and saved.
    static inline const QString kWebsiteSaved = QStringLiteral("Website saved.");
    static inline const QString kApplicationSaved = QStringLiteral("Application saved.");

    BookmarksStore(LocalPersistence& persistence, Workspace& workspace, OpenPanel& openPanel,
                   QObject* parent = nullptr);
    // Writes what is not saved yet.
    ~BookmarksStore() override;

    const std::vector<VantrelBookmark>& items() const { return items_; }
    const QString& statusMessage() const { return statusMessage_; }

    // Adds an http or https website; false, with the reason in the status, when it is refused.
    bool addWebsite(const QString& title, const QString& address);
    // Lets the user pick an installed application and adds it.
    // `over`: the window the chooser opens over, none: a window of its own.
    void chooseApplication(QWidget* over = nullptr);
    // Opens a website in the default browser or launches an application, after checking the
    // stored target again.
    void open(const VantrelBookmark& bookmark);
    void move(const VantrelBookmark& bookmark, int offset);
    void remove(const VantrelBookmark& bookmark);
    // The application's icon; none for a website, whose view draws its own symbol.
    std::optional<QIcon> icon(const VantrelBookmark& bookmark) const;

    // Whether the list is not (yet) all in its file: see StoreFile::unsaved().
    bool unsaved() const { return file_.unsaved(); }
    // Whether the list is in its file: what views say of it.
    const SaveState& saveState() const { return file_.state(); }

Q_SIGNALS:
    void itemsChanged();
    void statusMessageChanged();
    void unsavedChanged(bool unsaved);
    void saveStateChanged();
    // The desktop found an icon it was looking up, or found one otherwise: icons shown are asked
    // for again.
    void iconsChanged();

private:
    // False, with the status saying so, when the list could not be saved.
    bool setItems(std::vector<VantrelBookmark> items);
    void setStatusMessage(const QString& message);
    bool persist();

    LocalPersistence& persistence_;
    Workspace& workspace_;
    OpenPanel& openPanel_;
    std::vector<VantrelBookmark> items_;
    QString statusMessage_;
    StoreFile file_;
};

} // namespace vantrel
