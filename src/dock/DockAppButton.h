#pragma once

#include "dock/DockTile.h"
#include "dock/RunningAppItem.h"

#include <QPixmap>

namespace vantrel {

// A running application that is not pinned: its icon with the frontmost dot under it; a click
// brings it forward, its menu shows, hides, quits, force-quits, pins or reveals it.
class DockAppButton final : public DockTile {
    Q_OBJECT
public:
    DockAppButton(const RunningAppItem& app, const DockViewContext& context, QWidget* parent = nullptr);

    const RunningAppItem& app() const { return app_; }
    void setApp(const RunningAppItem& app);

    QRectF iconRect() const override;
    // The indicator's place under the icon (3.5 by 3.5).
    QRectF dotRect() const;
    // Whether the dot is drawn in a colour (only for the frontmost application).
    bool showsDot() const;

    DockMenu menu() override;
    void activate() override;

    // The application's menu, built from its record.
    static DockMenu menuFor(const RunningAppItem& app, RunningAppsStore& store, DockContentStore& content,
                            Workspace& workspace);

protected:
    void paintIcon(QPainter& painter) const override;
    void paintDecoration(QPainter& painter) const override;
    QString labelText() const override;
    void pictureSideChanged() override;

private:
    RunningAppItem app_;
    QPixmap pixmap_;
};

} // namespace vantrel
