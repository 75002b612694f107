#include "kit/Navigation.h"

#include "support/QtPrinters.h"

#include <gtest/gtest.h>

using namespace vantrel;

TEST(Navigation, TheControlCenterOffersEverySectionButAutomations) {
    std::vector<VantrelSection> expected;
    for (VantrelSection section : allCasesOf<VantrelSection>())
        if (section != VantrelSection::automations) expected.push_back(section);
    EXPECT_EQ(availableSections(), expected);
}
