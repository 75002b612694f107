#pragma once

#include <QWidget>
#include <optional>

namespace vantrel {

class VantrelPreferences;

// Where SectionTitle puts its pieces, for a given width.
struct SectionTitleLayout {
    QRectF leadingCapsule;  // 24 by 3, filled with the accent
    QRectF wordmark;        // "VANTREL CONTROL"
    QRectF trailingCapsule; // 24 by 3
    QRectF title;
    std::optional<QRectF> subtitle; // absent when the subtitle is absent or empty
    double height = 0;
};

// The header of a page: the accent wordmark row, the page title, and an optional subtitle.
class SectionTitle : public QWidget {
    Q_OBJECT
public:
    SectionTitle(VantrelPreferences& preferences, QString title,
                 std::optional<QString> subtitle = std::nullopt, QWidget* parent = nullptr);

    QString title() const { return title_; }
    std::optional<QString> subtitle() const { return subtitle_; }
    void setTitle(const QString& title);
    void setSubtitle(const std::optional<QString>& subtitle);

    // The wordmark's text.
    static QString wordmarkText() { return QStringLiteral("VANTREL CONTROL"); }
    // The three fonts, with their tracking: overline 1.75, page title −1.15, subtitle none.
    static QFont wordmarkFont();
    static QFont titleFont();
    static QFont subtitleFont();

    static SectionTitleLayout layout(double width, const QString& title,
                                     const std::optional<QString>& subtitle);

    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override;
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void relayout();

    VantrelPreferences& preferences_;
    QString title_;
    std::optional<QString> subtitle_;
};

} // namespace vantrel
