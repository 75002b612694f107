#pragma once

#include "kit/VantrelTheme.h"

#include <QLabel>
#include <utility>
#include <vector>

class QTextLayout;

namespace vantrel {

// Plain text in one of the theme's adaptive colours, resolved for the appearance it is drawn in,
// so it follows a change of appearance without being told. Its text is also its accessible name;
// a heading level makes assistive technologies announce it as a heading.
class VantrelLabel : public QLabel {
    Q_OBJECT
public:
    VantrelLabel(const QString& text, const QFont& font, AdaptiveColor color, QWidget* parent = nullptr);

    // The colour at `opacity`.
    void setColor(AdaptiveColor color, double opacity = 1.0);
    QColor resolvedColor() const;
    void setText(const QString& text);
    // 1 for a page's title, 2 for a card's; 0 for none.
    void setHeadingLevel(int level);

    // Draws the digits of a one-line label in cells of one width (TabularFigures), so that a
    // changing figure keeps its width.
    void setTabularDigits(bool on);
    bool tabularDigits() const { return tabularDigits_; }

    // Cuts the text of a one-line label with "…" where it is wider than the label, rather than
    // at the label's edge, mid-letter.
    void setElided(bool on);
    bool elided() const { return elided_; }

    // Extra room between the lines of a wrapping label, in points (0: the font's own).
    void setLineSpacing(double spacing);
    double lineSpacing() const { return lineSpacing_; }
    // Where each line of the text sits in the label, wrapped in its contents' width.
    QList<QRectF> lineRects() const;

    // A wrapping label asks for its text on one line and gives way down to a few words' width,
    // so it wraps only where its row is too narrow.
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;
    int heightForWidth(int width) const override;

    // The primary text colour: white in the dark appearance, black in the light one.
    static AdaptiveColor primary();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    // Lays the text out in `width` with the extra line spacing; returns the height it takes.
    double layOut(QTextLayout& layout, double width) const;
    int measuredHeightForWidth(int width) const;

    // Heights already found for the text, font and spacing they were found with: layouts ask a
    // wrapping label for the same width several times while a window is built, and each answer
    // lays the whole text out anew.
    struct Heights {
        QString text;
        QFont font;
        double lineSpacing = -1;
        QMargins margins;
        int margin = 0, indent = 0;
        bool wordWrap = false;
        std::vector<std::pair<int, int>> byWidth;
    };
    mutable Heights heights_;

    AdaptiveColor color_;
    double opacity_ = 1.0;
    double lineSpacing_ = 0;
    bool tabularDigits_ = false;
    bool elided_ = false;
};

// Makes assistive technologies announce `widget` as a heading of `level` (at most 6). Called
// before the widget is first asked about; the property "vantrelHeadingLevel" keeps the level.
void markAccessibleHeading(QWidget* widget, int level);

} // namespace vantrel
