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

} // namespace

FloatingDockView::FloatingDockView(DockViewContext context, QWidget* parent)
    : QWidget(parent), context_(std::move(context)) {
    setAttribute(Qt::WA_TranslucentBackground);
    setFocusPolicy(Qt::NoFocus);
    connect(&context_.content, &DockContentStore::itemsChanged, this, &FloatingDockView::rebuild);
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
        const QString identifier = context_.store.bundleIdentifier(item.target);
        if (!identifier.isEmpty()) pinned.insert(identifier);
    }
    std::vector<RunningAppItem> visible;
    for (const RunningAppItem& app : context_.store.apps())
        if (app.bundleIdentifier.isEmpty() || !pinned.contains(app.bundleIdentifier)) visible.push_back(app);
    return visible;
}

DockTile* FloatingDockView::takeOrMake(const QString& key, const std::function<DockTile*()>& make) {
    for (auto& [existingKey, tile] : tilesByKey_)
        if (existingKey == key && tile) return tile;
    DockTile* tile = make();
    connect(tile, &DockTile::needsDisplay, this, qOverload<>(&QWidget::update));
    tilesByKey_.emplace_back(key, tile);
    tile->show();
    return tile;
}

void FloatingDockView::rebuild() {
    const bool editing = context_.controller && context_.controller->isEditingItems();
    std::vector<Row> rows;
    std::vector<std::pair<QString, QPointer<DockTile>>> kept;
    const auto keep = [&](const QString& key, DockTile* tile, Slot slot) {
        rows.push_back({slot, tile});
        kept.emplace_back(key, tile);
    };
    FloatingDockLayout::Input input{.iconSize = context_.preferences.customDockIconSize(),
                                    .spacing = context_.preferences.customDockSpacing(),
                                    .verticalPadding = context_.preferences.customDockVerticalPadding(),
                                    .pinned = {},
                                    .running = 0,
                                    .showTrash = context_.preferences.customDockShowTrash(),
                                    .labelClearance = kLabelClearance,
                                    .horizontalClearance = kHorizontalClearance};

    for (const DockShortcut& item : context_.content.items()) {
        const QString key = QStringLiteral("pinned:") + item.id.toString();
        const auto makePinned = [this, &item]() -> DockTile* {
            DockTile* tile = item.kind == DockShortcut::Kind::separator
                                 ? static_cast<DockTile*>(new DockSeparatorTile(item, context_, this))
                                 : new DockShortcutButton(item, context_, this);
            tile->setAcceptDrops(true);
            tile->installEventFilter(this);
            tile->startDrag = [this](DockTile& dragged) { startDrag(dragged); };
            return tile;
        };
        DockTile* tile = takeOrMake(key, makePinned);
        if (auto* separator = qobject_cast<DockSeparatorTile*>(tile)) {
            separator->setItem(item);
        } else if (auto* button = qobject_cast<DockShortcutButton*>(tile)) {
            button->setItem(item);
            button->setEditing(editing);
        }
        const Slot slot = item.kind == DockShortcut::Kind::separator ? Slot::separator : Slot::pinned;
        input.pinned.push_back(slot);
        keep(key, tile, slot);
    }
    const std::vector<RunningAppItem> running = visibleRunningApps();
    for (std::size_t i = 0; i < running.size(); ++i) {
        if (!input.pinned.empty() && i == 0) rows.push_back({Slot::divider, nullptr});
        const RunningAppItem& app = running[i];
        const QString key = QStringLiteral("app:") + QString::number(app.id);
        DockTile* tile = takeOrMake(key, [this, &app] { return new DockAppButton(app, context_, this); });
        static_cast<DockAppButton*>(tile)->setApp(app);
        keep(key, tile, Slot::running);
    }
    input.running = int(running.size());
    if (!input.pinned.empty() || !running.empty()) rows.push_back({Slot::divider, nullptr});
    keep(QStringLiteral("shelf"),
         takeOrMake(QStringLiteral("shelf"), [this] { return new FileShelfDockButton(context_, this); }),
         Slot::shelf);
    if (input.showTrash)
        keep(QStringLiteral("trash"),
             takeOrMake(QStringLiteral("trash"), [this] { return new TrashDockButton(context_, this); }),
             Slot::trash);

    // Tiles no longer in the row go; one being dragged goes once its drag has ended.
    for (auto& [key, tile] : tilesByKey_) {
        const QString& gone = key; // a structured binding cannot be captured by every compiler we build with
        const bool stays =
            std::any_of(kept.begin(), kept.end(), [&](const auto& entry) { return entry.first == gone; });
        if (!stays && tile) {
            tile->hide();
            tile->deleteLater();
        }
    }
    tilesByKey_ = std::move(kept);
    rows_ = std::move(rows);
    layout_ = FloatingDockLayout::make(input);
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
