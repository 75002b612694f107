#pragma once

#include <QList>
#include <QUrl>

namespace vantrel {

// The system's ways of sending files to nearby devices.
class SharingService {
public:
    virtual ~SharingService() = default;
    virtual bool isAirDropAvailable() const = 0;
    // Hands the files to AirDrop, whose own window takes over. Only called when it is available.
    virtual void sendViaAirDrop(const QList<QUrl>& files) = 0;
};

} // namespace vantrel
