#include "kit/VantrelPanel.h"

#include "kit/OutlineWindowShape.h"
#include "platform/BackdropBlur.h"
#include "platform/InputFocus.h"
#include "platform/WindowStacking.h"

#include <QApplication>
#include <QGraphicsEffect>
#include <QPainter>
#include <QVBoxLayout>
#include <QWindow>

namespace vantrel {

// Draws the container and its children through the outline: the rendered content becomes the
// brush that fills the outline, so the edge is antialiased in one pass.
class VantrelPanel::OutlineEffect final : public QGraphicsEffect {
public:
    using QGraphicsEffect::QGraphicsEffect;

    void setOutline(const std::optional<QPainterPath>& outline, bool smooth) {
        outline_ = outline;
        smooth_ = smooth;
        update();
    }

protected:
    void draw(QPainter* painter) override {
        if (!outline_) {
            drawSource(painter);
            return;
        }
        if (outline_->isEmpty()) return;
        QPoint offset;
        const QPixmap pixmap = sourcePixmap(Qt::LogicalCoordinates, &offset, QGraphicsEffect::NoPad);
        if (pixmap.isNull()) return;
        QBrush brush(pixmap);
        brush.setTransform(QTransform::fromTranslate(offset.x(), offset.y()));
        // The brush repeats its pixmap; the content ends where the container does.
        const QRectF source(offset, pixmap.deviceIndependentSize());
        const QPainterPath outline =
            source.contains(outline_->boundingRect()) ? *outline_ : outline_->intersected(rectPath(source));
        painter->save();
        painter->setRenderHint(QPainter::Antialiasing, smooth_);
        painter->setPen(Qt::NoPen);
        painter->setBrush(brush);
        painter->drawPath(outline);
        painter->restore();
    }

private:
    static QPainterPath rectPath(const QRectF& rect) {
        QPainterPath path;
        path.addRect(rect);
        return path;
    }

    std::optional<QPainterPath> outline_;
    bool smooth_ = true;
};

VantrelPanel::VantrelPanel(InputFocus& focus, QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint |
                          Qt::NoDropShadowWindowHint | Qt::X11BypassWindowManagerHint),
      focus_(focus), container_(new QWidget(this)), effect_(new OutlineEffect(container_)),
      shape_(new OutlineWindowShape(*this, OutlineWindowShape::WhileCompositing::outlineCoverage)) {
    // Bypassing the window manager keeps the panel on every workspace, lets it sit over the top
    // bar, and leaves the keyboard focus where it is until the panel asks for it.
    setAttribute(Qt::WA_TranslucentBackground);
    setAttribute(Qt::WA_ShowWithoutActivating);
    // Qt shows help only over the active window, which the panel seldom is: it leaves the
    // keyboard where it is.
    setAttribute(Qt::WA_AlwaysShowToolTips);
    setFocusPolicy(Qt::NoFocus);
    container_->setGraphicsEffect(effect_);
    auto* inner = new QVBoxLayout(container_);
    inner->setContentsMargins(0, 0, 0, 0);
    inner->setSpacing(0);
    connect(shape_, &OutlineWindowShape::compositingChanged, this, [this] {
        applyOutline();
        // A window made while no compositor ran is drawn without transparency of its own,
        // which a compositor that starts then takes for clear: the panel gets a new one.
        const bool shown = isVisible();
        hide();
        destroy(true, true);
        if (shown) orderFront();
    });
}

// The stacking watches the window weakly: a panel may be deleted later than the stacking.
VantrelPanel::~VantrelPanel() = default;

void VantrelPanel::setContentView(QWidget* view) {
    delete content_;
    content_ = view;
    if (view) {
        view->setParent(container_);
        container_->layout()->addWidget(view);
        view->show();
    }
}

void VantrelPanel::setFrame(const QRect& frame) {
    setGeometry(frame);
    container_->setGeometry(QRect(QPoint(0, 0), frame.size()));
}

void VantrelPanel::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    container_->setGeometry(rect());
}

void VantrelPanel::setOutline(std::optional<QPainterPath> outline) {
    shape_->setOutline(std::move(outline));
    applyOutline();
}

const std::optional<QPainterPath>& VantrelPanel::outline() const {
    return shape_->outline();
}

void VantrelPanel::setCompositorState(CompositorState* compositor) {
    shape_->setCompositorState(compositor);
    applyOutline();
}

void VantrelPanel::setStacking(WindowStacking* stacking) {
    if (stacking_) stacking_->release(*this);
    stacking_ = stacking;
    if (stacking_ && isVisible()) stacking_->keepAbove(*this);
}

void VantrelPanel::setBackdropBlur(BackdropBlur* blur) {
    if (blur_) {
        disconnect(blur_, nullptr, this, nullptr);
        if (blurRegion_) blur_->clearBlur(*this);
        blurRegion_.reset();
    }
    blur_ = blur;
    if (blur) connect(blur, &BackdropBlur::availabilityChanged, this, &VantrelPanel::applyBlur);
    applyBlur();
}

