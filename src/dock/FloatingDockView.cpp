#include "dock/FloatingDockView.h"

#include "core/VantrelPreferences.h"
#include "dock/CustomDockController.h"
#include "dock/DockAppButton.h"
#include "dock/DockContentStore.h"
#include "dock/DockReorderDropDelegate.h"
#include "dock/DockSeparatorTile.h"
#include "dock/DockShortcutButton.h"
#include "dock/FileShelfDockButton.h"
#include "dock/RunningAppsStore.h"
#include "dock/TrashDockButton.h"
#include "kit/VantrelTheme.h"

#include <QDrag>
#include <QDragEnterEvent>
#include <QLinearGradient>
#include <QMimeData>
#include <QPainter>
#include <QPainterPath>
#include <QSet>
#include <cmath>

namespace vantrel {

namespace {

using Slot = FloatingDockLayout::Slot;
using Setting = VantrelPreferences::Setting;

// The settings that change what the row holds or how it is laid out.
bool changesRow(Setting setting) {
    switch (setting) {
    case Setting::customDockIconSize:
    case Setting::customDockSpacing:
    case Setting::customDockVerticalPadding:
    case Setting::customDockShowRunning:
    case Setting::customDockShowTrash:
    case Setting::customDockShowIndicators:
        return true;
    default:
        return false;
    }
}

// The material behind the surface: no blur on X11, so a darker or lighter translucent fill stands
// for the thinner or thicker glass.
double materialAlpha(GlassStyle style) {
    switch (style) {
    case GlassStyle::quiet:
        return 0.38;
    case GlassStyle::deep:
        return 0.72;
    default:
        return 0.55;
    }
}

// Whether a running application's tile would draw `a` and `b` alike and offer the same menu.
bool sameApp(const RunningAppItem& a, const RunningAppItem& b) {
    return a.id == b.id && a.name == b.name && a.icon.cacheKey() == b.icon.cacheKey() &&
           a.bundleIdentifier == b.bundleIdentifier && a.bundleURL == b.bundleURL &&
           a.isActive == b.isActive && a.isHidden == b.isHidden && a.processVerified == b.processVerified;
}

bool sameLayout(const FloatingDockLayout& a, const FloatingDockLayout& b) {
    return a.size == b.size && a.surface == b.surface &&
           std::equal(a.cells.begin(), a.cells.end(), b.cells.begin(), b.cells.end(),
                      [](const auto& x, const auto& y) { return x.slot == y.slot && x.rect == y.rect; });
}

} // namespace

FloatingDockView::FloatingDockView(DockViewContext context, QWidget* parent)
    : QWidget(parent), context_(std::move(context)) {
    setAttribute(Qt::WA_TranslucentBackground);
    setFocusPolicy(Qt::NoFocus);
    connect(&context_.content, &DockContentStore::itemsChanged, this, [this] {
        forgetUnpinnedIdentifiers();
        rebuild();
    });
    connect(&context_.store, &RunningAppsStore::appsChanged, this, &FloatingDockView::rebuild);
    connect(&context_.preferences, &VantrelPreferences::changed, this, [this](Setting setting) {
        if (changesRow(setting))
            rebuild();
        else
            update();
        if (setting == Setting::customDockCornerRadius) Q_EMIT surfaceChanged();
    });
    if (context_.controller)
        connect(context_.controller, &CustomDockController::isEditingItemsChanged, this,
                &FloatingDockView::rebuild);
    rebuild();
}

FloatingDockView::~FloatingDockView() = default;

std::vector<RunningAppItem> FloatingDockView::visibleRunningApps() const {
    if (!context_.preferences.customDockShowRunning()) return {};
    QSet<QString> pinned;
    for (const DockShortcut& item : context_.content.items()) {
        if (item.kind != DockShortcut::Kind::application) continue;
        const QString identifier = bundleIdentifierOf(item.target);
        if (!identifier.isEmpty()) pinned.insert(identifier);
    }
    std::vector<RunningAppItem> visible;
    for (const RunningAppItem& app : context_.store.apps())
        if (app.bundleIdentifier.isEmpty() || !pinned.contains(app.bundleIdentifier)) visible.push_back(app);
    return visible;
}

QString FloatingDockView::bundleIdentifierOf(const QString& target) const {
    // Looked up once per entry: a change of the frontmost window rebuilds the row, and finding an
    // entry's identifier may read the desktop's files.
    const auto it = bundleIdentifiers_.constFind(target);
    if (it != bundleIdentifiers_.constEnd()) return *it;
    return *bundleIdentifiers_.insert(target, context_.store.bundleIdentifier(target));
}

void FloatingDockView::forgetUnpinnedIdentifiers() {
    QSet<QString> targets;
    for (const DockShortcut& item : context_.content.items())
        if (item.kind == DockShortcut::Kind::application) targets.insert(item.target);
    for (auto it = bundleIdentifiers_.begin(); it != bundleIdentifiers_.end();)
        it = targets.contains(it.key()) ? std::next(it) : bundleIdentifiers_.erase(it);
}

bool FloatingDockView::sameRows(const std::vector<Row>& a, const std::vector<Row>& b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](const Row& x, const Row& y) {
        return x.slot == y.slot && x.tile.data() == y.tile.data();
    });
}

