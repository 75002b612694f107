#pragma once

#include "platform/Clock.h"
#include "platform/MenuBarItemSource.h"
#include "services/MenuBarItemModel.h"

#include <QObject>
#include <QString>
#include <vector>

namespace vantrel {

class PermissionSystem;
class Screens;

// Lists the items other programs show in the right half of the menu bar, for the menu-bar page
// and the command palette. It only reads: nothing is pressed, moved or hidden.
class MenuBarScanner : public QObject {
    Q_OBJECT
    Q_PROPERTY(QString scanMessage READ scanMessage NOTIFY scanMessageChanged)
public:
    static constexpr const char* kNeedsAccessibilityMessage = "Grant Accessibility to search menu-bar items.";
    static constexpr const char* kUntrustedMessage = "Allow Accessibility, then press Scan Menu Bar again.";
    static constexpr const char* kNothingFoundMessage = "No accessible items found.";
    // Only the top of the display is the menu bar.
    static constexpr double kMenuBarDepth = 48;
    // How far left of the main screen's middle items still count.
    static constexpr double kLeftBoundMargin = 40;
    static constexpr double kLeftBoundWithoutScreen = 460;

    // `source` lists the other programs' items; none: there are never any.
    MenuBarScanner(PermissionSystem& permissions, const Screens& screens, const Clock& clock,
                   MenuBarItemSource* source, QObject* parent = nullptr);

    // Starts one pass and returns without waiting for the desktop; when it has answered (at once
    // where the answer is at hand, else within the source's time limit) the pass replaces the
    // items, the time of the last scan and the message. A call while a pass is under way is
    // answered by that pass.
    void scan();

    const std::vector<MenuBarItemModel>& items() const { return items_; }
    // The distant past until the first scan that was allowed to read.
    WallTime lastScan() const { return lastScan_; }
    const QString& scanMessage() const { return scanMessage_; }

Q_SIGNALS:
    void itemsChanged();
    void lastScanChanged();
    void scanMessageChanged(const QString& message);

private:
    void publish(const std::vector<MenuBarItemRecord>& records);
    void setItems(std::vector<MenuBarItemModel> items);
    void setScanMessage(const QString& message);

    PermissionSystem& permissions_;
    const Screens& screens_;
    const Clock& clock_;
    MenuBarItemSource* source_;
    std::vector<MenuBarItemModel> items_;
    WallTime lastScan_ = WallTime::min();
    QString scanMessage_ = QString::fromLatin1(kNeedsAccessibilityMessage);
    // Each pass's number: an answer to any but the latest is dropped.
    quint64 pass_ = 0;
    bool scanning_ = false;
};

} // namespace vantrel
