#include "platform/linux/TrayStatusBar.h"

#include <QSystemTrayIcon>
#include <gtest/gtest.h>

using namespace vantrel;

TEST(TrayStatusItem, KeepsItsLengthAndLeavesTheTrayWhileHidden) {
    TrayStatusBar bar;
    std::unique_ptr<StatusItem> item = bar.createItem(QStringLiteral("VantrelHiddenSection"));
    auto* icon = dynamic_cast<QObject*>(item.get())->findChild<QSystemTrayIcon*>();
    ASSERT_NE(icon, nullptr);
    EXPECT_EQ(item->autosaveName(), QStringLiteral("VantrelHiddenSection"));
    EXPECT_EQ(item->length(), -1);
    EXPECT_TRUE(item->isVisible());

    item->setImage(QStringLiteral("chevron.left.2"), QStringLiteral("Vantrel menu-bar divider"));
    const qint64 shown = icon->icon().cacheKey();
    // Stretched to hide: no image, a length no icon can have, and out of the tray.
    item->setImage(QString(), QString());
    item->setLength(2048);
    item->setVisible(false);
    EXPECT_EQ(item->length(), 2048);
    EXPECT_FALSE(item->isVisible());
    EXPECT_FALSE(icon->isVisible());
    EXPECT_EQ(icon->icon().cacheKey(), shown) << "a tray icon is never left empty";

    item->setImage(QStringLiteral("line.3.horizontal.decrease"), QStringLiteral("Vantrel menu-bar divider"));
    EXPECT_NE(icon->icon().cacheKey(), shown);
    item->setLength(-1);
    item->setVisible(true);
    EXPECT_TRUE(item->isVisible());
    // Shown again only where a tray exists to show it in.
    EXPECT_EQ(icon->isVisible(), QSystemTrayIcon::isSystemTrayAvailable());
}
