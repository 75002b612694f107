#pragma once

#include "dock/DockTile.h"

namespace vantrel {

// The temporary file shelf: an orange tray with a red count of what the shelf holds; a click runs
// the action the Dock hands in (the notch on its files tab).
class FileShelfDockButton final : public DockTile {
    Q_OBJECT
public:
    FileShelfDockButton(const DockViewContext& context, QWidget* parent = nullptr);

    int count() const;
    // "Temporary File Shelf, 1 item", "Temporary File Shelf, 0 items".
    static QString accessibleText(int count);
    // The red count disc over the top-right corner of the icon; empty with no file.
    QRectF badgeRect() const;

    void activate() override;

protected:
    void paintIcon(QPainter& painter) const override;

private:
    void refresh();
};

} // namespace vantrel
