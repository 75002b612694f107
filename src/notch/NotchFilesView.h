#pragma once

#include <QAbstractButton>
#include <QColor>
#include <QPointer>
#include <QRectF>
#include <QScrollArea>
#include <QStringList>
#include <QUrl>
#include <QWidget>
#include <vector>

class QVariantAnimation;

namespace vantrel {

class FileShelfStore;
class MenuPresenter;
class VantrelHaptics;
class VantrelMotion;

// The files tab of the open notch: the temporary file shelf as a grid of tiles that open,
// reveal, share or leave the shelf, and a drop card while the shelf is empty.
class NotchFilesView final : public QWidget {
    Q_OBJECT
public:
    static constexpr double kSpacing = 10;
    static constexpr double kGridSpacing = 9;
    static constexpr double kTileMinimumWidth = 110;
    static constexpr double kTileMinimumHeight = 92;
    static constexpr double kTileRadius = 14;
    static constexpr double kIconSide = 39;
    static constexpr double kTileSpacing = 8;
    static constexpr double kCardMinimumHeight = 126;
    static constexpr double kCardRadius = 16;
    static constexpr double kDropAnimationSeconds = 0.16;

    // The tile rectangles of `count` files in a grid `width` wide: as many columns of at least
    // 110 as fit, sharing the width.
    static std::vector<QRectF> tileRects(double width, int count, double tileHeight = kTileMinimumHeight);
    // The clock badge over a tile's icon: the 11-point symbol padded by 3 on a circle, at the
    // icon's bottom-trailing corner.
    static QRectF badgeRect(const QRectF& icon);
    // The header's subtitle.
    static QString subtitle(const std::optional<QString>& shareStatus);
    // The texts of the drop card.
    static QString cardTitle(bool isDropTarget);
    // The items of a tile's menu; an empty item is the divider.
    static QStringList tileMenuItems();

    // How the drop card looks at `progress` of the way from resting (0) to targeted (1).
    struct CardLook {
        QColor fill;
        QColor border;
        QColor glyph;
    };
    static CardLook cardLook(double progress, const QColor& accent, const QColor& secondary);

    NotchFilesView(FileShelfStore& store, MenuPresenter& menus, QColor accent, bool isDropTarget,
                   VantrelHaptics* haptics = nullptr, VantrelMotion* motion = nullptr,
                   QWidget* parent = nullptr);

    bool isDropTarget() const { return isDropTarget_; }
    void setDropTarget(bool targeted);

    // The header buttons (null while the shelf is empty), the tiles in shelf order, the alert's
    // confirmation (null while no notice is up).
    QAbstractButton* airDropAllButton() const { return airDropAll_; }
    QAbstractButton* clearButton() const { return clear_; }
    std::vector<QWidget*> tiles() const;
    QAbstractButton* noticeButton() const { return noticeButton_; }
    QVariantAnimation* dropAnimation() const { return dropAnimation_; }
    double dropProgress() const { return dropProgress_; }
    // Whether the drop card shows (only on an empty shelf).
    bool showsDropCard() const;
    // The card's rectangle in this view.
    QRectF cardRect() const;
    // The header's top area, the shelf area under it.
    QRectF shelfArea() const;

    // A tile's menu and its choice.
    void showTileMenu(int index);
    void confirmNotice();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void rebuild();
    void place();
    void updateNotice();
    void holdFocusInNotice();
    void setDropProgress(double progress);

    FileShelfStore& store_;
    MenuPresenter& menus_;
    QColor accent_;
    VantrelHaptics* haptics_;
    VantrelMotion* motion_;
    bool isDropTarget_;
    double dropProgress_;
    QVariantAnimation* dropAnimation_;
    QPointer<QAbstractButton> airDropAll_;
    QPointer<QAbstractButton> clear_;
    QPointer<QScrollArea> grid_;
    std::vector<QPointer<QWidget>> tiles_;
    QPointer<QWidget> notice_;
    QPointer<QAbstractButton> noticeButton_;
};

} // namespace vantrel
