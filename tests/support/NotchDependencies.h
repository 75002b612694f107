#pragma once

#include "notch/NotchPanelController.h"

#include <functional>

namespace vantrel::test {

struct ServiceFakes;

// What the notch panel controller and its alert dot are built from, on the fakes of `h`; the
// dot's click runs `openNotifications`.
NotchPanelController::Dependencies notchDependencies(ServiceFakes& h,
                                                     std::function<void()> openNotifications);

} // namespace vantrel::test
