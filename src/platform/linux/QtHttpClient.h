#pragma once

#include "platform/HttpClient.h"

#include <QObject>
#include <unordered_map>

class QNetworkAccessManager;
class QNetworkReply;

namespace vantrel {

// HTTP on QtNetwork. Lives on the main thread; completions are delivered there.
class QtHttpClient final : public HttpClient {
public:
    QtHttpClient();
    ~QtHttpClient() override;
    QtHttpClient(const QtHttpClient&) = delete;
    QtHttpClient& operator=(const QtHttpClient&) = delete;

    RequestId get(const QUrl& url, Seconds timeout, qint64 maxBytes,
                  std::function<void(const HttpResponse&)> done) override;
    void cancel(RequestId id) override;

private:
    void finish(RequestId id);

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

} // namespace vantrel