DockTile* FloatingDockView::adopt(DockTile* tile) {
    connect(tile, &DockTile::needsDisplay, this, qOverload<>(&QWidget::update));
    // Its icon's hover effect and its bubble, which may reach beyond the surface.
    connect(tile, &DockTile::needsDisplay, this, &FloatingDockView::surfaceChanged);
    tile->show();
    return tile;
}

void FloatingDockView::discard(DockTile* tile) {
    // One being dragged goes once its drag has ended.
    tile->hide();
    tile->deleteLater();
}

void FloatingDockView::rebuild() {
    const bool editing = context_.controller && context_.controller->isEditingItems();
    const double iconSize = context_.preferences.customDockIconSize();
    // The tiles draw their icons at the icon size: a new size redraws every one of them.
    const bool refreshAll = iconSize != builtIconSize_;
    builtIconSize_ = iconSize;
    bool changed = refreshAll;

    // The tiles of the former row, by key; what is left of them at the end goes.
    QHash<QString, QPointer<DockTile>> former = std::move(tilesByKey_);
    tilesByKey_ = {};
    tilesByKey_.reserve(former.size());
    const auto reuse = [&](const QString& key) -> DockTile* {
        const auto it = former.find(key);
        if (it == former.end()) return nullptr;
        DockTile* tile = it.value();
        former.erase(it);
        return tile;
    };
    std::vector<Row> rows;
    rows.reserve(rows_.size());
    const auto keep = [&](const QString& key, DockTile* tile, Slot slot) {
        rows.push_back({slot, tile});
        tilesByKey_.insert(key, tile);
    };
    FloatingDockLayout::Input input{.iconSize = iconSize,
                                    .spacing = context_.preferences.customDockSpacing(),
                                    .verticalPadding = context_.preferences.customDockVerticalPadding(),
                                    .pinned = {},
                                    .running = 0,
                                    .showTrash = context_.preferences.customDockShowTrash(),
                                    .labelClearance = kLabelClearance,
                                    .horizontalClearance = kHorizontalClearance};

    // A hand-edited file may repeat an id: each occurrence is a tile of its own.
    QHash<QUuid, int> occurrences;
    const std::vector<DockShortcut>& items = context_.content.items();
    input.pinned.reserve(items.size());
    for (const DockShortcut& item : items) {
        const int occurrence = occurrences[item.id]++;
        QString key = QStringLiteral("pinned:") + item.id.toString(QUuid::WithoutBraces);
        if (occurrence > 0) key += QLatin1Char('#') + QString::number(occurrence);
        const bool separator = item.kind == DockShortcut::Kind::separator;
        DockTile* tile = reuse(key);
        if (tile && separator != bool(qobject_cast<DockSeparatorTile*>(tile))) {
            discard(tile);
            tile = nullptr;
        }
        const bool created = !tile;
        if (created) {
            tile = adopt(makePinnedTile(item));
            changed = true;
        }
        if (auto* separatorTile = qobject_cast<DockSeparatorTile*>(tile)) {
            if (!created && (refreshAll || !(separatorTile->item() == item))) {
                separatorTile->setItem(item);
                changed = true;
            }
        } else if (auto* button = qobject_cast<DockShortcutButton*>(tile)) {
            if (!created && (refreshAll || !(button->item() == item))) {
                button->setItem(item);
                changed = true;
            }
            if (button->isEditing() != editing) {
                button->setEditing(editing);
                changed = true;
            }
        }
        const Slot slot = separator ? Slot::separator : Slot::pinned;
        input.pinned.push_back(slot);
        keep(key, tile, slot);
    }
    const std::vector<RunningAppItem> running = visibleRunningApps();
    for (std::size_t i = 0; i < running.size(); ++i) {
        if (!input.pinned.empty() && i == 0) rows.push_back({Slot::divider, nullptr});
        const RunningAppItem& app = running[i];
        const QString key = QStringLiteral("app:") + QString::number(app.id);
        auto* tile = static_cast<DockAppButton*>(reuse(key));
        if (!tile) {
            tile = static_cast<DockAppButton*>(adopt(new DockAppButton(app, context_, this)));
            changed = true;
        } else if (refreshAll || !sameApp(tile->app(), app)) {
            tile->setApp(app);
            changed = true;
        }
        keep(key, tile, Slot::running);
    }
    input.running = int(running.size());
    if (!input.pinned.empty() || !running.empty()) rows.push_back({Slot::divider, nullptr});
    const auto fixedTile = [&](const QString& key, const std::function<DockTile*()>& make) {
        DockTile* tile = reuse(key);
        if (!tile) {
            tile = adopt(make());
            changed = true;
        }
        return tile;
    };
    keep(QStringLiteral("shelf"),
         fixedTile(QStringLiteral("shelf"), [this] { return new FileShelfDockButton(context_, this); }),
         Slot::shelf);
    if (input.showTrash)
        keep(QStringLiteral("trash"),
             fixedTile(QStringLiteral("trash"), [this] { return new TrashDockButton(context_, this); }),
             Slot::trash);

    for (const QPointer<DockTile>& tile : std::as_const(former)) {
        if (!tile) continue;
        discard(tile);
        changed = true;
    }

    FloatingDockLayout layout = FloatingDockLayout::make(input);
    const bool moved = changed || !sameRows(rows, rows_) || !sameLayout(layout, layout_);
    rows_ = std::move(rows);
    layout_ = std::move(layout);
    if (!moved) return;
    placeTiles();
    report(layout_.size);
    update();
    Q_EMIT surfaceChanged();
}

