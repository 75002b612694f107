#pragma once

#include "platform/StatusItem.h"

#include <QAction>
#include <QMenu>
#include <QStringList>
#include <vector>

namespace vantrel::test {

class RecordingStatusItem final : public StatusItem {
public:
    explicit RecordingStatusItem(QString name) : name_(std::move(name)) {}

    QString autosaveName() const override { return name_; }
    void setImage(const QString& symbolName, const QString& description) override {
        symbol = symbolName;
        accessibilityDescription = description;
    }
    void setToolTip(const QString& text) override { toolTip = text; }
    void setClickHandler(std::function<void(StatusItemClick)> handler) override {
        handler_ = std::move(handler);
    }
    void popUpMenu(QMenu& menu) override {
        // What the user would see: the menu prepared for showing, then closed.
        Q_EMIT menu.aboutToShow();
        QStringList titles;
        for (QAction* action : menu.actions())
            titles.append(action->isSeparator()
                              ? QStringLiteral("-")
                              : action->text() + (action->isEnabled() ? "" : " (disabled)"));
        poppedUpMenus.push_back(titles);
        Q_EMIT menu.aboutToHide();
    }
    std::optional<QRect> frameOnScreen() const override { return frame; }

    // Clicks the item as the user would.
    void click(StatusItemClick kind) { handler_(kind); }

    QString symbol;
    QString accessibilityDescription;
    QString toolTip;
    std::optional<QRect> frame;
    std::vector<QStringList> poppedUpMenus;

private:
    QString name_;
    std::function<void(StatusItemClick)> handler_;
};

// Keeps the item it made last.
class RecordingStatusBar final : public StatusBar {
public:
    std::unique_ptr<StatusItem> createItem(const QString& autosaveName) override {
        auto made = std::make_unique<RecordingStatusItem>(autosaveName);
        item = made.get();
        return made;
    }

    RecordingStatusItem* item = nullptr;
};

} // namespace vantrel::test
