#pragma once

#include "platform/HttpClient.h"

#include <QObject>
#include <memory>
#include <unordered_map>

namespace vantrel {

// HTTP on QtNetwork, which lives in a module of its own loaded with the first request: a
// session that fetches nothing never loads the network library. Lives on the main thread;
// completions are delivered there. Without the module every request fails with a message
// saying why, delivered from the event loop like any other answer.
class QtHttpClient final : public HttpClient {
public:
    explicit QtHttpClient(QString modulePath = defaultModulePath());
    ~QtHttpClient() override;
    QtHttpClient(const QtHttpClient&) = delete;
    QtHttpClient& operator=(const QtHttpClient&) = delete;

    RequestId get(const QUrl& url, Seconds timeout, qint64 maxBytes,
                  std::function<void(const HttpResponse&)> done) override;
    void cancel(RequestId id) override;

    // The module beside the executable, else the one the build made.
    static QString defaultModulePath();
    // Whether the module has been opened (it is, from the first request on).
    bool isModuleLoaded() const { return client_ != nullptr; }

private:
    using MakeClient = HttpClient* (*)();

    bool loadModule();

    const QString modulePath_;
    bool moduleTried_ = false;
    QString moduleError_;
    std::unique_ptr<HttpClient> client_;
    // Requests answered without the module, until their failure is delivered: their ids are
    // the module's ids' opposites (from the top of the range down) so the two never meet.
    std::unordered_map<RequestId, std::function<void(const HttpResponse&)>> failing_;
    RequestId nextFailing_ = ~RequestId(0);
    QObject context_;
};

} // namespace vantrel