QPainterPath FloatingDockView::surfaceShape() const {
    const QRectF surface = layout_.surface;
    const double radius = std::min(context_.preferences.customDockCornerRadius(), surface.height() / 2);
    QPainterPath shape;
    shape.addRoundedRect(surface, radius, radius);
    return shape;
}

QPainterPath FloatingDockView::surfaceOutline() const {
    return surfaceShape().translated(contentOrigin());
}

QPainterPath FloatingDockView::shownOutline() const {
    QPainterPath outline = surfaceOutline();
    for (const Row& row : rows_) {
        if (!row.tile) continue;
        const QPainterPath beyond = row.tile->overflow();
        if (!beyond.isEmpty()) outline = outline.united(beyond.translated(row.tile->pos()));
    }
    return outline;
}

DockTile* FloatingDockView::makePinnedTile(const DockShortcut& item) {
    DockTile* tile = item.kind == DockShortcut::Kind::separator
                         ? static_cast<DockTile*>(new DockSeparatorTile(item, context_, this))
                         : new DockShortcutButton(item, context_, this);
    tile->setAcceptDrops(true);
    tile->installEventFilter(this);
    tile->startDrag = [this](DockTile& dragged) { startDrag(dragged); };
    return tile;
}

QPointF FloatingDockView::contentOrigin() const {
    return {std::floor((width() - layout_.size.width()) / 2),
            std::floor((height() - layout_.size.height()) / 2)};
}

