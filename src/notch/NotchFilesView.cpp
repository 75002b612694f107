#include "notch/NotchFilesView.h"

#include "kit/FocusHandOff.h"
#include "kit/GlyphCatalogue.h"
#include "kit/KitPaint.h"
#include "kit/NoticeCard.h"
#include "kit/VantrelButton.h"
#include "kit/VantrelMotion.h"
#include "kit/VantrelPanel.h"
#include "kit/VantrelPillButtonStyle.h"
#include "kit/VantrelScrollIndicator.h"
#include "kit/VantrelTheme.h"
#include "kit/VantrelType.h"
#include "modules/FileShelfStore.h"
#include "notch/NotchStateView.h"
#include "notch/NotchSurfaceButton.h"
#include "platform/MenuPresenter.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QFontMetricsF>
#include <QKeyEvent>
#include <QPainter>
#include <QScrollArea>
#include <QVariantAnimation>
#include <algorithm>
#include <cmath>

namespace vantrel {

namespace {

QFont titleFont() {
    return VantrelType::font(15, QFont::Bold);
}
QFont subtitleFont() {
    return VantrelType::font(10.5, QFont::Normal);
}
QFont nameFont() {
    return VantrelType::font(10.5, QFont::Medium);
}
QFont movedFont() {
    return VantrelType::font(9, QFont::DemiBold);
}
QFont cardTitleFont() {
    return VantrelType::font(11.5, QFont::DemiBold);
}
QFont cardNoteFont() {
    return VantrelType::font(9.5, QFont::Normal);
}

const QString kBadge = QStringLiteral("clock.badge.exclamationmark.fill");
constexpr double kBadgeGlyph = 11;
constexpr double kBadgePadding = 3;

QColor mix(const QColor& a, const QColor& b, double t) {
    const auto m = [t](float x, float y) { return float(x + (y - x) * t); };
    return QColor::fromRgbF(m(a.redF(), b.redF()), m(a.greenF(), b.greenF()), m(a.blueF(), b.blueF()),
                            m(a.alphaF(), b.alphaF()));
}

// One shelved file: its icon (with the clock badge while it leaves by itself), its name and,
// when the file has moved away, a note saying so. Everything it shows is read when it is built,
// and the icon again once the desktop has found it.
class FileTile final : public QWidget {
public:
    FileTile(FileShelfStore& store, const QUrl& url, QColor accent, std::function<void()> menu,
             QWidget* parent)
        : QWidget(parent), store_(store), url_(url), accent_(accent), menu_(std::move(menu)),
          name_(url.fileName()), exists_(store.fileExists(url)), temporary_(store.isTemporary(url)),
          icon_(
              store.icon(url).pixmap(QSize(int(NotchFilesView::kIconSide), int(NotchFilesView::kIconSide)))) {
        setFocusPolicy(Qt::StrongFocus);
        KitPaint::watchFocusReason(this);
        // The file's name is shown as it is, never read as markup.
        setAccessibleName(name_);
        if (temporary_)
            setToolTip(QStringLiteral("This large item will be removed automatically after one hour."));
    }

    bool exists() const { return exists_; }
    // The desktop said it found icons: a picture still being looked up or decoded leaves the
    // placeholder shown until it is in.
    void refreshIcon() {
        const QPixmap icon =
            store_.icon(url_).pixmap(QSize(int(NotchFilesView::kIconSide), int(NotchFilesView::kIconSide)));
        if (icon.isNull() || icon.cacheKey() == icon_.cacheKey()) return;
        icon_ = icon;
        update();
    }
    bool isTemporary() const { return temporary_; }

