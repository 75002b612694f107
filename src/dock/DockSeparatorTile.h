#pragma once

#include "dock/DockShortcut.h"
#include "dock/DockTile.h"

#include <QPointer>
#include <QVariantAnimation>

namespace vantrel {

// A pinned separator: a thin capsule in a 13-point-wide frame that brightens while hovered; it
// is dragged like every pinned tile and removed through its menu.
class DockSeparatorTile final : public DockTile {
    Q_OBJECT
public:
    static constexpr double kFrameWidth = 13;

    DockSeparatorTile(const DockShortcut& item, const DockViewContext& context, QWidget* parent = nullptr);

    const DockShortcut& item() const { return item_; }
    void setItem(const DockShortcut& item) { item_ = item; }

    double tileWidth() const override { return kFrameWidth; }
    // The capsule: 2 points wide and 0.62 of the icon size high, centred.
    QRectF capsuleRect() const;
    // The capsule's white: 0.34 hovered, 0.18 otherwise, eased over 0.12 s.
    double fillOpacity() const { return fill_; }
    QVariantAnimation* fillAnimation() const { return fade_; }

    DockMenu menu() override;
    // A handle to drag, with nothing to press.
    bool isButton() const override { return false; }
    static DockMenu menuFor(const DockShortcut& item, DockContentStore& content);

protected:
    void paintIcon(QPainter& painter) const override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    void fadeTo(double opacity);

    DockShortcut item_;
    double fill_ = 0.18;
    QPointer<QVariantAnimation> fade_;
};

} // namespace vantrel
