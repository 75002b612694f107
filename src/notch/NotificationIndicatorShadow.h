#pragma once

#include "kit/VantrelShadow.h"

#include <QImage>
#include <QWidget>

namespace vantrel {

// The red glow around the alert dot. The dot's window is only as large as the dot and clips to
// its circle, so the glow is a window of its own just under it, reaching past the dot on every
// side. It takes no clicks: what lies under the glow stays within reach.
class NotificationIndicatorShadow final : public QWidget {
    Q_OBJECT
public:
    // Red at 85 % opacity, blurred by 5, not offset.
    static VantrelShadow::Look look();

    NotificationIndicatorShadow();

    // Places the glow around a dot window at `dotFrame` and shows it; the dot goes above it.
    void place(const QRect& dotFrame);
    // The glow's window for a dot window at `dotFrame`.
    static QRect frame(const QRect& dotFrame);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QImage glow_;
};

} // namespace vantrel
