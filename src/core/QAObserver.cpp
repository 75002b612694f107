#include "core/QAObserver.h"

#include "core/JsonCoding.h"
#include "core/PlainText.h"
#include "platform/AppPaths.h"
#include "platform/AtomicFile.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonParseError>

namespace vantrel {

QAObserver::QAObserver(const Clock& clock, const AppPaths& paths, std::optional<QString> outputRoot,
                       QObject* parent)
    : QObject(parent), clock_(clock),
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
        writeFileAtomically(*sessionURL_ + QStringLiteral("/session.json"), encodeSession(*session_));
    } catch (const FileWriteError&) {
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

QAObserver::Session QAObserver::decodeSession(const QByteArray& bytes) {
    QJsonParseError parse{};
    const QJsonDocument document = QJsonDocument::fromJson(bytes, &parse);
    if (parse.error != QJsonParseError::NoError) throw JsonDecodingError(parse.errorString());
    if (!document.isObject()) throw JsonDecodingError(QStringLiteral("session: expected an object"));
    const QJsonObject object = document.object();
    Session session;
    session.id = requireUuid(object, u"id");
    session.startedAt = decodeIsoDate(object.value(u"startedAt"), u"startedAt");
    session.appVersion = requireString(object, u"appVersion");
    session.build = requireString(object, u"build");
    if (const QJsonValue ended = object.value(u"endedAt"); !ended.isUndefined() && !ended.isNull())
        session.endedAt = decodeIsoDate(ended, u"endedAt");
    for (const Event& event : decodeArray(object.value(u"events"), [](const QJsonValue& value) {
             const QJsonObject e = requireObject(value, u"event");
             return Event{requireUuid(e, u"id"), decodeIsoDate(e.value(u"at"), u"at"),
                          requireString(e, u"category"), requireString(e, u"message")};
         }))
        session.events.append(event);
    for (const QJsonValue& shot : requireArray(object.value(u"screenshots"), u"screenshots")) {
        if (!shot.isString()) throw JsonDecodingError(QStringLiteral("screenshots: expected strings"));
        session.screenshots.append(shot.toString());
    }
    const QJsonObject scenarios = requireObject(object.value(u"scenarios"), u"scenarios");
    for (auto it = scenarios.begin(); it != scenarios.end(); ++it) {
        if (!it.value().isString()) throw JsonDecodingError(QStringLiteral("scenarios: expected strings"));
        session.scenarios.insert(it.key(), it.value().toString());
    }
    return session;
}

} // namespace vantrel
