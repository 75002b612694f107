#pragma once

#include "platform/ColorPicker.h"
#include "support/CallLog.h"

#include <vector>

namespace vantrel::test {

// Records every opening and lets the test choose colours in the open picker, as the user would
// drag through the dialog.
class ScriptedColorPicker final : public ColorPicker {
public:
    explicit ScriptedColorPicker(CallLog* log = nullptr) : log_(log) {}

    void open(const Request& request, std::function<void(const QColor& color)> picked) override {
        requests_.push_back(request);
        picked_ = std::move(picked);
        anchor_ = request.anchor;
        if (log_) log_->add(QStringLiteral("colorPicker.open ") + request.title);
    }

    const std::vector<Request>& requests() const { return requests_; }
    bool isOpen() const { return bool(picked_); }
    // The user settles on `color`; false when no picker is open or its well is gone.
    bool choose(const QColor& color) {
        if (!picked_ || !anchor_) return false;
        picked_(color);
        return true;
    }
    void close() { picked_ = nullptr; }

private:
    CallLog* log_;
    std::vector<Request> requests_;
    std::function<void(const QColor&)> picked_;
    QPointer<QWidget> anchor_;
};

} // namespace vantrel::test
