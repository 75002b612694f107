#pragma once

namespace vantrel {

enum class LoginItemStatus { notRegistered, enabled, requiresApproval, notFound };

// Whether the application starts when the user logs in.
class LoginItems {
public:
    virtual ~LoginItems() = default;
    virtual LoginItemStatus status() const = 0;
    // Each returns false when the change could not be made.
    virtual bool registerItem() = 0;
    virtual bool unregisterItem() = 0;
};

} // namespace vantrel