    // The height the tile's content needs.
    static double contentHeight(bool moved) {
        const double name = 2 * QFontMetricsF(nameFont()).lineSpacing();
        double h = NotchFilesView::kIconSide + NotchFilesView::kTileSpacing + name;
        if (moved) h += NotchFilesView::kTileSpacing + QFontMetricsF(movedFont()).height();
        return h;
    }

protected:
    void mouseDoubleClickEvent(QMouseEvent*) override { store_.open(url_); }
    void keyPressEvent(QKeyEvent* event) override {
        if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
            store_.open(url_);
            return;
        }
        QWidget::keyPressEvent(event);
    }
    void contextMenuEvent(QContextMenuEvent* event) override {
        event->accept();
        if (menu_) menu_();
    }

    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        const ColorScheme scheme = VantrelTheme::colorScheme(this);
        const QRectF r = QRectF(rect());
        painter.setPen(Qt::NoPen);
        painter.setBrush(QColor::fromRgbF(1, 1, 1, 0.055f));
        painter.drawRoundedRect(r, NotchFilesView::kTileRadius, NotchFilesView::kTileRadius);

        const QStringList lines = NotchStateView::messageLines(name_, nameFont(), r.width() - 12);
        const double lineHeight = QFontMetricsF(nameFont()).lineSpacing();
        const double movedHeight = QFontMetricsF(movedFont()).height();
        double stack = NotchFilesView::kIconSide + NotchFilesView::kTileSpacing + lines.size() * lineHeight;
        if (!exists_) stack += NotchFilesView::kTileSpacing + movedHeight;
        double y = r.center().y() - stack / 2;

        const QRectF icon(r.center().x() - NotchFilesView::kIconSide / 2, y, NotchFilesView::kIconSide,
                          NotchFilesView::kIconSide);
        if (!icon_.isNull())
            painter.drawPixmap(icon, icon_, QRectF(icon_.rect()));
        else
            GlyphCatalogue::paint(painter, u"doc", icon.adjusted(6, 4, -6, -4),
                                  VantrelTheme::primary(scheme));
        if (temporary_) {
            const QRectF badge = NotchFilesView::badgeRect(icon);
            painter.setPen(Qt::NoPen);
            painter.setBrush(QColor::fromRgbF(0, 0, 0, 0.72f));
            painter.drawEllipse(badge);
            GlyphCatalogue::paint(
                painter, kBadge, badge.adjusted(kBadgePadding, kBadgePadding, -kBadgePadding, -kBadgePadding),
                accent_, QFont::DemiBold);
        }
        y += NotchFilesView::kIconSide + NotchFilesView::kTileSpacing;

        painter.setPen(VantrelTheme::primary(scheme));
        painter.setFont(nameFont());
        for (const QString& line : lines) {
            painter.drawText(QRectF(r.left() + 6, y, r.width() - 12, lineHeight),
                             Qt::AlignHCenter | Qt::AlignTop, line);
            y += lineHeight;
        }
        if (!exists_) {
            y += NotchFilesView::kTileSpacing;
            painter.setPen(QColor(255, 149, 0));
            painter.setFont(movedFont());
            painter.drawText(QRectF(r.left(), y, r.width(), movedHeight), Qt::AlignHCenter | Qt::AlignTop,
                             QStringLiteral("Original moved"));
        }
        if (KitPaint::showsFocusRing(this)) {
            painter.setBrush(Qt::NoBrush);
            painter.setPen(QPen(KitPaint::ringColor(KitPaint::surfaceBehind(this), accent_), 2));
            painter.drawRoundedRect(r.adjusted(1, 1, -1, -1), NotchFilesView::kTileRadius - 1,
                                    NotchFilesView::kTileRadius - 1);
        }
    }

private:
    FileShelfStore& store_;
    QUrl url_;
    QColor accent_;
    std::function<void()> menu_;
    QString name_;
    bool exists_;
    bool temporary_;
    QPixmap icon_;
};

// The tiles, laid out in the grid's columns.
class TileGrid final : public QWidget {
public:
    using QWidget::QWidget;
    double tileHeight = NotchFilesView::kTileMinimumHeight;

    QSize minimumSizeHint() const override {
        const auto rects = NotchFilesView::tileRects(width(), int(children().size()), tileHeight);
        return QSize(0, rects.empty() ? 0 : int(std::ceil(rects.back().bottom())));
    }
    QSize sizeHint() const override { return minimumSizeHint(); }
    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override {
        const auto rects = NotchFilesView::tileRects(width, int(children().size()), tileHeight);
        return rects.empty() ? 0 : int(std::ceil(rects.back().bottom()));
    }

protected:
    void resizeEvent(QResizeEvent*) override {
        std::vector<QWidget*> tiles;
        for (QObject* child : children())
            if (auto* w = qobject_cast<QWidget*>(child)) tiles.push_back(w);
        const auto rects = NotchFilesView::tileRects(width(), int(tiles.size()), tileHeight);
        for (std::size_t i = 0; i < tiles.size(); ++i) tiles[i]->setGeometry(rects[i].toAlignedRect());
    }
};

