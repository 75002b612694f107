#pragma once

#include "platform/Scheduler.h"

#include <QObject>

namespace vantrel {

// Rules of a trigger and an action that is reverted when the trigger ends. No rules are kept or
// evaluated yet; what is here is the engine's timer and the revert that termination relies on.
class AutomationEngine : public QObject {
    Q_OBJECT
public:
    explicit AutomationEngine(QObject* parent = nullptr) : QObject(parent) {}

    bool hasTimer() const { return timer_.id() != Scheduler::kNoTask; }
    // Cancels the repeating evaluation timer and forgets it.
    virtual void invalidateTimer() { timer_.cancel(); }
    // Reverts every rule whose action is in force.
    virtual void revertAllActiveRules() {}

protected:
    ScheduledTask timer_;
};

} // namespace vantrel
