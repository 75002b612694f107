#pragma once

#include <functional>

namespace vantrel {

// One running Vantrel per user: a later launch hands over to the running one and ends.
class SingleInstance {
public:
    virtual ~SingleInstance() = default;
    // True when this process is now the running instance; false when another one already is.
    virtual bool claim() = 0;
    // From a process whose claim failed: asks the running instance to come forward. True when
    // the request was delivered.
    virtual bool requestReopen() = 0;
    // In the running instance: called on the main thread for each request of a later launch.
    virtual void setReopenHandler(std::function<void()> handler) = 0;
};

} // namespace vantrel
