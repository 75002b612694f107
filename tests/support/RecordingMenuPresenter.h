#pragma once

#include "platform/MenuPresenter.h"
#include "support/CallLog.h"

#include <vector>

namespace vantrel::test {

// Records every menu asked for and lets the test answer the last one.
class RecordingMenuPresenter final : public MenuPresenter {
public:
    explicit RecordingMenuPresenter(CallLog* log = nullptr) : log_(log) {}

    void present(const Request& request, std::function<void(int index)> chosen) override {
        requests_.push_back(request);
        pending_ = std::move(chosen);
        if (log_) log_->add(QStringLiteral("menu ") + request.items.join(QLatin1Char('|')));
    }

    const std::vector<Request>& requests() const { return requests_; }
    // The user picks `index` in the open menu; false when no menu is open.
    bool choose(int index) {
        if (!pending_) return false;
        auto chosen = std::move(pending_);
        pending_ = nullptr;
        chosen(index);
        return true;
    }
    // The user picks the entry titled `title` of the open menu, or of its submenu; false when
    // there is none or it is shown disabled.
    bool choose(const QString& title) {
        if (!pending_ || requests_.empty()) return false;
        const Request& request = requests_.back();
        const int index = int(request.items.indexOf(title));
        if (index >= 0) return !request.disabled.contains(index) && choose(index);
        if (!request.submenu) return false;
        const int nested = int(request.submenu->items.indexOf(title));
        return nested >= 0 && choose(int(request.items.size()) + nested);
    }
    // The user closes the open menu without a choice.
    void dismiss() { pending_ = nullptr; }

private:
    CallLog* log_;
    std::vector<Request> requests_;
    std::function<void(int)> pending_;
};

} // namespace vantrel::test
