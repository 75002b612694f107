#include "kit/Navigation.h"

#include "support/QtPrinters.h"

#include <gtest/gtest.h>

using namespace vantrel;

TEST(Navigation, TabsAndSectionsMatchExactlyAndTheNavigationSkipsAutomations) {
    EXPECT_EQ(fromRawValue<NotchTab>(u"note"), NotchTab::note);
    EXPECT_EQ(fromRawValue<NotchTab>(u"Note"), std::nullopt);
    EXPECT_EQ(symbol(NotchTab::system), QStringLiteral("gauge.with.dots.needle.67percent"));
    QStringList titles;
    for (VantrelSection section : availableSections())
        titles.append(title(section));
    EXPECT_EQ(titles, (QStringList{"Home", "Notch", "Menu Bar", "Dock", "Trackpad", "Notifications",
                                   "Appearance", "Permissions"}));
}
