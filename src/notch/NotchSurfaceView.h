#pragma once

#include "kit/Navigation.h"
#include "kit/VantrelTheme.h"
#include "notch/NotchExpandedShape.h"
#include "notch/NotchSurfaceBody.h"
#include "notch/NotchSurfaceContext.h"
#include "notch/NotchSurfaceLayout.h"
#include "notch/NotchSurfaceLook.h"

#include <QImage>
#include <QPointer>
#include <QWidget>
#include <vector>

class QMimeData;
class QVariantAnimation;

namespace vantrel {

class NotchContentCrossFade;
class NotchPanelController;
class NotchSurfaceButton;
class SystemAppearance;
class VantrelPanel;
class VantrelPreferences;

// The root view of the notch panel. Collapsed it is the black cap that hangs from the notch, with
// a small capsule that answers the pointer and file drags; expanded it is the open surface in the
// midnight or crystal look: the home tab's glance row, or the header with the tab rail over the
// selected tab's view. It turns hovers, clicks and drops into calls on the panel controller and
// the file shelf, and keeps the now-playing poll running exactly while it is open on screen.
class NotchSurfaceView final : public QWidget {
    Q_OBJECT
public:
    static constexpr double kHoverSeconds = 0.14;

    // `appearance`, when given, tells the desktop's wish for less transparency.
    NotchSurfaceView(NotchPanelController& controller, const NotchSurfaceContext& context,
                     SystemAppearance* appearance = nullptr, QWidget* parent = nullptr);
    ~NotchSurfaceView() override;

    // The tabs the header and the rails offer, in order.
    std::vector<NotchTab> availableTabs() const;

    bool isPointerInside() const { return isPointerInside_; }
    bool isFileDragTargeted() const { return isFileDragTargeted_; }
    // The desktop's wish for less transparency: the crystal glass becomes opaque.
    bool reduceTransparency() const { return reduceTransparency_; }
    void setReduceTransparency(bool reduce);

    // The outline of the open surface, from the controller's notch geometry.
    NotchExpandedShape expandedShape() const;
    QColor accent() const;
    ColorScheme expandedColorScheme() const;

    // The selected tab's view while a tab other than home is open; null otherwise.
    QWidget* contentView() const { return content_; }
    // The previous tab's view while it fades out after a tab change; null otherwise.
    QWidget* outgoingContentView() const;
    // The pointer capsule's 0.14 s animation and the content's cross-fade, for tests to step.
    QVariantAnimation* hoverAnimation() const { return hoverAnimation_; }
    QVariantAnimation* contentFade() const;
    // How far the capsule has grown, 0 to 1.
    double hoverProgress() const { return hoverProgress_; }

Q_SIGNALS:
    void fileDragTargetedChanged(bool targeted);

protected:
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dragLeaveEvent(QDragLeaveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void hoverChanged(bool hovering);
    // The hover look alone, the panel left as it is.
    void showHover(bool hovering);
    // Whether `popup` is a menu (or a chooser) opened from a control of this view.
    bool opensFromHere(const QWidget& popup) const;
    // Whether `object` is where a tab takes typed text: a line edit or a text editor's viewport.
    static bool isTextInput(const QObject* object);
    void setFileDragTargeted(bool targeted);
    // The drop action: answers whether the drop was taken.
    bool acceptDrop(const QMimeData& data);
    void expandedChanged();
    void syncMediaPolling();
    void lookAppeared();
    // Asks the panel for a blur behind the glass while the crystal look is open, and follows
    // whether the desktop gives one.
    void syncBlurBehind();
    bool isBlurredBehind() const;
    void settingChanged();
    void refreshArtwork();
    void selectedTabChanged();
    void rebuildRails();
    void replaceContent();
    void relayout();
    void updateButtonStates();

    void paintCompact(QPainter& painter);
    void paintExpanded(QPainter& painter);
    void paintArtworkTile(QPainter& painter, const QRectF& tile) const;
    void paintIdentityTexts(QPainter& painter, const QRectF& column, const QString& title,
                            const QString& subtitle, double titleSize, double spacing) const;

    NotchSurfaceButton* makeRailButton(NotchTab tab, bool inHeader);

    NotchPanelController& controller_;
    NotchSurfaceContext context_;
    VantrelPreferences& preferences_;

    bool isPointerInside_ = false;
    bool isFileDragTargeted_ = false;
    bool reduceTransparency_ = false;
    double hoverProgress_ = 0;

    QVariantAnimation* hoverAnimation_;
    NotchContentCrossFade* crossFade_;
    NotchSurfaceButton* collapseButton_;
    std::vector<NotchSurfaceButton*> headerRail_;
    std::vector<NotchSurfaceButton*> glanceRail_;
    std::vector<NotchTab> railTabs_;
    std::vector<NotchSurfaceButton*> mediaButtons_;
    NotchSurfaceButton* calendarButton_;
    QPointer<QWidget> content_;
    // The panel that hosts the surface, once it is shown in one.
    QPointer<VantrelPanel> panel_;
    // The menu open over the panel, which holds it open until the menu closes.
    QPointer<QWidget> watchedPopup_;
    NotchTab contentTab_ = NotchTab::home;
    // The look on screen, to tell when the setting brings the other one.
    NotchAppearance shownAppearance_ = NotchAppearance::crystal;

    std::optional<QImage> artwork_;
    NotchSurfaceBody::Key bodyKey_;
    QImage body_;
    mutable qint64 artworkKey_ = 0;
    mutable QImage artworkTile_;
};

} // namespace vantrel
