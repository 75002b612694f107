#include "platform/linux/LocalSocketSingleInstance.h"
#include "support/FakeEnvironment.h"

#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <cstring>
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

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

namespace {

// A client of the running instance's socket that writes what the test says, when it says.
int connectedClient(const QString& path) {
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const QByteArray name = QFile::encodeName(path);
    std::memcpy(address.sun_path, name.constData(), std::size_t(name.size()));
    if (::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

void send(int fd, const QByteArray& bytes) {
    ASSERT_EQ(::write(fd, bytes.constData(), std::size_t(bytes.size())), bytes.size());
}

} // namespace

TEST(LocalSocketSingleInstance, OnlyAWholeReopenLineCountsAndTheSocketIsTheUsersAlone) {
    QTemporaryDir runtime;
    ASSERT_TRUE(runtime.isValid());
    const QString path = runtime.path() + QStringLiteral("/vantrel.instance");
    int reopened = 0;
    {
        LocalSocketSingleInstance running(path);
        running.setReopenHandler([&] { ++reopened; });
        ASSERT_TRUE(running.claim());
        EXPECT_TRUE(running.isListening());
        EXPECT_TRUE(running.claim()) << "claiming again keeps it";
        // Nobody but the user may connect.
        struct stat info {};
        ASSERT_EQ(::stat(QFile::encodeName(path).constData(), &info), 0);
        EXPECT_TRUE(S_ISSOCK(info.st_mode));
        EXPECT_EQ(info.st_mode & 0077, 0u);

        // "reopen" arriving in pieces is one request; other lines and a line without its end are none.
        const int client = connectedClient(path);
        ASSERT_GE(client, 0);
        send(client, "reo");
        QCoreApplication::processEvents();
        EXPECT_EQ(reopened, 0);
        send(client, "pen\nquit\nREOPEN\nreopen \nreopen\nreop");
        EXPECT_TRUE(QTest::qWaitFor([&] { return reopened == 2; }, 10000));
        // A line longer than 64 bytes ends the connection: nothing more is read from it.
        send(client, QByteArray(80, 'x') + "\nreopen\n");
        EXPECT_TRUE(QTest::qWaitFor(
            [&] {
                char end = 0;
                return ::recv(client, &end, 1, MSG_DONTWAIT) == 0;
            },
            10000))
            << "the instance hung up";
        ::close(client);
        QCoreApplication::processEvents();
        EXPECT_EQ(reopened, 2);

        // A second client and the later launch's own request both still arrive.
        LocalSocketSingleInstance later(path);
        EXPECT_FALSE(later.claim());
        EXPECT_FALSE(later.isListening());
        EXPECT_TRUE(later.requestReopen());
        EXPECT_TRUE(QTest::qWaitFor([&] { return reopened == 3; }, 10000));
    }
    // The instance that ended took its socket along: the next launch runs, and nobody hears a
    // request any more.
    EXPECT_FALSE(QFile::exists(path));
    LocalSocketSingleInstance next(path);
    EXPECT_FALSE(LocalSocketSingleInstance(path).requestReopen());
    EXPECT_TRUE(next.claim());
    EXPECT_TRUE(next.isListening());
}
