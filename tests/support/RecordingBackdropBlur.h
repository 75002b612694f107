#pragma once

#include "platform/BackdropBlur.h"

#include <QList>
#include <QPointer>
#include <QWidget>
#include <map>

namespace vantrel::test {

// A compositor that blurs behind windows or not, as the test sets it; records the region each
// window asked for last.
class RecordingBackdropBlur final : public BackdropBlur {
    Q_OBJECT
public:
    explicit RecordingBackdropBlur(bool available = false) : available_(available) {}

    bool isAvailable() const override { return available_; }
    void blurBehind(QWidget& window, const QRegion& region) override {
        regions_[&window] = region;
        ++requests;
    }
    void clearBlur(QWidget& window) override {
        regions_.erase(&window);
        ++clears;
    }

    void setAvailable(bool available) {
        if (available == available_) return;
        available_ = available;
        Q_EMIT availabilityChanged();
    }
    // Whether `window` has asked for a blur and not withdrawn it.
    bool isBlurring(const QWidget* window) const { return regions_.count(window) != 0; }
    // The region `window` asked for last; empty when it asks for none (or for all of it).
    QRegion region(const QWidget* window) const {
        const auto it = regions_.find(window);
        return it == regions_.end() ? QRegion() : it->second;
    }

    int requests = 0;
    int clears = 0;

private:
    bool available_;
    std::map<const QWidget*, QRegion> regions_;
};

} // namespace vantrel::test