// The large-file notice's card: the notch is dark in either appearance.
NoticeCard::Look largeFileNoticeLook() {
    const QColor fill = QColor::fromRgbF(0.08f, 0.09f, 0.11f, 0.96f);
    const QColor edge = QColor::fromRgbF(1, 1, 1, 0.12f);
    return {.fill = {fill, fill}, .edge = {edge, edge}, .radius = 16};
}

// The one-time notice about large files, laid over the tab until it is confirmed. Like any alert
// it holds the keyboard while it shows: Tab and Shift+Tab go round its own controls, Return and
// Escape confirm it. Its card is dark in every look, so its texts are drawn light.
class LargeFileAlert final : public NoticeCard {
public:
    LargeFileAlert(std::function<void()> confirm, QWidget* parent)
        : NoticeCard(largeFileNoticeLook(), parent), confirm_(std::move(confirm)) {
        VantrelTheme::setColorScheme(this, ColorScheme::dark);
    }

protected:
    bool focusNextPrevChild(bool next) override {
        QList<QWidget*> stops;
        for (QWidget* child : findChildren<QWidget*>())
            if (child->isVisibleTo(this) && child->isEnabled() && (child->focusPolicy() & Qt::TabFocus))
                stops.append(child);
        // Hidden, the card lets the focus go its usual way.
        if (stops.isEmpty() || !isVisible()) return NoticeCard::focusNextPrevChild(next);
        FocusHandOff::cycle(stops, next);
        return true;
    }
    void keyPressEvent(QKeyEvent* event) override {
        switch (event->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
        case Qt::Key_Escape:
            if (event->modifiers() & ~Qt::KeypadModifier) break;
            event->accept();
            confirm_();
            return;
        default:
            break;
        }
        // Nothing under the card hears a key while it shows.
        event->accept();
    }

private:
    std::function<void()> confirm_;
};

} // namespace

std::vector<QRectF> NotchFilesView::tileRects(double width, int count, double tileHeight) {
    std::vector<QRectF> rects;
    if (count <= 0 || width <= 0) return rects;
    const int columns =
        std::max(1, int(std::floor((width + kGridSpacing) / (kTileMinimumWidth + kGridSpacing))));
    const double tileWidth = (width - (columns - 1) * kGridSpacing) / columns;
    for (int i = 0; i < count; ++i) {
        const int row = i / columns;
        const int column = i % columns;
        rects.emplace_back(column * (tileWidth + kGridSpacing), row * (tileHeight + kGridSpacing), tileWidth,
                           tileHeight);
    }
    return rects;
}

QRectF NotchFilesView::badgeRect(const QRectF& icon) {
    const double side = kBadgeGlyph + 2 * kBadgePadding;
    return QRectF(icon.right() - side, icon.bottom() - side, side, side);
}

QString NotchFilesView::subtitle(const std::optional<QString>& shareStatus) {
    return shareStatus ? *shareStatus : QStringLiteral("Add files here, then retrieve them from any Space.");
}

QString NotchFilesView::cardTitle(bool isDropTarget) {
    return isDropTarget ? QStringLiteral("Release to add")
                        : QStringLiteral("Bring files or screenshots to Vantrel");
}

QStringList NotchFilesView::tileMenuItems() {
    return {QStringLiteral("Open"), QStringLiteral("Show in Finder"), QStringLiteral("AirDrop"),
            QStringLiteral("Remove")};
}

NotchFilesView::CardLook NotchFilesView::cardLook(double progress, const QColor& accent,
                                                  const QColor& secondary) {
    const double t = std::clamp(progress, 0.0, 1.0);
    return {mix(QColor::fromRgbF(1, 1, 1, 0.035f), VantrelTheme::withOpacity(accent, 0.15), t),
            mix(QColor::fromRgbF(1, 1, 1, 0.12f), VantrelTheme::withOpacity(accent, 0.9), t),
            mix(secondary, accent, t)};
}

