#pragma once

#include "platform/HttpClient.h"

#include <vector>

namespace vantrel::test {

// Keeps every request open until the test answers it.
class RecordingHttpClient final : public HttpClient {
public:
    struct Request {
        Seconds timeout;
        qint64 maxBytes;
        std::function<void(const HttpResponse&)> done; // empty once answered or cancelled
    };

    std::vector<Request> requests; // the id of a request is its index

    RequestId get(const QUrl&, Seconds timeout, qint64 maxBytes,
                  std::function<void(const HttpResponse&)> done) override {
        requests.push_back({timeout, maxBytes, std::move(done)});
        return RequestId(requests.size() - 1);
    }
    void cancel(RequestId id) override { requests.at(std::size_t(id)).done = nullptr; }

    // Answers the request at `index`; false when it was cancelled or already answered.
    bool respond(std::size_t index, const HttpResponse& response) {
        auto done = std::exchange(requests.at(index).done, nullptr);
        if (done) done(response);
        return bool(done);
    }
};

} // namespace vantrel::test
