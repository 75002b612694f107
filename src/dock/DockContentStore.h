#pragma once

#include "core/StoreFile.h"
#include "dock/DockShortcut.h"

#include <QIcon>
#include <QObject>
#include <QSet>
#include <QString>
#include <QUrl>
#include <optional>
#include <vector>

class QWidget;

namespace vantrel {

class LocalPersistence;
class OpenPanel;
class RunningApplications;
class Workspace;

// The replacement Dock's pinned applications, folders, websites and separators, in the user's
// order, kept in "dock-shortcuts.json" and saved after every change, with one status line for
// the settings page.
class DockContentStore : public QObject {
    Q_OBJECT
public:
    static inline const QString kFileName = QStringLiteral("dock-shortcuts.json");
    static constexpr const char* kEmptyMessage = "Add apps, folders, or websites to build your Dock.";
    // The most items a file gives the Dock; the file keeps any others.
    static constexpr std::size_t kShownItemLimit = 300;

    // `running` finds a pinned application that already runs, so opening it brings it forward.
    DockContentStore(LocalPersistence& persistence, Workspace& workspace, OpenPanel& openPanel,
                     RunningApplications& running, QObject* parent = nullptr);
    // Writes what is not saved yet.
    ~DockContentStore() override;

    // The items the Dock shows, in order; a file of more than kShownItemLimit shows its first ones,
    // and an item added at the limit takes the place of the last one shown before it.
    const std::vector<DockShortcut>& items() const { return items_; }
    const QString& statusMessage() const { return statusMessage_; }

    // Pins the application entry at `path` unless an application with the same standardised path
    // is pinned already. True when it was added.
    bool addApplication(const QString& path, bool updateStatus);
    // Lets the user pick several applications, in a panel over `over` when given, and pins the
    // new ones.
    void chooseApplications(QWidget* over = nullptr);
    // Lets the user pick one folder and pins it unless that exact path is pinned already.
    void chooseFolder();
    // Pins an http or https address ("https://" is assumed without a scheme). False, with the
    // reason in the status, when the address is refused or pinned already.
    bool addWebsite(const QString& title, const QString& address);
    // An application comes forward when it runs, else starts; a folder opens in the file
    // manager; a website in the default browser; a separator does nothing.
    void open(const DockShortcut& item);
    // Drag and drop: `item` takes the place of `target`. False when nothing moved.
    bool move(const DockShortcut& item, const DockShortcut& target);
    // Moves `item` by `offset` places, stopping at either end.
    void move(const DockShortcut& item, int offset);
    // `none` removes the colour tag.
    void setFolderColor(DockFolderColor color, const DockShortcut& item);
    void remove(const DockShortcut& item);
    // The file icon of an application or an untagged folder; none for a website, a separator or
    // a tagged folder, which the tile draws itself.
    std::optional<QIcon> icon(const DockShortcut& item) const;
    // Writes the list to the file.
    void persist();
    // Whether the list is not (yet) all in its file: see StoreFile::unsaved().
    bool unsaved() const { return file_.unsaved(); }
    // Whether the list is in its file: what views say of it.
    const SaveState& saveState() const { return file_.state(); }

Q_SIGNALS:
    void itemsChanged();
    void statusMessageChanged();
    void unsavedChanged(bool unsaved);
    void saveStateChanged();

private:
    // Publishes and saves; false when the save failed (the status then says so).
    bool setItems(std::vector<DockShortcut> items);
    void setStatusMessage(const QString& message);
    bool append(DockShortcut item);
    // The shown items, then the others the file holds.
    std::vector<DockShortcut> allItems() const;

    LocalPersistence& persistence_;
    Workspace& workspace_;
    OpenPanel& openPanel_;
    RunningApplications& running_;
    std::vector<DockShortcut> items_;
    // What the file holds beyond the shown items, written back after them untouched.
    std::vector<DockShortcut> unshown_;
    // The items added in this session; at the limit, they keep their places before the others.
    QSet<QUuid> added_;
    QString statusMessage_;
    bool lastSaveFailed_ = false;
    StoreFile file_;
};

} // namespace vantrel
