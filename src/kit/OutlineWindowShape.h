#pragma once

#include <QObject>
#include <QPainterPath>
#include <QPointer>
#include <QPolygonF>
#include <QRegion>
#include <optional>

class QWidget;

namespace vantrel {

class CompositorState;

// Keeps a translucent window's shape (the pixels it shows and takes clicks in) in step with the
// outline of what it draws and with whether a compositor runs. Without one every pixel a window
// shows is drawn opaque, so the clear parts around the outline would show black: the window then
// shows only the pixels whose centres the outline covers. With one, the window either keeps every
// pixel the outline touches, so antialiased edges stay whole and clicks beside it reach the windows
// below, or shows all of itself (what it draws beyond the outline, a bubble, say, is then seen).
class OutlineWindowShape final : public QObject {
    Q_OBJECT
public:
    enum class WhileCompositing { outlineCoverage, wholeWindow };

    OutlineWindowShape(QWidget& window, WhileCompositing whileCompositing);

    // In the window's own coordinates; none: the whole window.
    void setOutline(std::optional<QPainterPath> outline);
    const std::optional<QPainterPath>& outline() const { return outline_; }
    // None counts as a compositor that blends. Followed as it starts and stops.
    void setCompositorState(CompositorState* compositor);
    // Whether a compositor blends the window's partly covered pixels over what lies below.
    bool blendsEdges() const;

    // Every pixel the outline covers a part of, so that antialiased edges are not cut off. An
    // edge that only touches a row's boundary does not claim the row. Of an outline of several
    // shapes, what each covers.
    static QRegion coverage(const QPainterPath& outline);
    // The pixels whose centres lie inside the outline: what a fill without antialiasing paints,
    // for a desktop that cannot blend a partly covered pixel over what lies below.
    static QRegion solidCoverage(const QPainterPath& outline);

Q_SIGNALS:
    // A compositor started or stopped; the shape has followed. A native window made while none
    // ran is drawn without transparency of its own, which a compositor that starts then takes
    // for clear: the window wants a new one.
    void compositingChanged();

private:
    void apply();
    // Of one closed polygon, row by row from its leftmost to its rightmost point.
    static QRegion polygonCoverage(const QPolygonF& polygon);

    QWidget& window_;
    WhileCompositing whileCompositing_;
    std::optional<QPainterPath> outline_;
    QPointer<CompositorState> compositor_;
};

} // namespace vantrel
