#include "services/MenuBarScanner.h"

#include "platform/PermissionSystem.h"
#include "platform/Screens.h"

#include <QPointer>
#include <algorithm>

namespace vantrel {

MenuBarScanner::MenuBarScanner(PermissionSystem& permissions, const Screens& screens, const Clock& clock,
                               MenuBarItemSource* source, QObject* parent)
    : QObject(parent), permissions_(permissions), screens_(screens), clock_(clock), source_(source) {}

void MenuBarScanner::scan() {
    // Where no prompt exists the question only asks; the answer decides.
    if (!permissions_.isAccessibilityTrusted(true)) {
        // A pass still under way would bring back the list taken away here.
        ++pass_;
        scanning_ = false;
        setItems({});
        setScanMessage(QString::fromLatin1(kUntrustedMessage));
        return;
    }
    // Asking again would only pile more questions on programs that have not answered yet.
    if (scanning_) return;
    if (!source_) {
        publish({});
        return;
    }
    scanning_ = true;
    const quint64 pass = ++pass_;
    const QPointer<MenuBarScanner> self(this);
    source_->requestMenuBarItems([self, pass](std::vector<MenuBarItemRecord> records) {
        if (!self || self->pass_ != pass) return;
        self->scanning_ = false;
        self->publish(records);
    });
}

void MenuBarScanner::publish(const std::vector<MenuBarItemRecord>& records) {
    const auto main = screens_.mainScreen();
    const double leftBound =
        main ? main->frame.x() + main->frame.width() / 2.0 - kLeftBoundMargin : kLeftBoundWithoutScreen;

    std::vector<MenuBarItemModel> found;
    for (const MenuBarItemRecord& record : records) {
        if (record.position.x() < leftBound || record.position.y() >= kMenuBarDepth) continue;
        const QString owner = record.ownerName.value_or(QStringLiteral("macOS"));
        QString title = record.title.value_or(record.description.value_or(
            record.help.value_or(record.ownerName.value_or(QStringLiteral("Menu item")))));
        if (title.isEmpty()) title = owner;
        found.push_back({QUuid::createUuid(), title, owner, record.position.x()});
    }
    std::stable_sort(found.begin(), found.end(), [](const MenuBarItemModel& a, const MenuBarItemModel& b) {
        return a.xPosition < b.xPosition;
    });
    const bool none = found.empty();
    const auto count = found.size();
    setItems(std::move(found));
    lastScan_ = clock_.now();
    Q_EMIT lastScanChanged();
    setScanMessage(none ? QString::fromLatin1(kNothingFoundMessage)
                        : QStringLiteral("Found %1 menu-bar items.").arg(count));
}

void MenuBarScanner::setItems(std::vector<MenuBarItemModel> items) {
    // Every scan makes new identities, so a scan that finds the same items still changes them.
    items_ = std::move(items);
    Q_EMIT itemsChanged();
}

void MenuBarScanner::setScanMessage(const QString& message) {
    if (scanMessage_ == message) return;
    scanMessage_ = message;
    Q_EMIT scanMessageChanged(message);
}

} // namespace vantrel
