#pragma once

#include "control-center/HomePageContext.h"
#include "control-center/ThumbnailCache.h"
#include "kit/VantrelTextEditor.h"
#include "modules/VantrelNote.h"

#include <QFont>
#include <QList>
#include <QStringList>
#include <QUrl>
#include <QWidget>
#include <array>
#include <type_traits>

class QAbstractButton;
class QPlainTextEdit;
class QStackedLayout;
class QVBoxLayout;

namespace vantrel {

class HomeActions;
class VantrelButton;
class VantrelLabel;
class VantrelSegmentedControl;

// The home page's workspace card content: a small notes editor over the notes store and a grid
// of the screenshots on the file shelf, one at a time by a segmented control. It keeps no copy of
// a note or a file: every edit goes to the notes store at once, and what it shows is read again
// whenever a store changes.
class HomeWorkspace final : public QWidget {
    Q_OBJECT
public:
    enum class Mode { notes, screenshots };

    static constexpr int kNoteRows = 5;
    static constexpr int kGridItems = 6;
    static constexpr double kNoteListWidth = 178;
    static constexpr double kContentHeight = 318;
    static constexpr double kThumbnailHeight = 116;
    static constexpr double kGridMinimumColumn = 150;
    static constexpr double kGridSpacing = 12;

    HomeWorkspace(const HomePageContext& context, HomeActions& actions, QWidget* parent = nullptr);

    Mode mode() const { return mode_; }
    void setMode(Mode mode);

    // The shelf's image files by extension, in the shelf's order.
    static QList<QUrl> imageItems(const QList<QUrl>& items);
    // The editor's title: the selected note's, else "Quick note".
    QString selectedNoteTitle() const;
    // How many columns of at least 150 points, 12 apart, fit in `width`.
    static int gridColumns(double width);
    // A file's name without its extension.
    static QString displayName(const QUrl& url);
    // A note's body as its row shows it: its lines wrapped in `width`, at most two, the second
    // ending in "…" when the body goes on past it.
    static QStringList previewLines(const QString& body, const QFont& font, double width);
    // How much of a body previewLines reads at most in `width`.
    static qsizetype previewReach(double width);

    // The pieces, for tests.
    VantrelSegmentedControl* modeControl() const { return modeControl_; }
    VantrelButton* actionButton() const { return action_; }
    QList<QAbstractButton*> noteRows() const;
    QPlainTextEdit* editor() const { return editor_; }
    VantrelLabel* titleLabel() const { return title_; }
    // "Saved locally", or "Not saved" while the notes' last save failed.
    VantrelLabel* saveStateLabel() const { return saveState_; }
    QList<QAbstractButton*> gridItems() const;
    QWidget* screenshotsEmptyState() const { return emptyShots_; }
    ThumbnailCache& thumbnails() { return thumbnails_; }

    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override;
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    bool event(QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void applyScheme();
    void refreshNotes();
    // One note's text changed and the list kept its notes and order: its row and, when it is the
    // one edited elsewhere, the editor follow it.
    void showEditedNote(const QUuid& id);
    void showSaveState();
    void rebuildGrid();
    void layoutGrid();
    void editorEdited();

    HomePageContext context_;
    HomeActions& actions_;
    Mode mode_ = Mode::notes;
    ThumbnailCache thumbnails_;

    QWidget* header_;
    VantrelSegmentedControl* modeControl_;
    VantrelButton* action_;
    QWidget* notesPane_;
    QWidget* noteList_;
    QVBoxLayout* noteRows_;
    VantrelLabel* title_;
    VantrelLabel* saveState_;
    VantrelTextEditor* editor_;
    bool showingStore_ = false;
    bool editing_ = false;
    QWidget* shotsPane_;
    QWidget* grid_;
    QWidget* emptyShots_;
    QList<QAbstractButton*> gridItems_;
};

QString rawValue(HomeWorkspace::Mode mode);
constexpr auto allCases(std::type_identity<HomeWorkspace::Mode>) {
    return std::array{HomeWorkspace::Mode::notes, HomeWorkspace::Mode::screenshots};
}

} // namespace vantrel
