#pragma once

#include <QPainterPath>
#include <QPointer>
#include <QRect>
#include <QWidget>
#include <QWindow>
#include <optional>
#include <vector>

namespace vantrel {

class CompositorState;
class OutlineWindowShape;
class WindowStacking;

// The replacement Dock's window: translucent, without frame, on top of ordinary windows and never
// focused, on every workspace. On X11 it is the desktop's dock (window type dock, sticky), set
// before it is first mapped; it reserves no screen space. Its frame is never constrained to a
// screen, so it can stand mostly below the bottom edge while slid out; where that edge borders
// another screen, it is seen only within the area it is given. It shows its tiles'
// tooltips although it is never the active window. Its shape is what the Dock draws: the surface,
// and a tile's bubble or moved icon while they show. Without a compositor the clear band around
// it would show black; with one, a window manager shadows the window's shape (xfwm4 none at all
// for a shaped window), not the clear band.
class FloatingDockPanel final : public QWidget {
    Q_OBJECT
public:
    // Above ordinary windows (floating), and above everything while the desktop shows an overview.
    static constexpr int kFloatingLevel = 3;
    static constexpr int kOverviewLevel = 1000;

    explicit FloatingDockPanel(QWidget* parent = nullptr);

    // Replaces the content (the panel owns it); it fills the panel. The panel's shape follows
    // where a Dock view draws.
    void setContentView(QWidget* view);
    QWidget* contentView() const { return content_; }

    // Moves and sizes the window at once, redrawing.
    void setFrame(const QRect& frame);
    QRect frame() const { return geometry(); }

    // Shows it above the others without taking the keyboard focus; the first time, the native
    // window is marked as a dock before it is mapped.
    void orderFront();
    void orderOut();

    // Where on the desktop the panel may be seen, in the screens' coordinates; none: wherever it
    // stands. What lies outside is cut from its shape; with nothing of it left to see, the shown
    // panel is unmapped until there is again.
    void setVisibleArea(std::optional<QRect> area);
    const std::optional<QRect>& visibleArea() const { return visibleArea_; }

    int level() const { return level_; }
    // The overview level also brings the panel to the front.
    void setLevel(int level);
    // Whether the desktop took the dock mark, asked of the stacking before the first showing
    // (false without a stacking or away from X11).
    bool isMarkedAsDock() const { return markedAsDock_; }
    // What keeps the panel above other windows while it is shown, also where no window manager
    // reads the dock type; none: raising when shown alone.
    void setStacking(WindowStacking* stacking);
    // Whether a compositor blends the clear parts over what lies below; none counts as one that
    // does. With one the shape keeps every pixel the Dock touches, so antialiased edges stay
    // whole; without, only those it fills. Followed as it starts and stops.
    void setCompositorState(CompositorState* compositor);

protected:
    void resizeEvent(QResizeEvent* event) override;
    // A close request from the window manager (its close action, Alt+F4) is refused: the Dock
    // comes and goes with its setting, and nothing else would bring it back.
    void closeEvent(QCloseEvent* event) override;
    // Hears from the native window where the desktop has moved it.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // The shape at `size`: what the Dock draws, within the visible area as seen from `origin`;
    // `cutAway` tells whether nothing of it is left to map.
    std::optional<QPainterPath> shapeAt(QPoint origin, QSize size, bool* cutAway) const;
    // The shape for wherever the window may stand on the desktop now: where it was last seen and
    // every place it was asked to move to since, `target` the last of them.
    std::optional<QPainterPath> shapeWhereItMayStand(QPoint target, bool* cutAway) const;
    void followSurface();
    void setCutAway(bool cutAway);

    QPointer<QWidget> content_;
    int level_ = kFloatingLevel;
    bool prepared_ = false;
    // Ordered front (not out), whether or not its visible area leaves anything to map.
    bool wantsShown_ = false;
    std::optional<QRect> visibleArea_;
    bool cutAway_ = false;
    // A window manager carries out a move some time after it was asked for, while a new shape
    // takes at once: the moves asked for and not yet seen done, oldest first, and where the
    // window was last seen standing before them.
    static constexpr std::size_t kMovesKeptInFlight = 16;
    std::vector<QPoint> movesInFlight_;
    QPoint seenAt_;
    // The native window whose moves are heard; a new one is made when a compositor starts.
    QPointer<QWindow> heard_;
    bool markedAsDock_ = false;
    WindowStacking* stacking_ = nullptr;
    OutlineWindowShape* shape_;
};

} // namespace vantrel
