#include "kit/Navigation.h"

#include "support/QtPrinters.h"

#include <gtest/gtest.h>

using namespace vantrel;

TEST(NotchTab, CasesSymbolsAndExactMatching) {
    QStringList raw, symbols;
    for (NotchTab tab : allCasesOf<NotchTab>()) {
        raw.append(rawValue(tab));
        symbols.append(symbol(tab));
    }
    EXPECT_EQ(raw,
              QString::fromLatin1("home clipboard calendar focus timers system note files mirror bookmarks")
                  .split(QLatin1Char(' ')));
    EXPECT_EQ(symbols, (QStringList{"sparkles", "doc.on.clipboard", "calendar", "timer", "stopwatch",
                                    "gauge.with.dots.needle.67percent", "note.text", "tray.full", "camera",
                                    "bookmark"}));
    EXPECT_EQ(fromRawValue<NotchTab>(u"note"), NotchTab::note);
    EXPECT_EQ(fromRawValue<NotchTab>(u"notes"), std::nullopt);
    EXPECT_EQ(fromRawValue<NotchTab>(u"Files"), std::nullopt);
}

TEST(VantrelSection, TitlesAndTheOfferedSections) {
    QStringList raw, titles;
    for (VantrelSection section : allCasesOf<VantrelSection>()) {
        raw.append(rawValue(section));
        titles.append(title(section));
    }
    EXPECT_EQ(raw, (QStringList{"home", "notch", "menuBar", "dock", "feedback", "notifications",
                                "automations", "appearance", "permissions"}));
    EXPECT_EQ(titles, (QStringList{"Home", "Notch", "Menu Bar", "Dock", "Trackpad", "Notifications",
                                   "Automations", "Appearance", "Permissions"}));
    EXPECT_EQ(availableSections(),
              (std::vector<VantrelSection>{VantrelSection::home, VantrelSection::notch,
                                           VantrelSection::menuBar, VantrelSection::dock,
                                           VantrelSection::feedback, VantrelSection::notifications,
                                           VantrelSection::appearance, VantrelSection::permissions}));
    EXPECT_EQ(fromRawValue<VantrelSection>(u"menuBar"), VantrelSection::menuBar);
    EXPECT_EQ(fromRawValue<VantrelSection>(u"menubar"), std::nullopt);
    EXPECT_EQ(fromRawValue<VantrelSection>(u"MenuBar"), std::nullopt);
}
