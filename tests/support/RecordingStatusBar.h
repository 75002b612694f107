#pragma once

#include "platform/StatusItem.h"

#include <QAction>
#include <QMenu>
#include <QStringList>
#include <algorithm>
#include <memory>
#include <vector>

namespace vantrel::test {

class RecordingStatusItem final : public StatusItem {
public:
    explicit RecordingStatusItem(QString name) : name_(std::move(name)) {}
    ~RecordingStatusItem() override {
        if (onDestroyed) onDestroyed(this);
    }

    QString autosaveName() const override { return name_; }
    void setImage(const QString& symbolName, const QString& description) override {
        symbol = symbolName;
        accessibilityDescription = description;
    }
    void setToolTip(const QString& text) override { toolTip = text; }
    void setLength(double value) override { itemLength = value; }
    double length() const override { return itemLength; }
    void setVisible(bool value) override { visible = value; }
    bool isVisible() const override { return visible; }
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
    void setContextMenu(QMenu* menu) override { contextMenu = menu; }
    std::optional<QRect> frameOnScreen() const override { return frame; }

    // Clicks the item as the user would.
    void click(StatusItemClick kind) { handler_(kind); }

    QString symbol;
    QString accessibilityDescription;
    QString toolTip;
    std::optional<QRect> frame;
    // What the desktop would open on a right click; the click handler still gets the click.
    QMenu* contextMenu = nullptr;
    std::vector<QStringList> poppedUpMenus;
    double itemLength = kVariableLength;
    bool visible = true;
    std::function<void(RecordingStatusItem*)> onDestroyed;

private:
    QString name_;
    std::function<void(StatusItemClick)> handler_;
};

// Keeps the item it made last, and every item still in the status area.
class RecordingStatusBar final : public StatusBar {
public:
    std::unique_ptr<StatusItem> createItem(const QString& autosaveName) override {
        auto made = std::make_unique<RecordingStatusItem>(autosaveName);
        item = made.get();
        state_->live.push_back(made.get());
        // Items may outlive the bar; they report their end to what the bar leaves behind.
        made->onDestroyed = [state = state_](RecordingStatusItem* gone) {
            std::erase(state->live, gone);
            state->removed.append(gone->autosaveName());
            if (state->owner && state->owner->item == gone) state->owner->item = nullptr;
        };
        return made;
    }
    ~RecordingStatusBar() override { state_->owner = nullptr; }

    // The live item of that name; null when there is none (never made, or removed since).
    RecordingStatusItem* named(const QString& autosaveName) const {
        const auto found = std::find_if(state_->live.begin(), state_->live.end(),
                                        [&](auto* live) { return live->autosaveName() == autosaveName; });
        return found == state_->live.end() ? nullptr : *found;
    }
    // The names of the items removed from the status area, in order.
    const QStringList& removed() const { return state_->removed; }
    std::size_t liveCount() const { return state_->live.size(); }

    RecordingStatusItem* item = nullptr;

private:
    struct State {
        RecordingStatusBar* owner = nullptr;
        std::vector<RecordingStatusItem*> live;
        QStringList removed;
    };
    std::shared_ptr<State> state_ = std::make_shared<State>(State{this, {}, {}});
};

} // namespace vantrel::test
