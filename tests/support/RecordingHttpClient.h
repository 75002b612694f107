#pragma once

#include "platform/HttpClient.h"

#include <map>
#include <vector>

namespace vantrel::test {

// Keeps every request open until the test answers it.
class RecordingHttpClient final : public HttpClient {
public:
    struct Request {
        RequestId id;
        QUrl url;
        Seconds timeout;
        qint64 maxBytes;
    };

    std::vector<Request> requests;

    RequestId get(const QUrl& url, Seconds timeout, qint64 maxBytes,
                  std::function<void(const HttpResponse&)> done) override {
        const RequestId id = nextId_++;
        requests.push_back({id, url, timeout, maxBytes});
        open_[id] = std::move(done);
        return id;
    }
    void cancel(RequestId id) override { open_.erase(id); }

    bool isOpen(RequestId id) const { return open_.count(id) != 0; }
    // Answers an open request; returns false when it was cancelled or already answered.
    bool respond(RequestId id, const HttpResponse& response) {
        auto it = open_.find(id);
        if (it == open_.end()) return false;
        auto done = std::move(it->second);
        open_.erase(it);
        done(response);
        return true;
    }

private:
    std::map<RequestId, std::function<void(const HttpResponse&)>> open_;
    RequestId nextId_ = 1;
};

} // namespace vantrel::test
