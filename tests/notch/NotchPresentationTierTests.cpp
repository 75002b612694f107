#include "notch/NotchPresentationTier.h"

#include <gtest/gtest.h>
#include <map>

using namespace vantrel;

TEST(NotchPresentationTier, EveryTabHasItsTier) {
    using T = NotchPresentationTier;
    const std::map<NotchTab, T> expected = {
        {NotchTab::home, T::first},     {NotchTab::timers, T::second},    {NotchTab::system, T::second},
        {NotchTab::note, T::second},    {NotchTab::bookmarks, T::second}, {NotchTab::clipboard, T::third},
        {NotchTab::calendar, T::third}, {NotchTab::focus, T::third},      {NotchTab::files, T::third},
        {NotchTab::mirror, T::third},
    };
    ASSERT_EQ(expected.size(), allCasesOf<NotchTab>().size());
    for (NotchTab tab : allCasesOf<NotchTab>())
        EXPECT_EQ(presentationTier(tab), expected.at(tab)) << rawName(tab);
    EXPECT_EQ(allCasesOf<T>(), (std::array{T::first, T::second, T::third}));
}
