#include "services/MenuBarSectionControl.h"

#include "platform/StatusItem.h"
#include "platform/UserDefaults.h"

#include <algorithm>

namespace vantrel {

QString MenuBarSectionControl::autosaveName(MenuBarSectionKind kind) {
    return kind == MenuBarSectionKind::hidden ? QStringLiteral("VantrelHiddenSection")
                                              : QStringLiteral("VantrelAlwaysHiddenSection");
}

int MenuBarSectionControl::seededPosition(MenuBarSectionKind kind) {
    return kind == MenuBarSectionKind::hidden ? 1 : 2;
}

QString MenuBarSectionControl::symbol(MenuBarSectionKind kind) {
    return kind == MenuBarSectionKind::hidden ? QStringLiteral("chevron.left.2")
                                              : QStringLiteral("chevron.left.to.line");
}

QString MenuBarSectionControl::setupToolTip(MenuBarSectionKind kind) {
    return kind == MenuBarSectionKind::hidden
               ? QStringLiteral("Hold Command and drag this boundary. Icons to its left are hidden until you "
                                "click the chevron.")
               : QStringLiteral(
                     "Hold Command and drag this boundary. Icons to its left stay hidden unless you "
                     "explicitly reveal them.");
}

MenuBarSectionControl::MenuBarSectionControl(MenuBarSectionKind kind, std::function<void()> action,
                                             StatusBar* statusBar, UserDefaultsProvider& defaults)
    : kind_(kind), action_(std::move(action)) {
    UserDefaults& positions = defaults.suite(QString::fromLatin1(kPositionSuite));
    const QString key = QString::fromLatin1(kPositionKeyPrefix) + autosaveName(kind);
    // Only the first showing is placed next to the application's item; a place the user chose
    // later stays.
    if (!positions.contains(key)) positions.setInteger(key, seededPosition(kind));
    if (statusBar) {
        statusItem_ = statusBar->createItem(autosaveName(kind));
        statusItem_->setLength(StatusItem::kVariableLength);
        statusItem_->setClickHandler([this](StatusItemClick click) {
            if (click == StatusItemClick::left) pressed();
        });
        statusItem_->setToolTip(QString::fromUtf8(kInitialToolTip));
    }
    reveal(false);
}

MenuBarSectionControl::~MenuBarSectionControl() = default;

void MenuBarSectionControl::pressed() {
    if (action_) action_();
}

void MenuBarSectionControl::reveal(bool setupMode) {
    if (!statusItem_) return;
    isCollapsed_ = false;
    statusItem_->setLength(StatusItem::kVariableLength);
    statusItem_->setImage(setupMode ? QString::fromLatin1(kSetupSymbol) : symbol(kind_),
                          QString::fromLatin1(kAccessibilityDescription));
    statusItem_->setToolTip(setupMode ? setupToolTip(kind_) : QString::fromUtf8(kToolTip));
    statusItem_->setVisible(true);
}

void MenuBarSectionControl::collapse(double screenWidth) {
    if (!statusItem_ || isCollapsed_) return;
    isCollapsed_ = true;
    statusItem_->setImage(QString(), QString());
    statusItem_->setToolTip(QString::fromLatin1(kCollapsedToolTip));
    statusItem_->setLength(
        std::clamp(screenWidth + kCollapsedOverhang, kMinimumCollapsedLength, kMaximumCollapsedLength));
    // A tray cannot stretch an icon: the divider leaves it while its length hides the others.
    statusItem_->setVisible(false);
}

void MenuBarSectionControl::removeFromStatusBar() {
    reveal(false);
    statusItem_.reset();
}

} // namespace vantrel
