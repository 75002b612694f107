#include "dock/MissionControlDetector.h"

namespace vantrel::MissionControlDetector {

bool isActive() {
    return false;
}

} // namespace vantrel::MissionControlDetector
