#pragma once

#include <QWidget>

namespace vantrel {

// Where a hazard badge puts its warning tile and its text.
struct HazardBadgeLayout {
    QRectF tile; // 18 by 18
    QRectF text;
    QSizeF size;

    static constexpr double kTile = 18;
    static constexpr double kTileRadius = 5;
    static constexpr double kSpacing = 6;
    static constexpr double kPaddingH = 8;
    static constexpr double kPaddingV = 4.5;
    static constexpr double kStroke = 0.75;

    static HazardBadgeLayout of(const QSizeF& text);
};

// A small red capsule with a warning triangle and a short text.
class HazardBadge : public QWidget {
    Q_OBJECT
public:
    explicit HazardBadge(const QString& text, QWidget* parent = nullptr);

    QString text() const { return text_; }
    HazardBadgeLayout badgeLayout() const;

    // The system red of the appearance.
    static QColor red(const QWidget* widget);
    static QFont font(); // 9.5, bold

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString text_;
};

} // namespace vantrel