void FloatingDockView::placeTiles() {
    const QPointF origin = contentOrigin();
    for (std::size_t i = 0; i < rows_.size() && i < layout_.cells.size(); ++i) {
        DockTile* tile = rows_[i].tile;
        if (!tile) continue;
        const QRectF cell = layout_.cells[i].rect.translated(origin);
        tile->setGeometry(QRect(QPoint(int(std::lround(cell.x())), int(std::lround(cell.y()))),
                                QSize(int(std::lround(cell.width())), int(std::lround(cell.height())))));
        // Assistive technology lists the children in their order among their siblings, which
        // otherwise is the order they were made in: kept as on screen, each badge after its tile.
        tile->raise();
        if (auto* button = qobject_cast<DockShortcutButton*>(tile)) {
            button->removeBadge()->setGeometry(button->badgeRect().translated(tile->pos()).toRect());
            button->removeBadge()->raise();
        }
    }
}

std::vector<DockTile*> FloatingDockView::tiles() const {
    std::vector<DockTile*> result;
    for (const Row& row : rows_)
        if (row.tile) result.push_back(row.tile);
    return result;
}

TrashDockButton* FloatingDockView::trashTile() const {
    for (const Row& row : rows_)
        if (auto* trash = qobject_cast<TrashDockButton*>(row.tile.data())) return trash;
    return nullptr;
}

FileShelfDockButton* FloatingDockView::shelfTile() const {
    for (const Row& row : rows_)
        if (auto* shelf = qobject_cast<FileShelfDockButton*>(row.tile.data())) return shelf;
    return nullptr;
}

void FloatingDockView::report(QSizeF size) {
    const QSizeF reduced = FloatingDockLayout::reduceContentSize(reportedSize_, size);
    if (reduced == reportedSize_) return;
    reportedSize_ = reduced;
    updateGeometry();
    if (context_.onContentSizeChange) context_.onContentSizeChange(reduced);
}

QSize FloatingDockView::sizeHint() const {
    return layout_.size.toSize();
}

void FloatingDockView::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    placeTiles();
    Q_EMIT surfaceChanged();
}

void FloatingDockView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    paintDock(painter);
}

