#pragma once

#include "platform/SharingService.h"

namespace vantrel {

// Linux desktops have no AirDrop; the shelf reports it as unavailable.
class LinuxSharingService final : public SharingService {
public:
    bool isAirDropAvailable() const override { return false; }
    void sendViaAirDrop(const QList<QUrl>&) override {}
};

} // namespace vantrel
