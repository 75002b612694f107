#pragma once

#include "services/VantrelCommand.h"

#include <QWidget>
#include <functional>
#include <vector>

class QAbstractButton;
class QLineEdit;
class QScrollArea;
class QVBoxLayout;

namespace vantrel {

class CommandPaletteCommands;

// The palette's content: a header with the focused search field, the commands that match what is
// typed, one row each, and a footer. A click on a row runs its command and then dismisses the
// palette; Escape dismisses it. Return and the arrow keys choose nothing: rows are chosen with the
// pointer.
class CommandPaletteView : public QWidget {
    Q_OBJECT
public:
    static constexpr int kWidth = 610;
    static constexpr int kHeight = 410;
    static constexpr double kCornerRadius = 23;

    // `dismiss` closes the palette; it hears whether a command ran first (false: Escape).
    CommandPaletteView(CommandPaletteCommands& commands, std::function<void(bool afterCommand)> dismiss,
                       QWidget* parent = nullptr);

    // Every command in its fixed order, titled by the current state.
    static std::vector<VantrelCommand> commands(CommandPaletteCommands& commands);
    // The commands whose lowercased title, subtitle and keywords (joined by blanks) contain the
    // lowercased query; all of them for an empty query. Order kept; ids are not searched.
    static std::vector<VantrelCommand> filtered(std::vector<VantrelCommand> commands, const QString& query);

    QString query() const;
    void setQuery(const QString& query);
    QLineEdit* searchField() const { return search_; }
    // The rows shown now, in order.
    const std::vector<QAbstractButton*>& rows() const { return rows_; }
    // Rebuilds the rows from the current state and query.
    void refresh();
    // Brings the rows in line with the current state: the same rows retitled where the same
    // commands still match, else rebuilt.
    void followState();

    // Layout, in the view's coordinates.
    QRectF cardRect() const;
    QRectF headerRect() const;
    QRectF footerRect() const;

    // Where a row of `size` draws its parts, for a title and a subtitle of those line heights.
    struct RowLayout {
        QRectF tile;
        QRectF glyph;
        QRectF returnMark;
        QRectF title;
        QRectF subtitle;
    };
    static RowLayout rowLayout(QSizeF size, double titleHeight, double subtitleHeight);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void layoutChildren();

    CommandPaletteCommands& commands_;
    std::function<void(bool afterCommand)> dismiss_;
    QLineEdit* search_;
    QScrollArea* scroll_;
    QWidget* list_;
    QVBoxLayout* listLayout_;
    std::vector<QAbstractButton*> rows_;
};

} // namespace vantrel
