#include "platform/AppPaths.h"

#include "support/FakeEnvironment.h"

#include <gtest/gtest.h>

using namespace vantrel;
using namespace vantrel::test;

TEST(AppPaths, FollowsXdgVariablesAndIgnoresRelativeOrEmptyOnes) {
    FakeEnvironment env{{QStringLiteral("HOME"), QStringLiteral("/home/ada")}};
    AppPaths paths = AppPaths::fromEnvironment(env);
    EXPECT_EQ(paths.dataFolder(), QStringLiteral("/home/ada/.local/share/Vantrel"));
    EXPECT_EQ(paths.defaultsFolder(), QStringLiteral("/home/ada/.config/Vantrel/defaults"));
    EXPECT_EQ(paths.autostartFolder(), QStringLiteral("/home/ada/.config/autostart"));

    env.set(QStringLiteral("XDG_DATA_HOME"), QStringLiteral("/data/"));
    env.set(QStringLiteral("XDG_CONFIG_HOME"), QStringLiteral("relative/config"));
    paths = AppPaths::fromEnvironment(env);
    EXPECT_EQ(paths.dataFolder(), QStringLiteral("/data/Vantrel"));
    EXPECT_EQ(paths.configHome, QStringLiteral("/home/ada/.config"));

    env.set(QStringLiteral("XDG_DATA_HOME"), QString());
    EXPECT_EQ(AppPaths::fromEnvironment(env).dataHome, QStringLiteral("/home/ada/.local/share"));
}
