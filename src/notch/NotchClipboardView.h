#pragma once

#include "kit/FocusHandOff.h"
#include "modules/ClipboardEntry.h"
#include "notch/NotchStateView.h"

#include <QColor>
#include <QHash>
#include <QList>
#include <QPointer>
#include <QStringList>
#include <QWidget>
#include <map>
#include <optional>
#include <vector>

class QAbstractButton;
class QFont;
class QLineEdit;
class QScrollArea;

namespace vantrel {

class FileNotices;

class ClipboardStore;
class MenuPresenter;

// The clipboard tab of the open notch: a search field with "Clear" over the history, one row per
// entry with its pin, copy and menu buttons. Everything shown comes from the store and every
// control is one store operation. Rows are built only when they scroll into view, so a full
// history of long texts costs no more to draw than the rows on screen.
class NotchClipboardView final : public QWidget {
    Q_OBJECT
public:
    static constexpr double kSpacing = 10;
    static constexpr double kSearchHeight = 32;
    static constexpr double kSearchPadding = 12;
    static constexpr double kSearchRowSpacing = 8;
    static constexpr double kRowSpacing = 7;
    static constexpr double kRowPadding = 10;
    static constexpr double kRowRadius = 12;
    static constexpr double kRowItemSpacing = 10;
    static constexpr double kKindGlyphWidth = 22;
    static constexpr double kControlSide = 24;
    static constexpr int kMaximumTextLines = 2;
    static constexpr double kClearInset = 7;

    NotchClipboardView(ClipboardStore& store, QColor accent, MenuPresenter& menus, QWidget* parent = nullptr);
    ~NotchClipboardView() override;

    // The view's pieces in a view of `size`; `clearWidth` is the width of the "Clear" button,
    // `statusWidth` that of "Not saved" beside it (0 while the history is saved).
    struct Layout {
        QRectF searchField;
        QRectF status; // empty unless shown
        QRectF clearButton;
        QRectF list;
    };
    static Layout layout(const QSizeF& size, double clearWidth, double statusWidth = 0);

    // Where the tab learns that the history could not be saved: then "Not saved" stands between
    // the search field and "Clear". None tells nothing.
    void setFileNotices(const FileNotices* notices);
    bool showsNotSaved() const;

    // The pieces of one row occupying `row`.
    struct RowLayout {
        QRectF kindGlyph;
        QRectF text;
        QRectF pinButton;
        QRectF copyButton;
        QRectF menuButton;
    };
    static RowLayout rowLayout(const QRectF& row);
    // The height of a row whose text takes `lines` lines of `lineHeight`.
    static double rowHeight(int lines, double lineHeight);
    // The width a row of `rowWidth` leaves its text.
    static double textWidth(double rowWidth);

    // An entry's text as a row shows it: every line break made a space, broken into at most two
    // lines of `width`, the last one cut with an ellipsis when the text goes on. Only the start of
    // a long text is looked at, as much as two lines can ever hold.
    static QStringList textLines(const QString& text, const QFont& font, double width);
    static QFont textFont();
    static QFont clearFont();
    // The width of "Clear": its label with room on each side for the focus ring.
    static double clearWidth();

    // What stands in for the list when no row is shown: none while `filtered` has entries.
    struct EmptyState {
        QString symbol;
        QString title;
        QString message;
        bool operator==(const EmptyState&) const = default;
    };
    static std::optional<EmptyState> emptyState(qsizetype filtered, qsizetype total);

    // The row menu's items, in order; a divider sets the last one apart.
    static QStringList menuItems();

    QLineEdit* searchField() const { return search_; }
    QAbstractButton* clearButton() const { return clear_; }
    QScrollArea* scrollArea() const { return scroll_; }
    // The empty state on show; null while rows are.
    NotchStateView* stateView() const { return state_; }
    // The entries listed, in order.
    const QList<ClipboardEntry>& listedEntries() const { return entries_; }
    // The row of the index-th listed entry, scrolled into view (and so built); null past the end.
    QWidget* row(qsizetype index);
    // How many rows exist right now: only those that have come into view.
    int builtRowCount() const { return int(rows_.size()); }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    class Row;
    double statusWidth() const;
    const FileNotices* notices_ = nullptr;

    // The row control that held the focus while the rows are rebuilt.
    struct FocusedRow {
        QUuid id;
        qsizetype index = 0;
        int control = 0;
        FocusHandOff::Held held;
    };

    void reload();
    void restoreFocus(const FocusedRow& focused);
    void syncSearchField();
    void relayout();
    void showSaveState();
    void layoutRows();
    void buildVisibleRows();
    void clearRows();
    void updateStateView();
    void applyColors();
    const QStringList& linesOf(const ClipboardEntry& entry, double width);
    void presentMenu(QWidget* anchor, const ClipboardEntry& entry);

    ClipboardStore& store_;
    QColor accent_;
    MenuPresenter& menus_;

    QLineEdit* search_;
    QAbstractButton* clear_;
    QScrollArea* scroll_;
    QWidget* canvas_;
    QPointer<NotchStateView> state_;
    std::optional<EmptyState> shownState_;

    QList<ClipboardEntry> entries_;
    int laidOutWidth_ = -1;
    std::vector<double> rowTops_;
    std::vector<double> rowHeights_;
    std::map<qsizetype, Row*> rows_;

    // The lines each entry's row shows, kept while the text and the width stay the same.
    struct CachedLines {
        const QChar* data = nullptr;
        qsizetype size = 0;
        double width = 0;
        QStringList lines;
    };
    QHash<QUuid, CachedLines> lineCache_;
};

} // namespace vantrel
