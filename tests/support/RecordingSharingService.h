#pragma once

#include "platform/SharingService.h"

#include <vector>

namespace vantrel::test {

class RecordingSharingService final : public SharingService {
public:
    bool isAirDropAvailable() const override { return airDropAvailable; }
    void sendViaAirDrop(const QList<QUrl>& files) override { sent.push_back(files); }

    bool airDropAvailable = false;
    std::vector<QList<QUrl>> sent;
};

} // namespace vantrel::test
