#include "core/QAObserver.h"

#include "core/JsonCoding.h"
#include "core/PlainText.h"
#include "platform/AppPaths.h"
#include "platform/FileManager.h"

#include <QJsonArray>
#include <QJsonDocument>

namespace vantrel {

QAObserver::QAObserver(const Clock& clock, FileManager& files, const AppPaths& paths,
                       std::optional<QString> outputRoot, QObject* parent)
    : QObject(parent), clock_(clock), files_(files),
      rootURL_(outputRoot ? *outputRoot : paths.dataFolder() + QStringLiteral("/QA/Sessions")) {}

void QAObserver::setSession(std::optional<Session> session) {
    session_ = std::move(session);
    Q_EMIT sessionChanged();
}

void QAObserver::setOutputURL(std::optional<QString> url) {
    outputURL_ = std::move(url);
    Q_EMIT outputURLChanged();
}

void QAObserver::record(const QString& category, const QString& message) {
    if (!session_) return;
    Session changed = *session_;
    changed.events.append(
        {QUuid::createUuid(), clock_.now(), category, plaintext::characterPrefix(message, maxMessageLength)});
    if (changed.events.size() > maxEvents) changed.events.remove(0, changed.events.size() - maxEvents);
    setSession(std::move(changed));
    persist();
}

void QAObserver::persist() {
    if (!session_ || !sessionURL_) return;
    try {
        files_.writeData(encodeSession(*session_), *sessionURL_ + QStringLiteral("/session.json"));
    } catch (const std::exception&) {
        // A tester's record must never disturb the run; the session stays complete in memory.
    }
}

QByteArray QAObserver::encodeSession(const Session& session) {
    QJsonObject object;
    object.insert(QStringLiteral("id"), encodeUuid(session.id));
    object.insert(QStringLiteral("startedAt"), encodeIsoDate(session.startedAt));
    object.insert(QStringLiteral("appVersion"), session.appVersion);
    object.insert(QStringLiteral("build"), session.build);
    if (session.endedAt) object.insert(QStringLiteral("endedAt"), encodeIsoDate(*session.endedAt));
    object.insert(QStringLiteral("events"), encodeArray(session.events, [](const Event& event) {
                      QJsonObject e;
                      e.insert(QStringLiteral("id"), encodeUuid(event.id));
                      e.insert(QStringLiteral("at"), encodeIsoDate(event.at));
                      e.insert(QStringLiteral("category"), event.category);
                      e.insert(QStringLiteral("message"), event.message);
                      return e;
                  }));
    object.insert(QStringLiteral("screenshots"), QJsonArray::fromStringList(session.screenshots));
    QJsonObject scenarios;
    for (auto it = session.scenarios.cbegin(); it != session.scenarios.cend(); ++it)
        scenarios.insert(it.key(), it.value());
    object.insert(QStringLiteral("scenarios"), scenarios);
    // QJsonObject keeps its keys sorted, so the file lists them in order.
    return QJsonDocument(object).toJson(QJsonDocument::Indented);
}

} // namespace vantrel
