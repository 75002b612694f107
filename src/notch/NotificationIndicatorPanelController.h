#pragma once

#include <QObject>
#include <QPointer>
#include <QWidget>

namespace vantrel {

// Owns the small panel of the alert dot beside the notch. The dot itself (when it shows, where it
// sits) is not drawn yet: the panel is created on first need by the notch and released at stop.
class NotificationIndicatorPanelController : public QObject {
    Q_OBJECT
public:
    explicit NotificationIndicatorPanelController(QObject* parent = nullptr) : QObject(parent) {}
    ~NotificationIndicatorPanelController() override { delete panel_; }

    QWidget* panel() const { return panel_; }
    // Hides the dot's panel; it stays for the next showing.
    virtual void orderOutPanel() {
        if (panel_) panel_->hide();
    }
    // Hides the dot's panel and lets it go.
    virtual void releasePanel() {
        if (panel_) panel_->hide();
        delete panel_;
    }

protected:
    QPointer<QWidget> panel_;
};

} // namespace vantrel
