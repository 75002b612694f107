#pragma once

#include <QObject>
#include <QPointer>
#include <QString>

namespace vantrel {

class AppState;
class DockContentStore;
class SystemLog;
class UserDefaultsProvider;
class VantrelPreferences;

// The replacement Dock and the system Dock it stands in for. The floating panel and its tiles are
// not drawn yet; what is here is the switching on and off, and giving the system Dock its own
// settings back.
class CustomDockController : public QObject {
    Q_OBJECT
public:
    static constexpr const char* kNativeDockActive = "Native macOS Dock active";
    static constexpr const char* kNativeDockRestored = "Native macOS Dock restored";
    static constexpr const char* kRestoreFailedAtQuit = "Could not restore the macOS Dock before quitting";

    // `defaults` holds the snapshot of the system Dock's settings and the system Dock's own domain.
    CustomDockController(UserDefaultsProvider& defaults, SystemLog& log, QObject* parent = nullptr);

    // Shows the replacement Dock and asks for the system Dock to be suppressed.
    virtual void show(VantrelPreferences& preferences, DockContentStore& content, AppState& state);
    // Closes the replacement Dock and restores the system Dock (at termination: before returning).
    virtual void hide(bool restoreSynchronously);
    virtual void setRevealed(bool revealed, bool animated);
    // Moves the system Dock toward the wanted state; dismisses the panel when suppression is no
    // longer wanted.
    virtual void synchronizeSystemDock();

    bool wantsSystemDockSuppressed() const { return wantsSystemDockSuppressed_; }
    void setWantsSystemDockSuppressed(bool wants) { wantsSystemDockSuppressed_ = wants; }
    bool shouldVerifyInitialPendingSuppression() const { return shouldVerifyInitialPendingSuppression_; }
    void setShouldVerifyInitialPendingSuppression(bool verify) {
        shouldVerifyInitialPendingSuppression_ = verify;
    }
    bool isEditingItems() const { return isEditingItems_; }
    void setIsEditingItems(bool editing);
    bool isDockRevealed() const { return isDockRevealed_; }
    bool hasPanel() const { return hasPanel_; }
    const QString& statusMessage() const { return statusMessage_; }

Q_SIGNALS:
    void isEditingItemsChanged(bool editing);
    void isDockRevealedChanged(bool revealed);
    void statusMessageChanged(const QString& message);

private:
    bool restoreSystemDock();
    void setStatusMessage(const QString& message);

    UserDefaultsProvider& defaults_;
    SystemLog& log_;
    bool wantsSystemDockSuppressed_ = false;
    bool shouldVerifyInitialPendingSuppression_ = false;
    bool isEditingItems_ = false;
    bool isDockRevealed_ = false;
    bool hasPanel_ = false;
    QString statusMessage_ = QString::fromLatin1(kNativeDockActive);
};

} // namespace vantrel