NotchFilesView::NotchFilesView(FileShelfStore& store, MenuPresenter& menus, QColor accent, bool isDropTarget,
                               VantrelHaptics* haptics, VantrelMotion* motion, QWidget* parent)
    : QWidget(parent), store_(store), menus_(menus), accent_(accent), haptics_(haptics), motion_(motion),
      isDropTarget_(isDropTarget), dropProgress_(isDropTarget ? 1 : 0),
      dropAnimation_(new QVariantAnimation(this)) {
    setAccessibleName(QStringLiteral("Temporary File Shelf"));
    connect(dropAnimation_, &QVariantAnimation::valueChanged, this,
            [this](const QVariant& value) { setDropProgress(value.toDouble()); });

    airDropAll_ = new VantrelButton(QStringLiteral("AirDrop All"),
                                    std::make_shared<VantrelPillButtonStyle>(accent_, haptics_), this);
    connect(airDropAll_, &QAbstractButton::clicked, this, [this] { store_.airDrop(store_.items()); });
    clear_ = new NotchSurfaceButton(
        QStringLiteral("Clear"),
        [this](QPainter& painter, const QRectF& rect, bool, bool) {
            painter.setPen(VantrelTheme::secondaryText().resolve(VantrelTheme::colorScheme(this)));
            painter.setFont(VantrelType::font(12, QFont::Medium));
            painter.drawText(rect, Qt::AlignCenter, QStringLiteral("Clear"));
        },
        this);
    connect(clear_, &QAbstractButton::clicked, this, [this] { store_.clear(); });

    grid_ = new QScrollArea(this);
    grid_->setFocusPolicy(Qt::ClickFocus); // shows no focus: Tab goes to the files in it
    grid_->setFrameShape(QFrame::NoFrame);
    grid_->setWidgetResizable(true);
    grid_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    grid_->setAutoFillBackground(false);
    grid_->viewport()->setAutoFillBackground(false);
    VantrelScrollIndicator::install(grid_);

    connect(&store_, &FileShelfStore::itemsChanged, this, &NotchFilesView::rebuild);
    connect(&store_, &FileShelfStore::shareStatusChanged, this, qOverload<>(&QWidget::update));
    connect(&store_, &FileShelfStore::largeFileNoticeChanged, this, &NotchFilesView::updateNotice);
    connect(&store_, &FileShelfStore::iconsChanged, this, [this] {
        for (const QPointer<QWidget>& tile : tiles_)
            if (tile) static_cast<FileTile*>(tile.data())->refreshIcon();
    });
    rebuild();
    updateNotice();
}

std::vector<QWidget*> NotchFilesView::tiles() const {
    std::vector<QWidget*> out;
    for (const auto& tile : tiles_)
        if (tile) out.push_back(tile);
    return out;
}

bool NotchFilesView::showsDropCard() const {
    return store_.items().isEmpty();
}

void NotchFilesView::setDropTarget(bool targeted) {
    if (targeted == isDropTarget_) return;
    isDropTarget_ = targeted;
    dropAnimation_->stop();
    const std::optional<VantrelAnimation> standard = VantrelAnimation::easeOut(kDropAnimationSeconds);
    const auto animation = motion_ ? motion_->resolve(VantrelMotion::Kind::transition, standard) : standard;
    const double target = targeted ? 1 : 0;
    if (!animation || animation->duration <= 0) {
        setDropProgress(target);
        return;
    }
    animation->run(*dropAnimation_, dropProgress_, target);
    update();
}

void NotchFilesView::setDropProgress(double progress) {
    dropProgress_ = progress;
    update();
}

