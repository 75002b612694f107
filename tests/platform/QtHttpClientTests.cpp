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
    explicit CannedServer(QByteArray response) : response_(std::move(response)) {
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

QByteArray httpResponse(int status, const QByteArray& body, std::optional<qint64> announcedLength = {}) {
    return "HTTP/1.1 " + QByteArray::number(status) +
           " X\r\nContent-Length: " + QByteArray::number(announcedLength.value_or(body.size())) +
           "\r\nConnection: close\r\n\r\n" + body;
}

// Blocks on socket events (not on a clock) until the request completes.
std::optional<HttpResponse> fetch(QtHttpClient& client, const QUrl& url, qint64 maxBytes) {
    std::optional<HttpResponse> result;
    client.get(url, Seconds(10), maxBytes, [&](const HttpResponse& r) { result = r; });
    for (int i = 0; i < 10'000 && !result; ++i)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    return result;
}

} // namespace

TEST(QtHttpClient, AnswersWithStatusAndBodyAndRefusesOversizedBodies) {
    QtHttpClient client;
    CannedServer ok(httpResponse(200, "image bytes"));
    const auto good = fetch(client, ok.url(), 1024);
    ASSERT_TRUE(good);
    EXPECT_EQ(good->status, 200);
    EXPECT_EQ(good->body, QByteArray("image bytes"));
    EXPECT_TRUE(good->error.isEmpty());

    CannedServer missing(httpResponse(404, "nope"));
    const auto notFound = fetch(client, missing.url(), 1024);
    ASSERT_TRUE(notFound);
    EXPECT_EQ(notFound->status, 404);

    CannedServer big(httpResponse(200, QByteArray(2048, 'x')));
    const auto tooBig = fetch(client, big.url(), 1024);
    ASSERT_TRUE(tooBig);
    EXPECT_FALSE(tooBig->error.isEmpty());
    EXPECT_TRUE(tooBig->body.isEmpty());

    // A body that announces a huge size is refused before it arrives.
    CannedServer liar(httpResponse(200, "small", qint64(1) << 40));
    const auto announced = fetch(client, liar.url(), 1024);
    ASSERT_TRUE(announced);
    EXPECT_FALSE(announced->error.isEmpty());

    // A cancelled request never completes.
    bool called = false;
    const auto id = client.get(ok.url(), Seconds(10), 1024, [&](const HttpResponse&) { called = true; });
    client.cancel(id);
    const auto after = fetch(client, ok.url(), 1024); // drives the event loop past the cancelled one
    EXPECT_TRUE(after);
    EXPECT_FALSE(called);
}
