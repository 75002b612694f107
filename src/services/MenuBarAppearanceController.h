#pragma once

#include <QObject>
#include <QPointer>
#include <QRect>
#include <QString>
#include <functional>
#include <optional>

namespace vantrel {

class MenuBarScanner;
class VantrelPreferences;

// The menu-bar organizer. It keeps whether the hidden and the always-hidden items are revealed;
// the divider items that would hide other applications' items are not built yet.
class MenuBarAppearanceController : public QObject {
    Q_OBJECT
public:
    static constexpr const char* kOffMessage = "Menu-bar organizer is off";

    explicit MenuBarAppearanceController(QObject* parent = nullptr) : QObject(parent) {}

    // Brings the organizer in line with the settings.
    virtual void apply(VantrelPreferences& preferences, MenuBarScanner& scanner);
    // Hides the hidden items when revealed, else reveals them, while the organizer is on and set
    // up. Given settings and scanner are remembered (weakly) for later calls.
    virtual void toggleHiddenItems(VantrelPreferences* preferences, MenuBarScanner* scanner);
    virtual void hideTint();
    // Removes the dividers and ends setup; the organizer is off afterwards.
    virtual void disableItemHiding();

    bool areHiddenItemsRevealed() const { return areHiddenItemsRevealed_; }
    bool areAlwaysHiddenItemsRevealed() const { return areAlwaysHiddenItemsRevealed_; }
    void setAreAlwaysHiddenItemsRevealed(bool revealed);
    const QString& statusMessage() const { return statusMessage_; }

    // Where the application's own status item sits, so dividers can go beside it.
    std::function<std::optional<QRect>()> primaryControlFrameProvider;

Q_SIGNALS:
    void areHiddenItemsRevealedChanged(bool revealed);
    void areAlwaysHiddenItemsRevealedChanged(bool revealed);
    void statusMessageChanged(const QString& message);

private:
    void setAreHiddenItemsRevealed(bool revealed);

    QPointer<VantrelPreferences> preferences_;
    QPointer<MenuBarScanner> scanner_;
    bool areHiddenItemsRevealed_ = false;
    bool areAlwaysHiddenItemsRevealed_ = false;
    bool isRunningSetup_ = false;
    QString statusMessage_ = QString::fromLatin1(kOffMessage);
};

} // namespace vantrel
