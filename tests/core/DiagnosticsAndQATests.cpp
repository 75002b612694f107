#include "core/JsonCoding.h"
#include "core/QAObserver.h"
#include "core/VantrelDiagnostics.h"

#include "platform/AppPaths.h"
#include "platform/InMemoryDefaults.h"
#include "support/FakeEnvironment.h"
#include "support/ManualClock.h"
#include "support/RecordingSystemLog.h"
#include "support/TempHome.h"

#include <QDir>
#include <QJsonDocument>
#include <QSignalSpy>
#include <gtest/gtest.h>

using namespace vantrel;
using namespace vantrel::test;
using Category = VantrelDiagnostics::Category;

namespace {

struct DiagnosticsFixture : ::testing::Test {
    TempHome home;
    ManualClock clock;
    RecordingSystemLog log;
    FakeEnvironment environment;
    InMemoryDefaults defaults;
    QAObserver qa{clock, home.paths()};
    VantrelDiagnostics diagnostics{clock, log, environment, defaults, qa};

    QAObserver::Session openSession(const QString& folder) {
        QAObserver::Session session{QUuid::createUuid(),
                                    clock.now(),
                                    QStringLiteral("1.0"),
                                    QStringLiteral("7"),
                                    std::nullopt,
                                    {},
                                    {},
                                    {}};
        qa.setSession(session);
        if (!folder.isEmpty()) {
            QDir().mkpath(folder);
            qa.setSessionURL(folder);
        }
        return session;
    }
};

} // namespace

TEST_F(DiagnosticsFixture, EveryRecordIsLoggedInTheQaFormatWhetherOrNotEnabled) {
    diagnostics.record(Category::notchIntent, QStringLiteral("hide: %1 %s 100%"));
    ASSERT_EQ(log.lines().size(), 1u);
    const auto& line = log.lines()[0];
    EXPECT_EQ(line.level, LogLevel::debug);
    EXPECT_EQ(line.subsystem, QStringLiteral("com.vantrel.mac"));
    EXPECT_EQ(line.category, QStringLiteral("QA"));
    EXPECT_EQ(line.message, QStringLiteral("[notchIntent] hide: %1 %s 100%"));
    EXPECT_TRUE(diagnostics.entries().isEmpty());
}

TEST_F(DiagnosticsFixture, TheSwitchIsReadAfreshOnEveryRecord) {
    QSignalSpy changed(&diagnostics, &VantrelDiagnostics::entriesChanged);
    diagnostics.record(Category::dock, QStringLiteral("off"));
    defaults.setBool(QStringLiteral("vantrel.qaMode"), true);
    diagnostics.record(Category::dock, QStringLiteral("flag on"));
    defaults.setBool(QStringLiteral("vantrel.qaMode"), false);
    environment.set(QStringLiteral("VANTREL_QA_MODE"), QStringLiteral("1"));
    diagnostics.record(Category::dock, QStringLiteral("variable on"));
    for (const QString& other : {QStringLiteral("true"), QStringLiteral("0"), QStringLiteral("1 ")}) {
        environment.set(QStringLiteral("VANTREL_QA_MODE"), other);
        EXPECT_FALSE(diagnostics.isEnabled()) << other.toStdString();
    }
    defaults.setBool(QStringLiteral("vantrel.qaMode"), true);
    EXPECT_TRUE(diagnostics.isEnabled()) << "the flag decides when the variable is not exactly 1";
    defaults.remove(QStringLiteral("vantrel.qaMode"));
    diagnostics.record(Category::dock, QStringLiteral("off again"));

    QStringList messages;
    for (const auto& entry : diagnostics.entries())
        messages.append(entry.message);
    EXPECT_EQ(messages, (QStringList{QStringLiteral("flag on"), QStringLiteral("variable on")}));
    EXPECT_EQ(changed.count(), 2);
    EXPECT_NE(diagnostics.entries()[0].id, diagnostics.entries()[1].id);
}

TEST_F(DiagnosticsFixture, KeepsTheNewest240WholeMessages) {
    environment.set(QStringLiteral("VANTREL_QA_MODE"), QStringLiteral("1"));
    const QString longMessage(1000, QLatin1Char('x'));
    diagnostics.record(Category::media, longMessage);
    for (int i = 1; i <= 240; ++i) {
        clock.advance(Seconds(1));
        diagnostics.record(Category::capability, QString::number(i));
    }
    ASSERT_EQ(diagnostics.entries().size(), 240);
    EXPECT_EQ(diagnostics.entries().front().message, QStringLiteral("1"));
    EXPECT_EQ(diagnostics.entries().back().message, QStringLiteral("240"));
    EXPECT_EQ(diagnostics.entries().back().at, clock.now());

    diagnostics.record(Category::media, longMessage);
    EXPECT_EQ(diagnostics.entries().back().message.size(), 1000);
    EXPECT_EQ(diagnostics.entries().front().message, QStringLiteral("2"));
}

