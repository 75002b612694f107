// HTTP on QtNetwork, built as a module of its own that QtHttpClient opens with the first request:
// a session that fetches nothing never loads the network library.
#include "platform/HttpClient.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <unordered_map>

namespace vantrel {
namespace {

class QtNetworkHttpClient final : public HttpClient {
public:
    QtNetworkHttpClient() : manager_(new QNetworkAccessManager) {}
    ~QtNetworkHttpClient() override {
        // Nothing is pending any more, so replies finishing while the manager goes call no one.
        pending_.clear();
        delete manager_;
    }

    RequestId get(const QUrl& url, Seconds timeout, qint64 maxBytes,
                  std::function<void(const HttpResponse&)> done) override {
        const RequestId id = nextId_++;
        QNetworkRequest request(url);
        request.setTransferTimeout(static_cast<int>(timeout.count() * 1000));
        QNetworkReply* reply = manager_->get(request);
        pending_.emplace(id, Pending{reply, maxBytes, false, std::move(done)});

        // A body over the cap is refused as soon as it announces or reaches its size, so a
        // hostile server cannot make the process buffer an unbounded answer.
        auto overCap = [this, id](qint64 bytes) {
            auto it = pending_.find(id);
            if (it == pending_.end() || bytes <= it->second.maxBytes) return;
            it->second.tooLarge = true;
            it->second.reply->abort();
        };
        QObject::connect(reply, &QNetworkReply::metaDataChanged, reply, [reply, overCap] {
            const QVariant length = reply->header(QNetworkRequest::ContentLengthHeader);
            if (length.isValid()) overCap(length.toLongLong());
        });
        QObject::connect(reply, &QNetworkReply::downloadProgress, reply,
                         [overCap](qint64 received, qint64) { overCap(received); });
        QObject::connect(reply, &QNetworkReply::finished, reply, [this, id] { finish(id); });
        return id;
    }

    void cancel(RequestId id) override {
        auto it = pending_.find(id);
        if (it == pending_.end()) return;
        QNetworkReply* reply = it->second.reply;
        // Forgotten first: the finished signal that abort() raises then completes nothing.
        pending_.erase(it);
        reply->abort();
        reply->deleteLater();
    }

private:
    void finish(RequestId id) {
        auto it = pending_.find(id);
        if (it == pending_.end()) return;
        Pending pending = std::move(it->second);
        pending_.erase(it);
        HttpResponse response;
        const QVariant status = pending.reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
        if (status.isValid()) response.status = status.toInt();
        if (pending.tooLarge) {
            response.error = QStringLiteral("response larger than %1 bytes").arg(pending.maxBytes);
        } else if (pending.reply->error() != QNetworkReply::NoError) {
            response.error = pending.reply->errorString();
        } else {
            response.body = pending.reply->readAll();
        }
        pending.reply->deleteLater();
        pending.done(response);
    }

    struct Pending {
        QNetworkReply* reply = nullptr;
        qint64 maxBytes = 0;
        bool tooLarge = false;
        std::function<void(const HttpResponse&)> done;
    };

    QNetworkAccessManager* manager_;
    std::unordered_map<RequestId, Pending> pending_;
    RequestId nextId_ = 1;
};

} // namespace
} // namespace vantrel

extern "C" __attribute__((visibility("default"))) vantrel::HttpClient* vantrel_make_http_client() {
    return new vantrel::QtNetworkHttpClient;
}
