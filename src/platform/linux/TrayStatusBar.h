#pragma once

#include "platform/StatusItem.h"

#include <QObject>

class QSystemTrayIcon;

namespace vantrel {

// A status item on QSystemTrayIcon. Where the desktop has no tray (a bare X server) the item is
// built all the same and simply not seen.
class TrayStatusItem final : public QObject, public StatusItem {
    Q_OBJECT
public:
    explicit TrayStatusItem(QString autosaveName);
    ~TrayStatusItem() override;

    QString autosaveName() const override { return autosaveName_; }
    void setImage(const QString& symbolName, const QString& accessibilityDescription) override;
    void setToolTip(const QString& toolTip) override;
    void setClickHandler(std::function<void(StatusItemClick)> handler) override {
        handler_ = std::move(handler);
    }
    void popUpMenu(QMenu& menu) override;
    std::optional<QRect> frameOnScreen() const override;

private:
    QString autosaveName_;
    QSystemTrayIcon* tray_ = nullptr;
    std::function<void(StatusItemClick)> handler_;
};

class TrayStatusBar final : public StatusBar {
public:
    std::unique_ptr<StatusItem> createItem(const QString& autosaveName) override;
};

} // namespace vantrel
