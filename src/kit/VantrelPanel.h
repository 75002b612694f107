#pragma once

#include <QPainterPath>
#include <QPointer>
#include <QRegion>
#include <QWidget>
#include <optional>

class QWindow;

namespace vantrel {

class BackdropBlur;
class InputFocus;
class CompositorState;
class OutlineWindowShape;
class WindowStacking;

// A borderless window that floats above every other window on every workspace, may sit over the
// desktop's top bar, and takes the keyboard focus only when asked (makeKey). Its content is one
// replaceable view inside a container; an optional outline clips what it shows, with smooth
// edges, and the window shows and takes clicks only within it, so clicks elsewhere reach the
// windows below.
class VantrelPanel : public QWidget {
    Q_OBJECT
    Q_PROPERTY(QRect frame READ geometry WRITE setFrame)
public:
    // `focus` tells who holds the keyboard focus before makeKey() and takes it back after.
    explicit VantrelPanel(InputFocus& focus, QWidget* parent = nullptr);
    ~VantrelPanel() override;

    // Replaces the content (the panel owns it); it fills the panel.
    void setContentView(QWidget* view);
    QWidget* contentView() const { return content_; }
    // What holds the content and carries the outline.
    QWidget* container() const { return container_; }

    // Moves and sizes the window; the content follows at once, not when the desktop confirms.
    void setFrame(const QRect& frame);

    // The outline in the panel's own coordinates; none: the whole panel.
    void setOutline(std::optional<QPainterPath> outline);
    const std::optional<QPainterPath>& outline() const;

    // Whether a compositor blends the outline's antialiased edge over what lies below; none counts
    // as one that does. Without one the window shows only the pixels the outline mostly covers,
    // drawn solid, as a clear or half-clear pixel would show black. Followed as it starts and stops.
    void setCompositorState(CompositorState* compositor);
    // What keeps the panel above ordinary windows while it is shown; none: raising alone.
    void setStacking(WindowStacking* stacking);
    // What blurs the windows behind the panel where the desktop offers it; none: nothing does.
    void setBackdropBlur(BackdropBlur* blur);
    // Whether the content wants what lies behind the outline blurred, for a translucent look.
    void setWantsBlurBehind(bool wants);
    bool wantsBlurBehind() const { return wantsBlur_; }
    // Whether what lies behind the outline is blurred now: wanted, offered by the desktop and
    // blended by a compositor. Where it is not, a translucent look must hide what lies behind
    // by itself, or the text of the windows below reads through it.
    bool isBlurredBehind() const { return blurred_; }

    // Shows the panel above the others without taking the keyboard focus.
    void orderFront();
    virtual void orderOut();

    // Takes the keyboard focus, remembering who had it.
    void makeKey();
    // Takes the keyboard focus again after a window of our own that opened over the panel (a
    // chooser) has closed and the desktop gave the focus elsewhere; whoever had it before
    // makeKey() still gets it back after. Nothing happens unless makeKey() gave the panel the keys.
    void reclaimKey();
    // Gives the keyboard focus back to whoever had it before makeKey(), when the panel still
    // holds it.
    void resignKey();
    bool isKey() const;
    // Whether the panel is taking the keys back after a window of its own closed over it: the
    // desktop may move them elsewhere meanwhile, which is no user's choice.
    bool isReclaimingKey() const { return reclaim_ != nullptr; }
    // Asks the owner to make the panel the key window, for content that needs the keys now (an
    // alert coming up); a mouse button pressed anywhere in the panel asks the same. The owner
    // decides: nothing happens unless it answers keyRequested().
    void requestKey();

Q_SIGNALS:
    void blurredBehindChanged(bool blurred);
    void keyRequested();

protected:
    InputFocus& inputFocus() const { return focus_; }
    // The last step of makeKey(), once the panel is in front: activates its window.
    virtual void takeKey();
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    class OutlineEffect;
    class KeyReclaim;

    // Draws the content through the outline, with smooth edges where a compositor blends them.
    void applyOutline();
    void applyBlur();
    void askForKey();

    InputFocus& focus_;
    QWidget* container_;
    OutlineEffect* effect_;
    QPointer<QWidget> content_;
    OutlineWindowShape* shape_;
    WindowStacking* stacking_ = nullptr;
    QPointer<BackdropBlur> blur_;
    bool wantsBlur_ = false;
    bool blurred_ = false;
    // The region last asked of the blur, while one is asked for.
    std::optional<QRegion> blurRegion_;
    bool tookKey_ = false;
    std::optional<quint32> previousFocus_;
    QPointer<QWidget> previousActiveWindow_;
    QPointer<QObject> reclaim_;
    // The native window whose presses are watched; a new one comes with a compositor's change.
    QPointer<QWindow> pressWatched_;
};

} // namespace vantrel
