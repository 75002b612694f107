#include "notch/NotchBookmarksView.h"

#include "core/FileNotices.h"
#include "kit/FocusHandOff.h"
#include "kit/GlyphCatalogue.h"
#include "kit/KitPaint.h"
#include "kit/VantrelButton.h"
#include "kit/VantrelLabel.h"
#include "kit/VantrelPanel.h"
#include "kit/VantrelPillButtonStyle.h"
#include "kit/VantrelScrollIndicator.h"
#include "kit/VantrelTheme.h"
#include "kit/VantrelType.h"
#include "modules/BookmarksStore.h"
#include "notch/NotchStateView.h"
#include "notch/NotchSurfaceButton.h"
#include "platform/MenuPresenter.h"

#include <QFontMetricsF>
#include <QLineEdit>
#include <QPainter>
#include <QScrollArea>
#include <algorithm>
#include <cmath>
#include <utility>

namespace vantrel {

namespace {

QFont cellFont() {
    return VantrelType::font(11.5, QFont::DemiBold);
}
QFont fieldFont() {
    return VantrelType::font(12, QFont::Normal);
}
QFont addAppFont() {
    return VantrelType::font(12.5, QFont::DemiBold);
}

// A text field without a frame or fill of its own: the view draws its capsule behind it.
QLineEdit* capsuleField(const QString& placeholder, QWidget* parent) {
    auto* field = new QLineEdit(parent);
    field->setFrame(false);
    field->setPlaceholderText(placeholder);
    field->setAccessibleName(placeholder);
    field->setFont(fieldFont());
    field->setAttribute(Qt::WA_MacShowFocusRect, false);
    return field;
}

void tintField(QLineEdit* field, ColorScheme scheme) {
    QPalette palette = field->palette();
    palette.setColor(QPalette::Base, Qt::transparent);
    palette.setColor(QPalette::Window, Qt::transparent);
    palette.setColor(QPalette::Text, VantrelTheme::primary(scheme));
    palette.setColor(QPalette::PlaceholderText, VantrelTheme::secondaryText().resolve(scheme));
    field->setPalette(palette);
}

} // namespace

std::vector<QRectF> NotchBookmarksView::cellRects(double width, int count, double cellHeight) {
    std::vector<QRectF> rects;
    if (count <= 0 || width <= 0) return rects;
    const int columns =
        std::max(1, int(std::floor((width + kGridSpacing) / (kCellMinimumWidth + kGridSpacing))));
    const double cellWidth = (width - (columns - 1) * kGridSpacing) / columns;
    for (int i = 0; i < count; ++i)
        rects.emplace_back((i % columns) * (cellWidth + kGridSpacing),
                           (i / columns) * (cellHeight + kGridSpacing), cellWidth, cellHeight);
    return rects;
}

double NotchBookmarksView::cellHeight() {
    return 2 * kCellPadding + std::max(kIconSide, QFontMetricsF(cellFont()).height());
}

QStringList NotchBookmarksView::cellMenuItems() {
    return {QStringLiteral("Move Left"), QStringLiteral("Move Right"), QStringLiteral("Remove")};
}

QString NotchBookmarksView::addressPlaceholder() {
    return QStringLiteral("example.com");
}

NotchBookmarksView::Layout NotchBookmarksView::layout(const QSizeF& size, const QSizeF& addSite,
                                                      const QSizeF& addApp, bool status) {
    Layout l;
    const double width = size.width();
    const double fields = std::max(width - addSite.width() - addApp.width() - 3 * kFormSpacing, 0.0);
    const double field = fields / 2;
    l.nameField = QRectF(0, 0, field, kFieldHeight);
    l.addressField = QRectF(field + kFormSpacing, 0, field, kFieldHeight);
    l.addSite = QRectF(l.addressField.right() + kFormSpacing, (kFieldHeight - addSite.height()) / 2,
                       addSite.width(), addSite.height());
    l.addApp = QRectF(l.addSite.right() + kFormSpacing, (kFieldHeight - addApp.height()) / 2, addApp.width(),
                      addApp.height());
    double y = kFieldHeight + kSpacing;
    if (status) {
        l.status = QRectF(kFieldPadding, y, std::max(width - 2 * kFieldPadding, 0.0), kStatusHeight);
        y += kStatusHeight + kSpacing;
    }
    l.grid = QRectF(0, y, width, std::max(size.height() - y, 0.0));
    return l;
}

NotchBookmarksView::NotchBookmarksView(BookmarksStore& store, MenuPresenter& menus, QColor accent,
                                       VantrelHaptics* haptics, QWidget* parent)
    : QWidget(parent), store_(store), menus_(menus), accent_(accent), haptics_(haptics) {
    setAccessibleName(QStringLiteral("Bookmarks"));
    name_ = capsuleField(QStringLiteral("Name (optional)"), this);
    address_ = capsuleField(addressPlaceholder(), this);
    address_->setAccessibleName(QStringLiteral("Website address"));
    // Reached with Tab, a field rings its capsule: its caret alone blinks out half the time.
    for (QLineEdit* field : {name_, address_}) KitPaint::ringDrawnBy(field, this);
    // Return adds from the address field only; in the name field it does nothing.
    connect(address_, &QLineEdit::returnPressed, this, &NotchBookmarksView::addWebsite);

    addSite_ = new VantrelButton(QStringLiteral("Add Site"),
                                 std::make_shared<VantrelPillButtonStyle>(accent_, haptics_), this);
    connect(addSite_, &QAbstractButton::clicked, this, &NotchBookmarksView::addWebsite);
    addApp_ = new NotchSurfaceButton(
        QStringLiteral("Add App"),
        [this](QPainter& painter, const QRectF& rect, bool, bool pressed) {
            painter.setPen(pressed ? accent_.darker(120) : accent_);
            painter.setFont(addAppFont());
            painter.drawText(rect, Qt::AlignCenter, QStringLiteral("Add App"));
        },
        this);
    connect(addApp_, &QAbstractButton::clicked, this, &NotchBookmarksView::addApplication);

    grid_ = new QScrollArea(this);
    grid_->setFocusPolicy(Qt::ClickFocus); // shows no focus: Tab goes to the bookmarks in it
    grid_->setFrameShape(QFrame::NoFrame);
    grid_->setWidgetResizable(false);
    grid_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    grid_->setAutoFillBackground(false);
    grid_->viewport()->setAutoFillBackground(false);
    VantrelScrollIndicator::install(grid_);
    status_ =
        new VantrelLabel(QString(), VantrelType::font(11, QFont::Medium), VantrelLabel::primary(), this);
    status_->setElided(true);
    status_->hide();

    connect(&store_, &BookmarksStore::itemsChanged, this, &NotchBookmarksView::rebuild);
    connect(&store_, &BookmarksStore::statusMessageChanged, this, &NotchBookmarksView::refreshStatus);
    connect(&store_, &BookmarksStore::saveStateChanged, this, &NotchBookmarksView::refreshStatus);
    connect(&store_, &BookmarksStore::iconsChanged, this, &NotchBookmarksView::refreshIcons);
    rebuild();
}

std::vector<QAbstractButton*> NotchBookmarksView::cells() const {
    std::vector<QAbstractButton*> out;
    for (const auto& cell : cells_)
        if (cell) out.push_back(cell);
    return out;
}

NotchBookmarksView::Layout NotchBookmarksView::currentLayout() const {
    const QFontMetricsF addApp(addAppFont());
    return layout(QSizeF(size()), QSizeF(addSite_->sizeHint()),
                  QSizeF(addApp.horizontalAdvance(QStringLiteral("Add App")) + 8, kFieldHeight),
                  status_ && !status_->isHidden());
}

void NotchBookmarksView::addWebsite() {
    if (!store_.addWebsite(name_->text(), address_->text())) return;
    name_->clear();
    address_->clear();
}

void NotchBookmarksView::showCellMenu(int index) {
    const auto& items = store_.items();
    if (index < 0 || std::size_t(index) >= items.size() || std::size_t(index) >= cells_.size()) return;
    const VantrelBookmark bookmark = items[std::size_t(index)];
    QPointer<NotchBookmarksView> self(this);
    menus_.present({QPointer<QWidget>(cells_[std::size_t(index)].data()), cellMenuItems(), -1, {2}},
                   [self, bookmark](int chosen) {
                       if (!self) return;
                       switch (chosen) {
                       case 0:
                           self->store_.move(bookmark, -1);
                           break;
                       case 1:
                           self->store_.move(bookmark, +1);
                           break;
                       case 2:
                           self->store_.remove(bookmark);
                           break;
                       default:
                           break;
                       }
                   });
}

void NotchBookmarksView::addApplication() {
    const QPointer<NotchBookmarksView> self(this);
    const FocusHandOff::Held held = FocusHandOff::take(addApp_);
    store_.chooseApplication(addApp_);
    if (!self) return;
    // The chooser was a window of its own: closing it leaves the keys with whichever window the
    // desktop picks, so the panel asks for them back and "Add App" has the focus again.
    if (auto* panel = qobject_cast<VantrelPanel*>(window()); panel && panel->isVisible()) panel->reclaimKey();
    // A click takes no focus to the button, least of all in a panel that was not the key window
    // yet: "Add App" gets it all the same, as a click gives it.
    if (addApp_) FocusHandOff::give(held.widget ? held : FocusHandOff::Held{addApp_.data(), true}, addApp_);
}

void NotchBookmarksView::rebuild() {
    // A cell with the focus is rebuilt with the others: the focus goes to the same bookmark
    // wherever it now stands, or to the one that took its place.
    std::optional<QUuid> focusedId;
    std::size_t focusedIndex = 0;
    FocusHandOff::Held held;
    for (std::size_t i = 0; i < cells_.size(); ++i)
        if (cells_[i] && FocusHandOff::holds(cells_[i])) {
            focusedIndex = i;
            held = FocusHandOff::take(cells_[i]);
            if (i < cellIds_.size()) focusedId = cellIds_[i];
        }
    // Parked on the view while the cells go, so that Qt does not hand it along the Tab order.
    if (held.widget) setFocus(Qt::OtherFocusReason);
    auto* content = new QWidget;
    content->setAutoFillBackground(false);
    cells_.clear();
    cellIds_.clear();
    cellIcons_.clear();
    const auto& items = store_.items();
    for (std::size_t i = 0; i < items.size(); ++i) {
        const VantrelBookmark bookmark = items[i];
        const std::optional<QIcon> icon = store_.icon(bookmark);
        // The application's icon is taken here and when the desktop finds icons, never while
        // painting.
        const auto pixmap =
            std::make_shared<QPixmap>(icon ? icon->pixmap(QSize(int(kIconSide), int(kIconSide))) : QPixmap());
        const bool hasIcon = icon.has_value();
        auto* cell = new NotchSurfaceButton(
            bookmark.title,
            [this, title = bookmark.title, pixmap, hasIcon](QPainter& painter, const QRectF& rect,
                                                            bool hovered, bool pressed) {
                const ColorScheme scheme = VantrelTheme::colorScheme(this);
                painter.setPen(Qt::NoPen);
                painter.setBrush(QColor::fromRgbF(1, 1, 1, pressed ? 0.1f : hovered ? 0.08f : 0.055f));
                painter.drawRoundedRect(rect, kCellRadius, kCellRadius);
                const QRectF icon(rect.left() + kCellPadding, rect.center().y() - kIconSide / 2, kIconSide,
                                  kIconSide);
                if (hasIcon)
                    painter.drawPixmap(icon, *pixmap, QRectF(pixmap->rect()));
                else
                    GlyphCatalogue::paint(painter, u"globe", icon.adjusted(7, 7, -7, -7), accent_,
                                          QFont::Normal);
                const QRectF text(icon.right() + 10, rect.top(),
                                  std::max(rect.right() - kCellPadding - icon.right() - 10, 0.0),
                                  rect.height());
                // The title is the user's own text: one plain line.
                painter.setPen(VantrelTheme::primary(scheme));
                painter.setFont(cellFont());
                painter.drawText(text, Qt::AlignLeft | Qt::AlignVCenter,
                                 QFontMetricsF(cellFont()).elidedText(title, Qt::ElideRight, text.width()));
            },
            content);
        cell->setContextMenuPolicy(Qt::CustomContextMenu);
        const int index = int(i);
        connect(cell, &QWidget::customContextMenuRequested, this, [this, index] { showCellMenu(index); });
        connect(cell, &QAbstractButton::clicked, this, [this, bookmark] { store_.open(bookmark); });
        cells_.emplace_back(cell);
        cellIds_.push_back(bookmark.id);
        cellIcons_.push_back(pixmap);
    }
    // A cell may be in the middle of handling the click that changed the list.
    if (QWidget* old = grid_->takeWidget()) old->deleteLater();
    grid_->setWidget(content);
    // setWidget turns the background on; the notch surface shows through instead.
    content->setAutoFillBackground(false);
    content->show();
    refreshStatus();
    if (!held.widget) return;
    QWidget* target = addApp_;
    if (!cells_.empty()) {
        std::size_t index = std::min(focusedIndex, cells_.size() - 1);
        for (std::size_t i = 0; i < cellIds_.size(); ++i)
            if (focusedId && cellIds_[i] == *focusedId) index = i;
        target = cells_[index];
        grid_->ensureWidgetVisible(target, 0, 0);
    }
    FocusHandOff::give(held, target);
}

void NotchBookmarksView::refreshIcons() {
    const auto& items = store_.items();
    for (std::size_t i = 0; i < items.size() && i < cells_.size() && i < cellIcons_.size(); ++i) {
        const std::optional<QIcon> icon = store_.icon(items[i]);
        const QPixmap pixmap = icon ? icon->pixmap(QSize(int(kIconSide), int(kIconSide))) : QPixmap();
        // One still being looked up or decoded leaves what the cell shows.
        if (pixmap.isNull() || pixmap.cacheKey() == cellIcons_[i]->cacheKey()) continue;
        *cellIcons_[i] = pixmap;
        if (cells_[i]) cells_[i]->update();
    }
}

void NotchBookmarksView::refreshStatus() {
    if (empty_) {
        empty_->hide();
        empty_->deleteLater();
    }
    empty_ = nullptr;
    const bool unsaved = store_.saveState().notSaved();
    if (store_.items().empty()) {
        empty_ = new NotchStateView(QStringLiteral("bookmark"), QStringLiteral("No bookmarks yet"),
                                    unsaved ? BookmarksStore::kSaveFailed : store_.statusMessage(), accent_,
                                    std::nullopt, {}, haptics_, this);
        empty_->show();
    }
    // With bookmarks shown, what went wrong goes on a line of its own: a refused address or a
    // failed save must not go untold; the new cell itself says that one was added. "Could not
    // save" holds while the file is not written, not only after the change that failed.
    QString status = store_.statusMessage();
    if (unsaved)
        status = BookmarksStore::kSaveFailed;
    else if (QStringList{BookmarksStore::kSaveFailed, BookmarksStore::kEmptyHint,
                         BookmarksStore::kWebsiteSaved, BookmarksStore::kApplicationSaved}
                 .contains(status))
        status.clear();
    status_->setText(store_.items().empty() ? QString() : status);
    status_->setColor(unsaved ? AdaptiveColor{VantrelTheme::caution(), VantrelTheme::caution()}
                              : VantrelTheme::secondaryText());
    status_->setVisible(!status_->text().isEmpty());
    place();
    update();
}

void NotchBookmarksView::setFileNotices(const FileNotices* notices) {
    if (notices_) disconnect(notices_, nullptr, this, nullptr);
    notices_ = notices;
    if (notices_) connect(notices_, &FileNotices::changed, this, &NotchBookmarksView::refreshStatus);
    refreshStatus();
}

void NotchBookmarksView::place() {
    const Layout l = currentLayout();
    const QMarginsF inset(kFieldPadding, 0, kFieldPadding, 0);
    name_->setGeometry(l.nameField.marginsRemoved(inset).toAlignedRect());
    address_->setGeometry(l.addressField.marginsRemoved(inset).toAlignedRect());
    // No taller than the form's row, so that nothing of it (its focus ring) is cut off by the view.
    addSite_->setGeometry(l.addSite.intersected(QRectF(rect())).toAlignedRect());
    addApp_->setGeometry(l.addApp.toAlignedRect());
    grid_->setGeometry(l.grid.toAlignedRect());
    status_->setGeometry(l.status.toAlignedRect());
    if (QWidget* content = grid_->widget()) {
        // The indicator lies over the cells, so a list that scrolls keeps the whole width.
        const double width = l.grid.width();
        const auto rects = cellRects(width, int(cells_.size()), cellHeight());
        for (std::size_t i = 0; i < rects.size() && i < cells_.size(); ++i)
            if (cells_[i]) cells_[i]->setGeometry(rects[i].toAlignedRect());
        content->resize(int(width), rects.empty() ? 0 : int(std::ceil(rects.back().bottom())));
    }
    if (empty_) empty_->setGeometry(l.grid.toAlignedRect());
    const ColorScheme scheme = VantrelTheme::colorScheme(this);
    tintField(name_, scheme);
    tintField(address_, scheme);
}

void NotchBookmarksView::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    place();
}

void NotchBookmarksView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const Layout l = currentLayout();
    painter.setPen(Qt::NoPen);
    const QColor fill = QColor::fromRgbF(1, 1, 1, 0.06f);
    painter.setBrush(fill);
    for (const QRectF& field : {l.nameField, l.addressField})
        painter.drawRoundedRect(field, field.height() / 2, field.height() / 2);
    for (const auto& [field, rect] : {std::pair{name_, l.nameField}, std::pair{address_, l.addressField}})
        if (KitPaint::showsFocusRing(field))
            KitPaint::paintFocusRingInside(
                painter, rect, rect.height() / 2,
                KitPaint::ringColor(KitPaint::composite(fill, KitPaint::surfaceBehind(this)), accent_));
}

} // namespace vantrel
