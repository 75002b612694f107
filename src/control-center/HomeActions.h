#pragma once

#include "control-center/HomePageContext.h"
#include "control-center/HomeUtility.h"
#include "kit/Navigation.h"

#include <QList>
#include <QObject>
#include <QString>
#include <QUrl>
#include <QUuid>
#include <array>
#include <functional>
#include <optional>

namespace vantrel {

struct ClipboardEntry;

// What every control of the home page and of its quick-controls panel does: which haptic plays,
// which published value changes and which store operation runs, in that order. The views bind
// their buttons to these and keep nothing else. The open panel section is the one piece of
// view-local state, so that Escape can be answered here.
class HomeActions : public QObject {
    Q_OBJECT
public:
    struct Launcher {
        const char* title;
        const char* symbol;
        VantrelSection section;
    };
    // The launcher rows, in their order on the page.
    static constexpr std::array<Launcher, 6> kLaunchers{{
        {"Notch Panel", "capsule.tophalf.filled", VantrelSection::notch},
        {"Menu Bar", "menubar.rectangle", VantrelSection::menuBar},
        {"Trackpad", "hand.tap", VantrelSection::feedback},
        {"Notifications", "bell", VantrelSection::notifications},
        {"Appearance", "circle.lefthalf.filled", VantrelSection::appearance},
        {"Permissions", "checkmark.shield", VantrelSection::permissions},
    }};
    // The countdown lengths the "Minutes" picker offers.
    static constexpr std::array<qint64, 5> kCountdownChoices{1, 3, 5, 10, 25};

    explicit HomeActions(const HomePageContext& context, QObject* parent = nullptr);

    const HomePageContext& context() const { return context_; }

    // The quick-controls panel.
    const std::optional<HomeUtility>& presentedUtility() const { return presentedUtility_; }
    // A live row or an overview metric: the controls haptic, then the panel on `utility`.
    void presentUtility(HomeUtility utility);
    // The panel switching its own section: no haptic.
    void selectUtility(HomeUtility utility);
    // The panel's close button, the backdrop, Escape inside the panel, the page's exit command.
    void closeUtility();
    // Escape on the page: closes an open panel and counts as handled; otherwise it is not handled
    // and travels on.
    bool handleEscape();

    // Navigation and commands.
    void openSection(VantrelSection section); // a launcher row
    void openPermissions();                   // "Open Permissions"
    void showCommandPalette();                // "Quick actions"
    void openCleaningCanvas();                // "Open Cleaning Canvas"

    // The notes workspace.
    QString editorText() const;
    // Typing with no note selected starts a note first, so nothing typed is lost. False when the
    // notes kept none of it (an empty text with no note to hold it).
    bool setEditorText(const QString& text);
    void selectNote(const QUuid& id);
    void addNote();
    void openScreenshot(const QUrl& url);

    // The panel's Timer section; the running flag is read at the moment of the press.
    void toggleFocus();
    void resetFocus();
    void decreaseFocusDuration();
    void increaseFocusDuration();
    void toggleStopwatch();
    void resetStopwatch();
    void recordLap();
    void toggleCountdown();
    void resetCountdown();
    void chooseCountdownMinutes(qint64 minutes);

    // The panel's Clipboard section: the entry's whole text back on the clipboard, unseen by the
    // history, then the controls haptic.
    void copyEntry(const ClipboardEntry& entry);

    // The panel's File Shelf section. "Add Files…" asks the open panel for several files and
    // folders and shelves them in the panel's order; a cancel changes nothing.
    void addFile();
    void openFile(const QUrl& url);
    // Drops the shelf's reference; the file itself stays where it is.
    void removeFile(const QUrl& url);

Q_SIGNALS:
    void presentedUtilityChanged();

private:
    void setPresentedUtility(std::optional<HomeUtility> utility);

    HomePageContext context_;
    std::optional<HomeUtility> presentedUtility_;
};

} // namespace vantrel
