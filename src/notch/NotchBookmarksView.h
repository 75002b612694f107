#pragma once

#include "notch/NotchStateView.h"

#include <QAbstractButton>
#include <QColor>
#include <QLineEdit>
#include <QPixmap>
#include <QPointer>
#include <QRectF>
#include <QScrollArea>
#include <QStringList>
#include <QWidget>
#include <memory>
#include <vector>

namespace vantrel {

class FileNotices;
class VantrelLabel;

class BookmarksStore;
class MenuPresenter;
class VantrelHaptics;

// The bookmarks tab of the open notch: a one-line form that adds a website or an application,
// and a grid of saved bookmarks that open with one click.
class NotchBookmarksView final : public QWidget {
    Q_OBJECT
public:
    static constexpr double kSpacing = 10;
    static constexpr double kFormSpacing = 8;
    static constexpr double kFieldHeight = 32;
    static constexpr double kFieldPadding = 11;
    static constexpr double kGridSpacing = 9;
    static constexpr double kCellMinimumWidth = 145;
    static constexpr double kCellPadding = 10;
    static constexpr double kCellRadius = 12;
    static constexpr double kIconSide = 30;

    // The cells of `count` bookmarks in a grid `width` wide: as many columns of at least 145 as fit.
    static std::vector<QRectF> cellRects(double width, int count, double cellHeight);
    static double cellHeight();
    // The items of a cell's menu; an empty item is the divider.
    static QStringList cellMenuItems();
    // The address field's placeholder, a bare domain that shows the expected form.
    static QString addressPlaceholder();

    struct Layout {
        QRectF nameField;
        QRectF addressField;
        QRectF addSite;
        QRectF addApp;
        QRectF status; // empty unless a status line shows
        QRectF grid;
    };
    // `status`: whether a status line shows between the form and the grid.
    static Layout layout(const QSizeF& size, const QSizeF& addSite, const QSizeF& addApp,
                         bool status = false);
    static constexpr double kStatusHeight = 16;

    NotchBookmarksView(BookmarksStore& store, MenuPresenter& menus, QColor accent,
                       VantrelHaptics* haptics = nullptr, QWidget* parent = nullptr);

    QLineEdit* nameField() const { return name_; }
    QLineEdit* addressField() const { return address_; }
    QAbstractButton* addSiteButton() const { return addSite_; }
    QAbstractButton* addAppButton() const { return addApp_; }
    std::vector<QAbstractButton*> cells() const;
    // Shown over the grid while no bookmark exists; null otherwise.
    NotchStateView* emptyState() const { return empty_; }
    // What the store has to say while bookmarks are shown: that they could not be saved, or why
    // the last entry was refused; hidden while it has nothing to say or the grid is empty.
    VantrelLabel* statusLine() const { return status_; }
    // Where the tab learns that the bookmarks could not be saved; none tells nothing.
    void setFileNotices(const FileNotices* notices);
    Layout currentLayout() const;

    // "Add Site" and Return in the address field: the fields are cleared only when the site was
    // saved.
    void addWebsite();
    void showCellMenu(int index);
    // "Add App": the store's chooser, after which the panel and "Add App" have the keys again.
    void addApplication();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void rebuild();
    void refreshStatus();
    void refreshIcons();
    void place();

    BookmarksStore& store_;
    MenuPresenter& menus_;
    QColor accent_;
    VantrelHaptics* haptics_;
    QPointer<QLineEdit> name_;
    QPointer<QLineEdit> address_;
    QPointer<QAbstractButton> addSite_;
    QPointer<QAbstractButton> addApp_;
    QPointer<QScrollArea> grid_;
    std::vector<QPointer<QAbstractButton>> cells_;
    // The bookmark of each cell, in the same order.
    std::vector<QUuid> cellIds_;
    // The icon each cell draws, taken again when the desktop finds icons.
    std::vector<std::shared_ptr<QPixmap>> cellIcons_;
    QPointer<NotchStateView> empty_;
    VantrelLabel* status_ = nullptr;
    const FileNotices* notices_ = nullptr;
};

} // namespace vantrel
