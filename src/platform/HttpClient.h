#pragma once

#include "platform/Clock.h"

#include <QByteArray>
#include <QString>
#include <QUrl>
#include <cstdint>
#include <functional>
#include <optional>

namespace vantrel {

struct HttpResponse {
    std::optional<int> status; // none when no HTTP answer arrived
    QByteArray body;
    QString error; // empty on success
};

// Asynchronous GET requests, answered on the main thread.
class HttpClient {
public:
    using RequestId = std::uint64_t;

    virtual ~HttpClient() = default;
    // The request fails when it takes longer than `timeout` or its body exceeds `maxBytes`.
    virtual RequestId get(const QUrl& url, Seconds timeout, qint64 maxBytes,
                          std::function<void(const HttpResponse&)> done) = 0;
    // After cancel() the completion is never called. Unknown or finished ids are harmless.
    virtual void cancel(RequestId id) = 0;
};

} // namespace vantrel