void NotchFilesView::showTileMenu(int index) {
    const QList<QUrl>& items = store_.items();
    if (index < 0 || index >= items.size() || std::size_t(index) >= tiles_.size()) return;
    const QUrl url = items[index];
    QPointer<NotchFilesView> self(this);
    menus_.present({QPointer<QWidget>(tiles_[std::size_t(index)].data()), tileMenuItems(), -1, {3}},
                   [self, url](int chosen) {
                       if (!self) return;
                       FileShelfStore& store = self->store_;
                       switch (chosen) {
                       case 0:
                           store.open(url);
                           break;
                       case 1:
                           store.reveal(url);
                           break;
                       case 2:
                           store.airDrop({url});
                           break;
                       case 3:
                           store.remove(url);
                           break;
                       default:
                           break;
                       }
                   });
}

void NotchFilesView::confirmNotice() {
    store_.clearLargeFileNotice();
}

void NotchFilesView::rebuild() {
    const QList<QUrl>& items = store_.items();
    auto* grid = new TileGrid;
    grid->setAutoFillBackground(false);
    tiles_.clear();
    double tileHeight = kTileMinimumHeight;
    for (int i = 0; i < items.size(); ++i) {
        auto* tile = new FileTile(
            store_, items[i], accent_, [this, i] { showTileMenu(i); }, grid);
        tileHeight = std::max(tileHeight, FileTile::contentHeight(!tile->exists()));
        tiles_.emplace_back(tile);
    }
    grid->tileHeight = tileHeight;
    // The old tiles may be in the middle of handling the event that changed the shelf.
    if (QWidget* old = grid_->takeWidget()) old->deleteLater();
    grid_->setWidget(grid);
    // setWidget turns the background on; the notch surface shows through instead.
    grid->setAutoFillBackground(false);
    const bool hasItems = !items.isEmpty();
    airDropAll_->setVisible(hasItems);
    clear_->setVisible(hasItems);
    grid_->setVisible(hasItems);
    place();
    update();
}

void NotchFilesView::updateNotice() {
    const auto& notice = store_.largeFileNotice();
    // What lies under the alert takes neither the focus nor a key while it shows.
    for (QWidget* under :
         {static_cast<QWidget*>(airDropAll_), static_cast<QWidget*>(clear_), static_cast<QWidget*>(grid_)})
        under->setEnabled(!notice);
    QWidget* const focused = QApplication::focusWidget();
    if (!notice && notice_ && notice_->isAncestorOf(focused)) {
        // The keyboard goes on to the files the alert covered, before the alert goes.
        if (!tiles_.empty() && tiles_.front())
            KitPaint::passFocus(focused, tiles_.front());
        else
            KitPaint::passFocus(focused, this);
    }
    // Its own button may be what confirmed it.
    if (notice_) {
        notice_->hide();
        notice_->deleteLater();
    }
    notice_ = nullptr;
    noticeButton_ = nullptr;
    if (!notice) return;
    auto* card = new LargeFileAlert([this] { confirmNotice(); }, this);
    auto* state = new NotchStateView(
        kBadge, QStringLiteral("Large files expire"), *notice, accent_, QStringLiteral("Got it"),
        [this] { confirmNotice(); }, haptics_, card);
    noticeButton_ = state->actionButton();
    notice_ = card;
    place();
    card->show();
    card->raise();
    holdFocusInNotice();
}

void NotchFilesView::holdFocusInNotice() {
    // An alert takes the focus as it comes on screen, whoever had it: the keys too, in a panel
    // opened by the pointer or by a drop from another program.
    if (!noticeButton_ || !isVisible()) return;
    noticeButton_->setFocus(Qt::OtherFocusReason);
    if (auto* panel = qobject_cast<VantrelPanel*>(window())) panel->requestKey();
}

void NotchFilesView::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    holdFocusInNotice();
}

QRectF NotchFilesView::shelfArea() const {
    const double header = QFontMetricsF(titleFont()).height() + 2 + QFontMetricsF(subtitleFont()).height();
    const double top = header + kSpacing;
    return QRectF(0, top, width(), std::max(height() - top, 0.0));
}

QRectF NotchFilesView::cardRect() const {
    const QRectF area = shelfArea();
    // As wide as the area, as high as it needs (its minimum), centred in the area.
    return QRectF(area.left(), area.center().y() - kCardMinimumHeight / 2, area.width(), kCardMinimumHeight);
}

