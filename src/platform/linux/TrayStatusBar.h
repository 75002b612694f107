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
    void setLength(double length) override { length_ = length; }
    double length() const override { return length_; }
    void setVisible(bool visible) override;
    bool isVisible() const override { return visible_; }
    void setClickHandler(std::function<void(StatusItemClick)> handler) override {
        handler_ = std::move(handler);
    }
    void popUpMenu(QMenu& menu) override;
    std::optional<QRect> frameOnScreen() const override;

private:
    void showIfWanted();

    QString autosaveName_;
    QSystemTrayIcon* tray_ = nullptr;
    double length_ = kVariableLength;
    bool visible_ = true;
    std::function<void(StatusItemClick)> handler_;
};

class TrayStatusBar final : public StatusBar {
public:
    std::unique_ptr<StatusItem> createItem(const QString& autosaveName) override;
};

} // namespace vantrel