TEST_F(DiagnosticsFixture, NothingIsRecordedOrWrittenWithoutASession) {
    QSignalSpy changed(&qa, &QAObserver::sessionChanged);
    diagnostics.record(Category::camera, QStringLiteral("ignored"));
    qa.record(QStringLiteral("persistence"), QStringLiteral("ignored"));
    EXPECT_FALSE(qa.session());
    EXPECT_EQ(changed.count(), 0);
    EXPECT_FALSE(QFileInfo::exists(home.paths().dataHome));
    EXPECT_EQ(qa.rootURL(), home.paths().dataHome + QStringLiteral("/Vantrel/QA/Sessions"));

    // Open but without a folder: events gather in memory only.
    openSession(QString());
    diagnostics.record(Category::camera, QStringLiteral("kept"));
    ASSERT_EQ(qa.session()->events.size(), 1);
    EXPECT_EQ(qa.session()->events[0].category, QStringLiteral("camera"));
    EXPECT_FALSE(QFileInfo::exists(home.paths().dataHome));
}

TEST_F(DiagnosticsFixture, AnOpenSessionIsRewrittenAfterEveryEventInTheSessionFormat) {
    const QString folder = home.root() + QStringLiteral("/session-1");
    const auto opened = openSession(folder);
    const QString family =
        QString::fromUtf8("\xF0\x9F\x91\xA8\xE2\x80\x8D\xF0\x9F\x91\xA9\xE2\x80\x8D\xF0\x9F\x91\xA7");
    qa.record(QStringLiteral("system-monitor"),
              QString(279, QLatin1Char('a')) + family + QStringLiteral("tail"));
    qa.record(QStringLiteral("haptic"), QString(280, QLatin1Char('b')));

    const QByteArray bytes = home.readFile(folder + QStringLiteral("/session.json"));
    const QJsonObject object = QJsonDocument::fromJson(bytes).object();
    EXPECT_EQ(object.keys(),
              (QStringList{QStringLiteral("appVersion"), QStringLiteral("build"), QStringLiteral("events"),
                           QStringLiteral("id"), QStringLiteral("scenarios"), QStringLiteral("screenshots"),
                           QStringLiteral("startedAt")}));
    EXPECT_TRUE(bytes.contains("\n")) << "pretty-printed";
    EXPECT_EQ(object.value(QStringLiteral("startedAt")).toString(), QStringLiteral("2026-01-05T09:00:00Z"));
    EXPECT_EQ(object.value(QStringLiteral("id")).toString(),
              opened.id.toString(QUuid::WithoutBraces).toUpper());
    const QJsonObject event = object.value(QStringLiteral("events")).toArray()[0].toObject();
    EXPECT_EQ(event.keys(), (QStringList{QStringLiteral("at"), QStringLiteral("category"),
                                         QStringLiteral("id"), QStringLiteral("message")}));
    // 280 characters as the user sees them: the family emoji stays whole.
    EXPECT_EQ(event.value(QStringLiteral("message")).toString(), QString(279, QLatin1Char('a')) + family);

    const QAObserver::Session reread = QAObserver::decodeSession(bytes);
    EXPECT_EQ(reread.events, qa.session()->events);
    EXPECT_EQ(reread.events[1].message.size(), 280);
    EXPECT_FALSE(reread.endedAt);

    QJsonObject incomplete = object;
    incomplete.remove(QStringLiteral("build"));
    EXPECT_THROW(QAObserver::decodeSession(QJsonDocument(incomplete).toJson()), JsonDecodingError);
}

TEST_F(DiagnosticsFixture, TheSessionKeepsTheNewestThousandEvents) {
    const QString folder = home.root() + QStringLiteral("/session-2");
    openSession(QString());
    for (int i = 1; i <= 1000; ++i)
        qa.record(QStringLiteral("c"), QString::number(i));
    // The folder only now, so the test does not rewrite the file a thousand times.
    QDir().mkpath(folder);
    qa.setSessionURL(folder);
    qa.record(QStringLiteral("c"), QStringLiteral("1001"));
    ASSERT_EQ(qa.session()->events.size(), 1000);
    EXPECT_EQ(qa.session()->events.front().message, QStringLiteral("2"));
    const auto reread = QAObserver::decodeSession(home.readFile(folder + QStringLiteral("/session.json")));
    EXPECT_EQ(reread.events.size(), 1000);
    EXPECT_EQ(reread.events.back().message, QStringLiteral("1001"));
}
