#pragma once

#include "platform/SleepWakeMonitor.h"

#include <map>
#include <vector>

namespace vantrel::test {

class FakeSleepWakeMonitor final : public SleepWakeMonitor {
public:
    ObserverId addObserver(PowerEvent event, std::function<void()> handler) override {
        const ObserverId id = nextId_++;
        observers_.emplace(id, std::make_pair(event, std::move(handler)));
        return id;
    }
    void removeObserver(ObserverId id) override { observers_.erase(id); }

    // Delivers the event to every observer registered for it.
    void post(PowerEvent event) {
        std::vector<std::function<void()>> due;
        for (const auto& [id, observer] : observers_)
            if (observer.first == event) due.push_back(observer.second);
        for (auto& handler : due) handler();
    }
    std::size_t observerCount() const { return observers_.size(); }

private:
    std::map<ObserverId, std::pair<PowerEvent, std::function<void()>>> observers_;
    ObserverId nextId_ = 1;
};

} // namespace vantrel::test
