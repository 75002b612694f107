#include "platform/linux/LocalSocketSingleInstance.h"
#include "support/FakeEnvironment.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

using namespace vantrel;
using namespace vantrel::test;

TEST(LocalSocketSingleInstance, ALaterClaimHandsOverToTheRunningInstanceAndAStaleSocketBlocksNothing) {
    QTemporaryDir runtime;
    ASSERT_TRUE(runtime.isValid());
    FakeEnvironment environment{{QStringLiteral("XDG_RUNTIME_DIR"), runtime.path()}};
    const QString path = LocalSocketSingleInstance::defaultSocketPath(environment);
    EXPECT_EQ(path, runtime.path() + QStringLiteral("/vantrel.instance"));
    QFile stale(path); // left by an instance that died, with nobody listening
    ASSERT_TRUE(stale.open(QIODevice::WriteOnly));

    LocalSocketSingleInstance running(path);
    int reopened = 0;
    running.setReopenHandler([&] { ++reopened; });
    ASSERT_TRUE(running.claim());

    LocalSocketSingleInstance later(path);
    EXPECT_FALSE(later.claim());
    EXPECT_TRUE(later.requestReopen());
    // The request arrives through the running instance's event loop.
    EXPECT_TRUE(QTest::qWaitFor([&] { return reopened == 1; }, 10000));
}

TEST(LocalSocketSingleInstance, WithoutRuntimeFolderTheSocketIsPerUser) {
    FakeEnvironment environment;
    const QString path = LocalSocketSingleInstance::defaultSocketPath(environment);
    EXPECT_TRUE(path.endsWith(QStringLiteral(".instance")));
    EXPECT_TRUE(path.contains(QString::number(::getuid())));
    // A relative runtime folder is not trusted.
    environment.set(QStringLiteral("XDG_RUNTIME_DIR"), QStringLiteral("relative/run"));
    EXPECT_EQ(LocalSocketSingleInstance::defaultSocketPath(environment), path);
}