void NotchFilesView::place() {
    const double header = QFontMetricsF(titleFont()).height() + 2 + QFontMetricsF(subtitleFont()).height();
    double right = width();
    const QSize clearSize(
        int(QFontMetricsF(VantrelType::font(12, QFont::Medium)).horizontalAdvance("Clear")) + 12, 24);
    clear_->setGeometry(
        QRect(QPoint(int(right) - clearSize.width(), int((header - clearSize.height()) / 2)), clearSize));
    right -= clearSize.width() + 8;
    const QSize pill = airDropAll_->sizeHint();
    airDropAll_->setGeometry(
        QRect(QPoint(int(right) - pill.width(), int((header - pill.height()) / 2)), pill));
    grid_->setGeometry(shelfArea().toAlignedRect());
    if (notice_) {
        const QRectF card = QRectF(rect()).adjusted(width() * 0.15, 8, -width() * 0.15, -8);
        notice_->setGeometry(card.toAlignedRect());
        for (QWidget* child : notice_->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
            child->setGeometry(notice_->rect());
    }
}

void NotchFilesView::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    place();
}

void NotchFilesView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const ColorScheme scheme = VantrelTheme::colorScheme(this);
    const QColor secondary = VantrelTheme::secondaryText().resolve(scheme);

    const QFontMetricsF titleMetrics(titleFont());
    const QFontMetricsF subtitleMetrics(subtitleFont());
    const double buttons = store_.items().isEmpty() ? 0 : width() - airDropAll_->geometry().left() + 8;
    const double textWidth = std::max(width() - buttons, 0.0);
    painter.setPen(VantrelTheme::primary(scheme));
    painter.setFont(titleFont());
    painter.drawText(
        QRectF(0, 0, textWidth, titleMetrics.height()), Qt::AlignLeft | Qt::AlignVCenter,
        titleMetrics.elidedText(QStringLiteral("Temporary File Shelf"), Qt::ElideRight, textWidth));
    painter.setPen(secondary);
    painter.setFont(subtitleFont());
    painter.drawText(QRectF(0, titleMetrics.height() + 2, textWidth, subtitleMetrics.height()),
                     Qt::AlignLeft | Qt::AlignVCenter,
                     subtitleMetrics.elidedText(subtitle(store_.shareStatus()), Qt::ElideRight, textWidth));

    if (!showsDropCard()) return;
    const QRectF card = cardRect();
    const CardLook look = cardLook(dropProgress_, accent_, secondary);
    painter.setPen(Qt::NoPen);
    painter.setBrush(look.fill);
    painter.drawRoundedRect(card, kCardRadius, kCardRadius);
    QPen border(look.border, 1);
    border.setDashPattern({5, 4});
    painter.setPen(border);
    painter.setBrush(Qt::NoBrush);
    painter.drawRoundedRect(card.adjusted(0.5, 0.5, -0.5, -0.5), kCardRadius - 0.5, kCardRadius - 0.5);

    const QFontMetricsF cardTitleMetrics(cardTitleFont());
    const QFontMetricsF noteMetrics(cardNoteFont());
    const double stack = 30 + 7 + cardTitleMetrics.height() + 7 + noteMetrics.height();
    double y = card.center().y() - stack / 2;
    const QRectF glyph(card.center().x() - 15, y, 30, 30);
    GlyphCatalogue::paint(painter, u"arrow.down.doc",
                          QRectF(glyph.center() - QPointF(9.5, 9.5), QSizeF(19, 19)), look.glyph,
                          QFont::DemiBold);
    y += 30 + 7;
    painter.setPen(VantrelTheme::primary(scheme));
    painter.setFont(cardTitleFont());
    painter.drawText(QRectF(card.left(), y, card.width(), cardTitleMetrics.height()), Qt::AlignCenter,
                     cardTitle(isDropTarget_));
    y += cardTitleMetrics.height() + 7;
    painter.setPen(secondary);
    painter.setFont(cardNoteFont());
    painter.drawText(QRectF(card.left(), y, card.width(), noteMetrics.height()), Qt::AlignCenter,
                     QStringLiteral("Keeps references to your last 10 files"));
}

} // namespace vantrel
