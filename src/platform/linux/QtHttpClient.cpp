#include "platform/linux/QtHttpClient.h"

#include "platform/linux/ModulePath.h"

#include <QLibrary>
#include <QTimer>

namespace vantrel {

QtHttpClient::QtHttpClient(QString modulePath) : modulePath_(std::move(modulePath)) {}

QtHttpClient::~QtHttpClient() {
    // Nothing is pending any more: the module's client completes no one as it goes.
    failing_.clear();
    client_.reset();
}

QString QtHttpClient::defaultModulePath() {
    return modulePathBesideExecutable(QStringLiteral(VANTREL_HTTP_MODULE));
}

bool QtHttpClient::loadModule() {
    if (moduleTried_) return client_ != nullptr;
    moduleTried_ = true;
    // Never unloaded: replies the module made may still be deleted later by the event loop.
    QLibrary module(modulePath_);
    const auto make = reinterpret_cast<MakeClient>(module.resolve("vantrel_make_http_client"));
    if (!make) {
        moduleError_ = QStringLiteral("no network module: ") + module.errorString();
        return false;
    }
    client_.reset(make());
    return true;
}

HttpClient::RequestId QtHttpClient::get(const QUrl& url, Seconds timeout, qint64 maxBytes,
                                        std::function<void(const HttpResponse&)> done) {
    if (loadModule()) return client_->get(url, timeout, maxBytes, std::move(done));
    const RequestId id = nextFailing_--;
    failing_.emplace(id, std::move(done));
    QTimer::singleShot(0, &context_, [this, id] {
        auto it = failing_.find(id);
        if (it == failing_.end()) return;
        const auto done = std::move(it->second);
        failing_.erase(it);
        done(HttpResponse{std::nullopt, {}, moduleError_});
    });
    return id;
}

void QtHttpClient::cancel(RequestId id) {
    if (failing_.erase(id) > 0) return;
    if (client_) client_->cancel(id);
}

} // namespace vantrel
