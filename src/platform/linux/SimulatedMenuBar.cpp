#include "platform/linux/SimulatedMenuBar.h"

#include "platform/Screens.h"

#include <algorithm>

namespace vantrel {

struct SimulatedMenuBar::Registry {
    // This program's items in order of creation: the first stands rightmost.
    std::vector<ModelItem*> items;
};

// A status item of the backend, its length noted for the layout.
class SimulatedMenuBar::ModelItem final : public StatusItem {
public:
    ModelItem(std::unique_ptr<StatusItem> item, std::shared_ptr<Registry> registry)
        : item_(std::move(item)), registry_(std::move(registry)) {
        registry_->items.push_back(this);
    }
    ~ModelItem() override { std::erase(registry_->items, this); }

    QString autosaveName() const override { return item_->autosaveName(); }
    void setImage(const QString& symbolName, const QString& description) override {
        item_->setImage(symbolName, description);
    }
    void setToolTip(const QString& toolTip) override { item_->setToolTip(toolTip); }
    void setLength(double length) override { item_->setLength(length); }
    double length() const override { return item_->length(); }
    void setVisible(bool visible) override { item_->setVisible(visible); }
    bool isVisible() const override { return item_->isVisible(); }
    void setClickHandler(std::function<void(StatusItemClick)> handler) override {
        item_->setClickHandler(std::move(handler));
    }
    void popUpMenu(QMenu& menu) override { item_->popUpMenu(menu); }
    void setContextMenu(QMenu* menu) override { item_->setContextMenu(menu); }
    // Only what the desktop reports: a frame made up here would let the pointer reveal items
    // where it is nowhere near them.
    std::optional<QRect> frameOnScreen() const override { return item_->frameOnScreen(); }

    double width() const {
        const double length = item_->length();
        return length < 0 ? kItemSize : length;
    }

private:
    std::unique_ptr<StatusItem> item_;
    std::shared_ptr<Registry> registry_;
};

SimulatedMenuBar::SimulatedMenuBar(StatusBar& backend, const Screens& screens)
    : backend_(backend), screens_(screens), registry_(std::make_shared<Registry>()) {}

SimulatedMenuBar::~SimulatedMenuBar() = default;

std::unique_ptr<StatusItem> SimulatedMenuBar::createItem(const QString& autosaveName) {
    return std::make_unique<ModelItem>(backend_.createItem(autosaveName), registry_);
}

double SimulatedMenuBar::rightEdge() const {
    const auto main = screens_.mainScreen();
    return main ? main->frame.x() + main->frame.width() : 0;
}

double SimulatedMenuBar::top() const {
    const auto main = screens_.mainScreen();
    return main ? main->frame.y() : 0;
}

double SimulatedMenuBar::leftOfOwnItems() const {
    double left = rightEdge();
    for (const ModelItem* item : registry_->items) left -= item->width();
    return left;
}

std::optional<QRectF> SimulatedMenuBar::itemFrame(const QString& autosaveName) const {
    double right = rightEdge();
    for (const ModelItem* item : registry_->items) {
        const double left = right - item->width();
        if (item->autosaveName() == autosaveName) return QRectF(left, top(), item->width(), kItemSize);
        right = left;
    }
    return std::nullopt;
}

QRectF SimulatedMenuBar::otherItemFrame(int index) const {
    return QRectF(leftOfOwnItems() - (index + 1) * kItemSize, top(), kItemSize, kItemSize);
}

std::vector<MenuBarItemRecord> SimulatedMenuBar::menuBarItems() const {
    std::vector<MenuBarItemRecord> records;
    for (std::size_t i = 0; i < others_.size(); ++i) {
        const OtherItem& other = others_[i];
        records.push_back({other.title, other.description, other.help, other.ownerName,
                           otherItemFrame(static_cast<int>(i)).topLeft()});
    }
    return records;
}

} // namespace vantrel
