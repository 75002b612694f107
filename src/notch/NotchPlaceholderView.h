#pragma once

#include <QPointer>
#include <QWidget>

namespace vantrel {

class NotchPanelController;
class VantrelPreferences;

// What the notch panel shows until its surface exists: an opaque black body that opens on hover
// and click and closes when the pointer leaves, the way the surface will.
class NotchPlaceholderView final : public QWidget {
    Q_OBJECT
public:
    NotchPlaceholderView(NotchPanelController& controller, const VantrelPreferences& preferences,
                         QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    // Weak: a panel let go by its controller lives on until the event loop deletes it.
    QPointer<NotchPanelController> controller_;
    const VantrelPreferences& preferences_;
};

} // namespace vantrel
