#pragma once

#include "dock/DockShortcut.h"
#include "dock/DockViewContext.h"
#include "dock/FloatingDockLayout.h"
#include "dock/RunningAppItem.h"

#include <QHash>
#include <QPainterPath>
#include <QPointer>
#include <QWidget>
#include <functional>
#include <optional>
#include <vector>

class QDrag;

namespace vantrel {

class DockTile;
class TrashDockButton;
class FileShelfDockButton;

// The replacement Dock's row: pinned tiles, the running applications that are not pinned, the
// file shelf and the Trash on a rounded translucent surface, with a clear band above for the
// name bubbles. Pinned tiles reorder by dragging. It reports its measured size, from which the
// controller sizes the panel.
class FloatingDockView final : public QWidget {
    Q_OBJECT
public:
    explicit FloatingDockView(DockViewContext context, QWidget* parent = nullptr);
    ~FloatingDockView() override;

    static constexpr double kLabelClearance = 28;
    static constexpr double kHorizontalClearance = 50;
    static constexpr double kDraggedOpacity = 0.35;

    // The running applications shown: none while running tiles are off, else the store's list
    // without the pinned applications.
    std::vector<RunningAppItem> visibleRunningApps() const;
    const FloatingDockLayout& layout() const { return layout_; }
    // Where the content stands in the view (centred).
    QPointF contentOrigin() const;
    // The rounded surface behind the row, in the view's coordinates.
    QPainterPath surfaceOutline() const;
    // Where the Dock draws now, in the view's coordinates: the surface, and beyond it a tile's
    // moved icon or its name bubble while they show.
    QPainterPath shownOutline() const;
    // The tiles in row order (dividers have none).
    std::vector<DockTile*> tiles() const;
    TrashDockButton* trashTile() const;
    FileShelfDockButton* shelfTile() const;
    // The size last reported.
    QSizeF reportedSize() const { return reportedSize_; }

    const std::optional<DockShortcut>& dragging() const { return dragging_; }
    // Drags `tile`'s item (a pinned tile): marks it dragged, runs the drag and clears the mark
    // when the drag ends, however it ended.
    void startDrag(DockTile& tile);
    // Runs a drag to its end; the platform's QDrag::exec, replaced in tests.
    std::function<Qt::DropAction(QDrag&)> runDrag;

    // Reads the stores and settings again and lays the row out.
    void rebuild();
    // Draws the whole Dock into `painter` (the view's own paint, and tests and benchmarks).
    void paintDock(QPainter& painter) const;

    QSize sizeHint() const override;

Q_SIGNALS:
    // The surface's outline moved or changed its size or corners, or a tile may draw beyond it
    // in other places than before.
    void surfaceChanged();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Row {
        FloatingDockLayout::Slot slot;
        QPointer<DockTile> tile;
    };

    static bool sameRows(const std::vector<Row>& a, const std::vector<Row>& b);
    DockTile* adopt(DockTile* tile);
    static void discard(DockTile* tile);
    DockTile* makePinnedTile(const DockShortcut& item);
    QString bundleIdentifierOf(const QString& target) const;
    void forgetUnpinnedIdentifiers();
    void placeTiles();
    // The surface in the content's coordinates.
    QPainterPath surfaceShape() const;
    void report(QSizeF size);
    void playControlsHaptic() const;
    std::optional<DockShortcut> pinnedItemOf(const DockTile* tile) const;

    DockViewContext context_;
    FloatingDockLayout layout_;
    std::vector<Row> rows_;
    // The tiles of the row by what they show: "pinned:<id>", "app:<pid>", "shelf", "trash".
    QHash<QString, QPointer<DockTile>> tilesByKey_;
    // Desktop-file ids of pinned applications' entries, by target path.
    mutable QHash<QString, QString> bundleIdentifiers_;
    double builtIconSize_ = -1;
    std::optional<DockShortcut> dragging_;
    QSizeF reportedSize_;
    bool rebuildQueued_ = false;
};

} // namespace vantrel
