#include "platform/linux/QtHttpClient.h"

#include <QCoreApplication>
#include <QTcpServer>
#include <QTcpSocket>
#include <gtest/gtest.h>

using namespace vantrel;

namespace {

// Answers every request on a loopback port with a fixed HTTP response.
class CannedServer {
public:
    CannedServer(int status, const QByteArray& body, std::optional<qint64> announcedLength = {}) {
        response_ = "HTTP/1.1 " + QByteArray::number(status) +
                    " X\r\nContent-Length: " + QByteArray::number(announcedLength.value_or(body.size())) +
                    "\r\nConnection: close\r\n\r\n" + body;
        server_.listen(QHostAddress::LocalHost);
        QObject::connect(&server_, &QTcpServer::newConnection, [this] {
            QTcpSocket* socket = server_.nextPendingConnection();
            QObject::connect(socket, &QTcpSocket::readyRead, socket, [this, socket] {
                if (!socket->readAll().contains("\r\n\r\n")) return;
                socket->write(response_);
                socket->disconnectFromHost();
            });
        });
    }
    QUrl url() const { return QUrl(QStringLiteral("http://127.0.0.1:%1/art.png").arg(server_.serverPort())); }

private:
    QTcpServer server_;
    QByteArray response_;
};

// Blocks on socket events (not on a clock) until the request completes.
HttpResponse fetch(QtHttpClient& client, const QUrl& url) {
    std::optional<HttpResponse> result;
    client.get(url, Seconds(10), 1024, [&](const HttpResponse& r) { result = r; });
    for (int i = 0; i < 10'000 && !result; ++i)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    return result.value_or(HttpResponse{std::nullopt, {}, QStringLiteral("no answer")});
}

} // namespace

TEST(QtHttpClient, AnswersWithStatusAndBodyAndRefusesOversizedBodies) {
    QtHttpClient client;
    CannedServer ok(200, "image bytes"), missing(404, "nope");
    const HttpResponse good = fetch(client, ok.url());
    EXPECT_EQ(good.status, 200);
    EXPECT_EQ(good.body, QByteArray("image bytes"));
    EXPECT_EQ(fetch(client, missing.url()).status, 404);

    // Over the cap, whether sent or only announced (refused before it arrives).
    CannedServer big(200, QByteArray(2048, 'x')), liar(200, "small", qint64(1) << 40);
    for (const CannedServer* server : {&big, &liar}) {
        const HttpResponse refused = fetch(client, server->url());
        EXPECT_FALSE(refused.error.isEmpty());
        EXPECT_TRUE(refused.body.isEmpty());
    }

    // A cancelled request never completes.
    bool called = false;
    client.cancel(client.get(ok.url(), Seconds(10), 1024, [&](const HttpResponse&) { called = true; }));
    EXPECT_EQ(fetch(client, ok.url()).status, 200); // drives the event loop past the cancelled one
    EXPECT_FALSE(called);
}

TEST(QtHttpClient, TheNetworkModuleOpensWithTheFirstRequestAndWithoutItRequestsFailLater) {
    QtHttpClient client;
    EXPECT_FALSE(client.isModuleLoaded());
    CannedServer ok(200, "image bytes");
    EXPECT_EQ(fetch(client, ok.url()).body, QByteArray("image bytes"));
    EXPECT_TRUE(client.isModuleLoaded());

    // Without the module: the failure names it, and comes from the event loop, not from get().
    QtHttpClient missing(QStringLiteral("/nonexistent/libvantrel_http.so"));
    std::optional<HttpResponse> answer;
    const HttpClient::RequestId first =
        missing.get(ok.url(), Seconds(10), 1024, [&](const HttpResponse& r) { answer = r; });
    EXPECT_FALSE(answer.has_value());
    EXPECT_FALSE(missing.isModuleLoaded());
    const HttpResponse failed = fetch(missing, ok.url());
    EXPECT_TRUE(failed.error.startsWith(QStringLiteral("no network module: "))) << failed.error.toStdString();
    EXPECT_FALSE(failed.status.has_value());
    ASSERT_TRUE(answer.has_value());
    EXPECT_EQ(answer->error, failed.error);
    // A cancelled one never completes, and ids are not reused.
    bool called = false;
    const HttpClient::RequestId cancelled =
        missing.get(ok.url(), Seconds(10), 1024, [&](const HttpResponse&) { called = true; });
    EXPECT_NE(cancelled, first);
    missing.cancel(cancelled);
    fetch(missing, ok.url());
    EXPECT_FALSE(called);
}
