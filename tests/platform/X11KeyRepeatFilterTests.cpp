#include "platform/linux/X11KeyRepeatFilter.h"

#include <gtest/gtest.h>
#include <utility>
#include <vector>

using namespace vantrel;

namespace {
// X keycodes of the Space and A positions.
constexpr std::uint32_t kSpace = 65;
constexpr std::uint32_t kA = 38;
} // namespace

TEST(X11KeyRepeatFilter, AHeldKeyIsNewOnlyAtItsFirstPressInEitherRepeatForm) {
    X11KeyRepeatFilter filter;
    // Space held on a server without detectable auto-repeat, as Xvfb delivers it: each repeat is
    // a release and a press at the same time.
    EXPECT_TRUE(filter.press(kSpace, 30850039));
    int fresh = 0;
    for (std::uint32_t time : {30850699u, 30850740u, 30850780u, 30850820u}) {
        filter.release(kSpace, time);
        fresh += filter.press(kSpace, time) ? 1 : 0;
    }
    EXPECT_EQ(fresh, 0) << "repeats are not new presses";
    filter.release(kSpace, 30851563);
    // Let go and pressed again a moment later: a new press, even one millisecond on.
    EXPECT_TRUE(filter.press(kSpace, 30851564));

    // With detectable auto-repeat the presses follow one another without releases.
    EXPECT_FALSE(filter.press(kSpace, 30852000));
    EXPECT_FALSE(filter.press(kSpace, 30852040));
    filter.release(kSpace, 30852050);
    EXPECT_TRUE(filter.press(kSpace, 30852900));

    // Keys are apart: another key's press and release change nothing for Space.
    EXPECT_TRUE(filter.press(kA, 30852900));
    filter.release(kA, 30852950);
    EXPECT_FALSE(filter.press(kSpace, 30852950));
    EXPECT_TRUE(filter.press(kA, 30852990));

    // Forgotten while down (its release went elsewhere): the next press is new.
    filter.forget(kSpace);
    EXPECT_TRUE(filter.press(kSpace, 30853000));
    // A key never seen before is new at any time, also at the time another key was released.
    filter.release(kA, 30853100);
    EXPECT_TRUE(filter.press(24, 30853100));
}
