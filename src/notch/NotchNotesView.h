#pragma once

#include "kit/VantrelTextEditor.h"
#include "modules/VantrelNote.h"
#include "notch/NotchStateView.h"

#include <QColor>
#include <QList>
#include <QPointer>
#include <QWidget>
#include <functional>
#include <vector>

class QAbstractButton;
class QFont;
class QLineEdit;
class QPlainTextEdit;

namespace vantrel {

class FileNotices;

class Clock;
class NotesStore;
class NotchSurfaceButton;
class VantrelHaptics;

// The notes tab of the open notch: a short list of notes beside an editor of the selected one,
// with its tools and its checklist, or an offer to write the first note. Every change is one
// notes-store operation; the view shows what the store publishes. Below 170 points of height it
// keeps only what fits: one row, no search, no text tools, no checklist row.
class NotchNotesView final : public QWidget {
    Q_OBJECT
public:
    static constexpr double kCompactBelowHeight = 170;
    static constexpr double kColumnSpacing = 10;
    static constexpr double kControlSide = 24;
    static constexpr double kChecklistSpacing = 8;

    // `clock` tells how long ago each listed note was changed; `haptics` plays on "New Note".
    NotchNotesView(NotesStore& store, QColor accent, const Clock& clock, VantrelHaptics* haptics = nullptr,
                   QWidget* parent = nullptr);
    ~NotchNotesView() override;

    static bool isCompact(double height) { return height < kCompactBelowHeight; }
    // Where the tab learns that the notes could not be saved: then "Not saved" stands in the
    // editor's toolbar. None tells nothing.
    void setFileNotices(const FileNotices* notices);
    bool showsNotSaved() const;
    // How many rows the list shows at most.
    static int maximumRows(bool compact) { return compact ? 1 : 5; }

    // What the workspace holds, for the layout.
    struct Content {
        int rows = 0;                // rows listed
        bool showsNoMatches = false; // "No matching notes" under the header
        QStringList checklistTexts;  // the selected note's checklist, shown only when not compact
    };
    // Where every piece of the workspace sits in a view of `size`.
    struct Layout {
        bool compact = false;
        QRectF listColumn;
        QRectF editorColumn;
        QRectF notesTitle;
        QRectF pinButton;
        QRectF newButton;
        QRectF searchField; // empty when compact
        std::vector<QRectF> rows;
        QRectF noMatches;     // empty unless shown
        QRectF toolsLabel;    // empty when compact
        QRectF cleanUpButton; // empty when compact
        QRectF bulletsButton; // empty when compact
        QRectF checklistButton;
        QRectF deleteButton;
        QRectF editorCard;
        QRectF editor;       // the text inside the card's padding
        QRectF checklistRow; // empty when not shown
        std::vector<QRectF> checklistItems;
    };
    static Layout layout(const QSizeF& size, const Content& content);
    static double rowHeight(bool compact);
    // The fonts: the "Notes" header, the search field, a row's title and date, "No matching
    // notes" and the checklist, "On-device tools", and the editor.
    static QFont headerFont();
    static QFont searchFont();
    static QFont rowTitleFont();
    static QFont rowDateFont();
    static QFont smallFont();
    static QFont toolsFont();
    static QFont editorFont();
    static double checklistItemWidth(const QString& text);

    // How long ago `then` was, as a row says it: "now", "5 min", "2 hr", "3 days".
    static QString relativeText(WallTime then, WallTime now);

    // The empty state while the store holds no note; null otherwise.
    NotchStateView* stateView() const { return state_; }
    QAbstractButton* pinButton() const;
    QAbstractButton* newButton() const;
    QLineEdit* searchField() const { return search_; }
    QPlainTextEdit* editor() const { return editor_; }
    QAbstractButton* cleanUpButton() const;
    QAbstractButton* bulletsButton() const;
    QAbstractButton* checklistButton() const;
    QAbstractButton* deleteButton() const;
    // The note rows and checklist buttons shown, in order.
    QList<QAbstractButton*> rowButtons() const;
    QList<QAbstractButton*> checklistButtons() const;
    // The notes the rows stand for, in order.
    const QList<VantrelNote>& listedNotes() const { return listed_; }
    // The current layout of the view.
    Layout currentLayout() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool event(QEvent* event) override;

private:
    void sync();
    // One note's text changed and the list kept its notes and order: its row and, when it was
    // edited elsewhere, the editor follow it.
    void showEditedNote(const QUuid& id);
    void rebuildRows();
    void rebuildChecklist();
    void syncEditor();
    void relayout();
    void applyColors();
    void showSaveState();
    Content content() const;
    const VantrelNote* selectedNote() const;
    NotchSurfaceButton* makeGlyphButton(const QString& help, std::function<QString()> symbol,
                                        std::function<QColor()> color);
    NotchSurfaceButton* makeTextButton(const QString& title);

    NotesStore& store_;
    const FileNotices* notices_ = nullptr;
    QColor accent_;
    const Clock& clock_;
    VantrelHaptics* haptics_;

    QPointer<NotchStateView> state_;
    QWidget* workspace_;
    NotchSurfaceButton* pin_;
    NotchSurfaceButton* new_;
    QLineEdit* search_;
    NotchSurfaceButton* cleanUp_;
    NotchSurfaceButton* bullets_;
    NotchSurfaceButton* checklist_;
    NotchSurfaceButton* delete_;
    VantrelTextEditor* editor_;
    QList<NotchSurfaceButton*> rows_;
    QList<NotchSurfaceButton*> checklistItems_;

    QList<VantrelNote> listed_;
    Layout layout_;
    bool rowsCompact_ = false;
    bool syncingEditor_ = false;
    bool editing_ = false;
};

} // namespace vantrel
