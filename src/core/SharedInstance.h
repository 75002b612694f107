#pragma once

#include <QtGlobal>

namespace vantrel {

// The one process-wide instance of a service, installed by the composition root in main.
// Components built there receive their services directly; `shared()` serves the few callers that
// have no such path. Tests build their own instances and never install one.
template <typename T> class SharedInstance {
public:
    static T& shared() {
        Q_ASSERT_X(instance_ != nullptr, "SharedInstance::shared", "used before main installed it");
        return *instance_;
    }
    static T* sharedIfInstalled() { return instance_; }
    // Pass nullptr before the instance dies.
    static void setShared(T* instance) { instance_ = instance; }

private:
    static inline T* instance_ = nullptr;
};

} // namespace vantrel
