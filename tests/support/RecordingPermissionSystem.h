#pragma once

#include "platform/LoginItems.h"
#include "platform/PermissionSystem.h"
#include "support/CallLog.h"

#include <vector>

namespace vantrel::test {

// Answers as the test sets it and keeps what was asked. A camera request is held until the test
// answers it, as the system's prompt would be.
class RecordingPermissionSystem final : public PermissionSystem {
public:
    bool isAccessibilityTrusted(bool prompt) override {
        accessibilityQueries.push_back(prompt);
        return accessibilityTrusted;
    }
    bool listenEventAccessGranted() override {
        if (log) log->add(QStringLiteral("listenEvent.preflight"));
        return listenEventAccess;
    }
    void requestListenEventAccess() override {
        if (log) log->add(QStringLiteral("listenEvent.request"));
    }
    CaptureAuthorizationStatus videoCaptureAuthorization() override { return capture; }
    void requestVideoCaptureAccess(std::function<void(bool)> completion) override {
        pendingCameraRequests.push_back(std::move(completion));
    }
    // Answers the oldest pending camera request.
    void answerCameraRequest(bool granted) {
        auto completion = std::move(pendingCameraRequests.front());
        pendingCameraRequests.erase(pendingCameraRequests.begin());
        completion(granted);
    }

    CallLog* log = nullptr; // when set, receives the listen-event preflights and requests
    bool accessibilityTrusted = false;
    bool listenEventAccess = false;
    CaptureAuthorizationStatus capture = CaptureAuthorizationStatus::notDetermined;
    std::vector<bool> accessibilityQueries; // the prompt flag of each query
    std::vector<std::function<void(bool)>> pendingCameraRequests;
};

class RecordingLoginItems final : public LoginItems {
public:
    LoginItemStatus status() const override { return current; }
    bool registerItem() override {
        current = LoginItemStatus::enabled;
        return true;
    }
    bool unregisterItem() override {
        current = LoginItemStatus::notRegistered;
        return true;
    }

    LoginItemStatus current = LoginItemStatus::notRegistered;
};

} // namespace vantrel::test
