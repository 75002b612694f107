#pragma once

#include <QLayout>
#include <utility>

namespace vantrel {

// A layout that holds at most one item, owns it, and leaves where it goes to the subclass.
class SingleItemLayout : public QLayout {
public:
    explicit SingleItemLayout(QWidget* parent) : QLayout(parent) { setContentsMargins(0, 0, 0, 0); }
    ~SingleItemLayout() override { delete item_; }

    void addItem(QLayoutItem* item) override {
        delete item_;
        item_ = item;
    }
    int count() const override { return item_ ? 1 : 0; }
    QLayoutItem* itemAt(int index) const override { return index == 0 ? item_ : nullptr; }
    QLayoutItem* takeAt(int index) override { return index == 0 ? std::exchange(item_, nullptr) : nullptr; }

protected:
    QLayoutItem* item_ = nullptr;
};

} // namespace vantrel
