#include "core/QAObserver.h"
#include "core/VantrelDiagnostics.h"

#include "platform/AppPaths.h"
#include "platform/InMemoryDefaults.h"
#include "support/FakeEnvironment.h"
#include "support/ManualClock.h"
#include "support/RecordingSystemLog.h"
#include "support/TempHome.h"

#include "platform/linux/JsonFileDefaults.h"
#include "platform/linux/PosixFileManager.h"
#include "support/ManualScheduler.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <cstdio>
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
    PosixFileManager files;
    QAObserver qa{clock, files, home.paths()};
    VantrelDiagnostics diagnostics{clock, log, environment, defaults, qa};

    // Opens a session as a tester's tooling would; with an empty folder it is kept in memory only.
    void openSession(const QString& folder) {
        qa.setSession(QAObserver::Session{
            QUuid::createUuid(), clock.now(), QStringLiteral("1.0"), QStringLiteral("7"), {}, {}, {}, {}});
        if (!folder.isEmpty()) {
            QDir().mkpath(folder);
            qa.setSessionURL(folder);
        }
    }
    QJsonObject sessionFile(const QString& folder) const {
        return QJsonDocument::fromJson(home.readFile(folder + QStringLiteral("/session.json"))).object();
    }
    QStringList messages() const {
        QStringList out;
        for (const auto& entry : diagnostics.entries()) out.append(entry.message);
        return out;
    }
};

} // namespace

TEST_F(DiagnosticsFixture, EveryRecordIsLoggedAndTheSwitchIsReadAfreshEachTime) {
    diagnostics.record(Category::notchIntent, QStringLiteral("hide: %1 %s 100%"));
    ASSERT_EQ(log.lines().size(), 1u);
    EXPECT_EQ(log.lines()[0].category, QStringLiteral("QA"));
    EXPECT_EQ(log.lines()[0].message, QStringLiteral("[notchIntent] hide: %1 %s 100%"));

    defaults.setBool(QStringLiteral("vantrel.qaMode"), true);
    diagnostics.record(Category::dock, QStringLiteral("flag on"));
    defaults.setBool(QStringLiteral("vantrel.qaMode"), false);
    environment.set(QStringLiteral("VANTREL_QA_MODE"), QStringLiteral("1"));
    diagnostics.record(Category::dock, QStringLiteral("variable on"));
    for (const QString& other : {QStringLiteral("true"), QStringLiteral("0"), QStringLiteral("1 ")}) {
        environment.set(QStringLiteral("VANTREL_QA_MODE"), other);
        diagnostics.record(Category::dock, QStringLiteral("variable not exactly 1"));
    }
    EXPECT_EQ(messages(), (QStringList{QStringLiteral("flag on"), QStringLiteral("variable on")}));
    EXPECT_EQ(log.lines().size(), 6u) << "the system log gets every record";
}

TEST_F(DiagnosticsFixture, TheFlagEditedInTheSettingsFileWhileRunningCountsAtTheNextRecord) {
    ManualScheduler scheduler{clock};
    const QString folder = home.paths().defaultsFolder();
    JsonFileDefaults fileDefaults(QStringLiteral("com.vantrel.mac"), folder, &scheduler, clock, log);
    VantrelDiagnostics fromFile{clock, log, environment, fileDefaults, qa};
    const auto edit = [&](const QByteArray& json) {
        // As an editor saves: a new file renamed over the old one.
        home.writeFile(QStringLiteral("home/.config/Vantrel/defaults/edit.tmp"), json);
        ASSERT_EQ(std::rename(QFile::encodeName(folder + "/edit.tmp").constData(),
                              QFile::encodeName(folder + "/com.vantrel.mac.json").constData()),
                  0);
    };
    fromFile.record(Category::dock, QStringLiteral("before"));
    edit(R"({"vantrel.qaMode": true})");
    fromFile.record(Category::dock, QStringLiteral("switched on in the file"));
    edit(R"({"vantrel.qaMode": false, "other": 1})");
    fromFile.record(Category::dock, QStringLiteral("switched off again"));
    ASSERT_EQ(fromFile.entries().size(), 1);
    EXPECT_EQ(fromFile.entries()[0].message, QStringLiteral("switched on in the file"));
}

TEST_F(DiagnosticsFixture, KeepsTheNewest240WholeMessages) {
    environment.set(QStringLiteral("VANTREL_QA_MODE"), QStringLiteral("1"));
    for (int i = 0; i <= 240; ++i) diagnostics.record(Category::capability, QString::number(i));
    const QString longMessage(1000, QLatin1Char('x'));
    diagnostics.record(Category::media, longMessage);
    ASSERT_EQ(diagnostics.entries().size(), 240);
    EXPECT_EQ(diagnostics.entries().front().message, QStringLiteral("2"));
    EXPECT_EQ(diagnostics.entries().back().message, longMessage);
}

TEST_F(DiagnosticsFixture, WithoutASessionNothingIsRecordedOrWrittenAndASessionKeepsAThousand) {
    EXPECT_EQ(qa.rootURL(), home.paths().dataHome + QStringLiteral("/Vantrel/QA/Sessions"))
        << "sessions live under the data folder unless the tooling names another";
    diagnostics.record(Category::camera, QStringLiteral("ignored"));
    qa.record(QStringLiteral("persistence"), QStringLiteral("ignored"));
    EXPECT_FALSE(qa.session());

    // Open but without a folder: events gather in memory only, the newest thousand.
    openSession(QString());
    diagnostics.record(Category::camera, QStringLiteral("1"));
    for (int i = 2; i <= 1001; ++i) qa.record(QStringLiteral("c"), QString::number(i));
    ASSERT_EQ(qa.session()->events.size(), 1000);
    EXPECT_EQ(qa.session()->events.front().message, QStringLiteral("2"));
    EXPECT_FALSE(QFileInfo::exists(home.paths().dataHome));
}

TEST_F(DiagnosticsFixture, AnOpenSessionIsRewrittenAfterEveryEventInTheSessionFormat) {
    const QString folder = home.root() + QStringLiteral("/session-1");
    openSession(folder);
    const QString family =
        QString::fromUtf8("\xF0\x9F\x91\xA8\xE2\x80\x8D\xF0\x9F\x91\xA9\xE2\x80\x8D\xF0\x9F\x91\xA7");
    qa.record(QStringLiteral("system-monitor"),
              QString(279, QLatin1Char('a')) + family + QStringLiteral("tail"));
    qa.record(QStringLiteral("haptic"), QString(280, QLatin1Char('b')));

    const QJsonObject object = sessionFile(folder);
    EXPECT_EQ(object.keys(),
              (QStringList{"appVersion", "build", "events", "id", "scenarios", "screenshots", "startedAt"}))
        << "no endedAt while the session has no end";
    EXPECT_EQ(object.value(QStringLiteral("startedAt")).toString(), QStringLiteral("2026-01-05T09:00:00Z"));
    const QJsonArray events = object.value(QStringLiteral("events")).toArray();
    ASSERT_EQ(events.size(), 2);
    const QJsonObject first = events[0].toObject();
    EXPECT_EQ(first.keys(), (QStringList{"at", "category", "id", "message"}));
    // 280 characters as the user sees them: the family emoji stays whole.
    EXPECT_EQ(first.value(QStringLiteral("message")).toString(), QString(279, QLatin1Char('a')) + family);
    EXPECT_EQ(events[1].toObject().value(QStringLiteral("message")).toString().size(), 280);
}
