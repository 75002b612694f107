#pragma once

#include "core/SharedInstance.h"
#include "platform/Clock.h"

#include <QJsonObject>
#include <QList>
#include <QMap>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QUuid>
#include <optional>

namespace vantrel {

class FileManager;

struct AppPaths;

// Records the events of a quality-assurance run into an open session and rewrites the session's
// "session.json" after every event. The application opens no session by itself: until one is set
// from outside, every record returns at once and nothing touches the disk.
class QAObserver : public QObject, public SharedInstance<QAObserver> {
    Q_OBJECT

public:
    static constexpr int maxEvents = 1000;
    static constexpr int maxMessageLength = 280;

    struct Event {
        QUuid id;
        WallTime at;
        QString category;
        QString message;
        bool operator==(const Event&) const = default;
    };

    struct Session {
        QUuid id;
        WallTime startedAt;
        QString appVersion;
        QString build;
        std::optional<WallTime> endedAt;
        QList<Event> events;
        QStringList screenshots;
        QMap<QString, QString> scenarios;
        bool operator==(const Session&) const = default;
    };

    // `outputRoot` none: "<data home>/Vantrel/QA/Sessions", whatever the build channel.
    QAObserver(const Clock& clock, FileManager& files, const AppPaths& paths,
               std::optional<QString> outputRoot = std::nullopt, QObject* parent = nullptr);

    const std::optional<Session>& session() const { return session_; }
    const std::optional<QString>& outputURL() const { return outputURL_; }
    const std::optional<QString>& sessionURL() const { return sessionURL_; }
    const QString& rootURL() const { return rootURL_; }

    // Opening a session is up to the tester's tooling.
    void setSession(std::optional<Session> session);
    void setOutputURL(std::optional<QString> url);
    void setSessionURL(std::optional<QString> url) { sessionURL_ = std::move(url); }

    // Appends an event to the open session (message cut to 280 characters as the user sees them,
    // the oldest events dropped beyond 1000) and rewrites the session file.
    void record(const QString& category, const QString& message);

    // Pretty-printed, keys sorted, ISO 8601 dates, upper-case UUIDs; "endedAt" only once ended.
    static QByteArray encodeSession(const Session& session);

Q_SIGNALS:
    void sessionChanged();
    void outputURLChanged();

private:
    void persist();

    const Clock& clock_;
    FileManager& files_;
    std::optional<Session> session_;
    std::optional<QString> outputURL_;
    std::optional<QString> sessionURL_;
    QString rootURL_;
};

} // namespace vantrel