void FloatingDockView::paintDock(QPainter& painter) const {
    const VantrelPreferences& preferences = context_.preferences;
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.translate(contentOrigin());

    const QRectF surface = layout_.surface;
    const QPainterPath shape = surfaceShape();
    // The surface, three layers at the Dock's opacity: the glass, the tint, a sheen from the top.
    painter.setOpacity(std::clamp(preferences.customDockOpacity(), 0.0, 1.0));
    painter.fillPath(shape,
                     QColor::fromRgbF(0.11f, 0.11f, 0.13f, float(materialAlpha(preferences.glassStyle()))));
    QColor tint = VantrelTheme::dockTint(preferences.customDockTint(), preferences.accent());
    tint.setAlphaF(float(std::clamp(preferences.customDockTintStrength(), 0.0, 1.0)));
    painter.fillPath(shape, tint);
    QLinearGradient sheen(surface.topLeft(), surface.bottomLeft());
    sheen.setColorAt(0, QColor::fromRgbF(1, 1, 1, 0.1f));
    sheen.setColorAt(1, QColor::fromRgbF(1, 1, 1, 0));
    painter.fillPath(shape, sheen);
    painter.setOpacity(1);
    painter.setPen(QPen(QColor::fromRgbF(1, 1, 1, 0.2f), 0.7));
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(shape);

    for (const FloatingDockLayout::Cell& cell : layout_.cells) {
        if (cell.slot != Slot::divider) continue;
        QPainterPath divider;
        divider.addRoundedRect(cell.rect, 0.5, 0.5);
        painter.fillPath(divider, QColor::fromRgbF(1, 1, 1, 0.18f));
    }
    painter.restore();

    // Tiles, the hovered one last so its grown icon stands over its neighbours, then the bubbles.
    const DockTile* hovered = nullptr;
    const auto paintOne = [&](const DockTile* tile) {
        painter.save();
        painter.translate(tile->pos());
        const std::optional<DockShortcut> item = pinnedItemOf(tile);
        if (dragging_ && item && item->id == dragging_->id) painter.setOpacity(kDraggedOpacity);
        tile->paintTile(painter);
        painter.restore();
    };
    for (const Row& row : rows_) {
        if (!row.tile) continue;
        if (row.tile->hovering())
            hovered = row.tile;
        else
            paintOne(row.tile);
    }
    if (hovered) paintOne(hovered);
    for (const Row& row : rows_) {
        if (!row.tile) continue;
        painter.save();
        painter.translate(row.tile->pos());
        row.tile->paintLabel(painter);
        painter.restore();
    }
}

std::optional<DockShortcut> FloatingDockView::pinnedItemOf(const DockTile* tile) const {
    if (auto* button = qobject_cast<const DockShortcutButton*>(tile)) return button->item();
    if (auto* separator = qobject_cast<const DockSeparatorTile*>(tile)) return separator->item();
    return std::nullopt;
}

void FloatingDockView::playControlsHaptic() const {
    if (context_.playHaptic) context_.playHaptic(HapticSurface::controls);
}

void FloatingDockView::startDrag(DockTile& tile) {
    const std::optional<DockShortcut> item = pinnedItemOf(&tile);
    if (!item) return;
    dragging_ = item;
    update();
    QPointer<DockTile> source(&tile);
    QPointer<QDrag> drag = new QDrag(&tile);
    drag->setMimeData(DockReorderDropDelegate::mimeData(*item));
    QPixmap image(tile.size() * devicePixelRatioF());
    image.setDevicePixelRatio(devicePixelRatioF());
    image.fill(Qt::transparent);
    {
        QPainter painter(&image);
        tile.paintTile(painter);
    }
    drag->setPixmap(image);
    drag->setHotSpot(QPoint(tile.width() / 2, tile.height() / 2));
    if (runDrag)
        runDrag(*drag);
    else
        drag->exec(Qt::MoveAction);
    if (drag) drag->deleteLater();
    // However the drag ended (dropped on a tile, elsewhere, or cancelled), nothing is dragged now.
    dragging_.reset();
    update();
}

bool FloatingDockView::eventFilter(QObject* watched, QEvent* event) {
    const auto type = event->type();
    if (type != QEvent::DragEnter && type != QEvent::DragMove && type != QEvent::Drop)
        return QWidget::eventFilter(watched, event);
    auto* tile = qobject_cast<DockTile*>(watched);
    const std::optional<DockShortcut> item = pinnedItemOf(tile);
    auto* drop = static_cast<QDropEvent*>(event);
    if (!item || !DockReorderDropDelegate::accepts(*drop->mimeData(), dragging_)) {
        drop->ignore();
        return true;
    }
    DockReorderDropDelegate delegate(*item, context_.content, dragging_, [this] { playControlsHaptic(); });
    drop->setDropAction(Qt::MoveAction);
    if (type == QEvent::DragEnter) {
        drop->accept();
        delegate.dropEntered();
    } else if (type == QEvent::DragMove) {
        drop->accept();
    } else {
        drop->setAccepted(delegate.performDrop());
        update();
    }
    return true;
}

} // namespace vantrel