void VantrelPanel::setWantsBlurBehind(bool wants) {
    if (wantsBlur_ == wants) return;
    wantsBlur_ = wants;
    applyBlur();
}

void VantrelPanel::applyBlur() {
    const std::optional<QPainterPath>& outline = shape_->outline();
    const bool blurred = wantsBlur_ && blur_ && blur_->isAvailable() && shape_->blendsEdges();
    // The blur follows the outline: an empty list would ask for the whole window, the clear band
    // beside the notch included, and an empty outline shows nothing to blur behind.
    const std::optional<QRegion> region = blurred && !(outline && outline->isEmpty())
                                              ? std::optional(outline ? mask() : QRegion())
                                              : std::nullopt;
    if (blur_ && region != blurRegion_) {
        // A window not made yet is asked once it is shown.
        if (region && testAttribute(Qt::WA_WState_Created)) {
            blur_->blurBehind(*this, *region);
            blurRegion_ = region;
        } else if (!region && blurRegion_) {
            blur_->clearBlur(*this);
            blurRegion_.reset();
        }
    }
    if (blurred != blurred_) {
        blurred_ = blurred;
        Q_EMIT blurredBehindChanged(blurred);
    }
}

void VantrelPanel::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    // Presses are seen on the native window before any child takes them, wherever they land.
    if (QWindow* window = windowHandle(); window && window != pressWatched_) {
        window->installEventFilter(this);
        pressWatched_ = window;
    }
    // The native window may be new (a compositor came or went): it carries no request yet.
    blurRegion_.reset();
    applyBlur();
}

bool VantrelPanel::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonPress && watched == pressWatched_) requestKey();
    return QWidget::eventFilter(watched, event);
}

void VantrelPanel::requestKey() {
    Q_EMIT keyRequested();
}

void VantrelPanel::applyOutline() {
    effect_->setOutline(shape_->outline(), shape_->blendsEdges());
    applyBlur();
}

void VantrelPanel::orderFront() {
    if (!isVisible()) show();
    raise();
    if (stacking_) stacking_->keepAbove(*this);
}

void VantrelPanel::orderOut() {
    resignKey();
    hide();
}

void VantrelPanel::makeKey() {
    // Qt hears late that the focus came or went: the server says whether the panel has it. Asked
    // again before Qt heard that it came, the panel is not whoever had the keys before it.
    const auto own = static_cast<quint32>(winId());
    if (!focus_.holds(own) && (!isKey() || focus_.current())) {
        previousFocus_ = focus_.current();
        previousActiveWindow_ = QApplication::activeWindow();
    }
    tookKey_ = true;
    askForKey();
}

void VantrelPanel::askForKey() {
    orderFront();
    takeKey();
}

void VantrelPanel::takeKey() {
    activateWindow();
    // A window the manager does not know takes the focus from the server itself. Qt's request
    // carries the time of the last event it saw, which the server refuses when the focus has
    // changed since: after the keys were handed back to another program, say.
    if (isVisible() && focus_.current()) focus_.give(static_cast<quint32>(winId()));
}

// Takes the keys back once more when the window manager moves them away as a window of ours
// closes over the panel: it does so only after the window has gone, maybe after the panel asked
// for them. Given up at the first such move, at the user's next key or click, or as the panel goes.
class VantrelPanel::KeyReclaim final : public QObject {
public:
    explicit KeyReclaim(VantrelPanel& panel) : QObject(&panel), panel_(panel) {
        qApp->installEventFilter(this);
        connect(qApp, &QGuiApplication::focusWindowChanged, this, [this](QWindow* window) {
            if (done_ || window == panel_.windowHandle()) return;
            done_ = true;
            if (panel_.isVisible() && panel_.tookKey_) panel_.askForKey();
            deleteLater();
        });
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        const QEvent::Type type = event->type();
        if (type == QEvent::KeyPress || type == QEvent::MouseButtonPress ||
            (watched == &panel_ && type == QEvent::Hide)) {
            done_ = true;
            deleteLater();
        }
        return false;
    }

private:
    VantrelPanel& panel_;
    bool done_ = false;
};

void VantrelPanel::reclaimKey() {
    if (!tookKey_) return;
    if (!isKey()) askForKey();
    if (!reclaim_) reclaim_ = new KeyReclaim(*this);
}

void VantrelPanel::resignKey() {
    if (!tookKey_) return;
    tookKey_ = false;
    // Qt may take the focus for gone while the server still gives the keys to the panel (a grab
    // elsewhere sends it a focus-out); the server's word counts then.
    if (!isKey() && !focus_.holds(static_cast<quint32>(winId()))) return;
    if (previousFocus_ && *previousFocus_ != static_cast<quint32>(winId())) {
        focus_.give(*previousFocus_);
    } else if (previousActiveWindow_ && previousActiveWindow_ != this) {
        previousActiveWindow_->activateWindow();
    } else if (QWidget* focus = QApplication::focusWidget(); focus && isAncestorOf(focus)) {
        focus->clearFocus();
    }
    previousFocus_.reset();
    previousActiveWindow_ = nullptr;
}

bool VantrelPanel::isKey() const {
    return isActiveWindow();
}

} // namespace vantrel
