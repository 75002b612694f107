#include "platform/linux/IcsCalendarService.h"

#include "support/TempHome.h"
#include "support/UtcTime.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <gtest/gtest.h>

using namespace vantrel;
using namespace vantrel::test;

namespace {

struct IcsServiceFixture : ::testing::Test {
    TempHome home;
    QStringList diagnostics;
    QString folder() const { return home.paths().dataFolder() + QStringLiteral("/calendars"); }
    std::unique_ptr<IcsCalendarService> makeService() {
        return std::make_unique<IcsCalendarService>(
            folder(), QTimeZone::utc(), [this](const QString& message) { diagnostics.append(message); });
    }
    void install(const char* fixture, const QString& as) const {
        QFile source(QStringLiteral(VANTREL_TEST_DATA_DIR "/calendars/") + QString::fromLatin1(fixture));
        ASSERT_TRUE(source.open(QIODevice::ReadOnly));
        QFile target(folder() + QLatin1Char('/') + as);
        ASSERT_TRUE(target.open(QIODevice::WriteOnly));
        target.write(source.readAll());
    }
};

} // namespace

TEST_F(IcsServiceFixture, AccessFollowsTheFolder) {
    auto service = makeService();
    EXPECT_EQ(service->authorizationStatus(), CalendarAuthorizationStatus::notDetermined);
    EXPECT_TRUE(service->events(utc("2026-01-05T00:00:00Z"), utc("2026-01-06T00:00:00Z")).empty());
    std::optional<bool> granted;
    service->requestFullAccess([&](bool ok, std::optional<QString> error) {
        granted = ok;
        EXPECT_EQ(error, std::nullopt);
    });
    EXPECT_EQ(granted, true);
    EXPECT_TRUE(QFileInfo(folder()).isDir());
    EXPECT_EQ(service->authorizationStatus(), CalendarAuthorizationStatus::fullAccess);
}

TEST_F(IcsServiceFixture, AFileInPlaceOfTheFolderIsAnError) {
    home.writeFile(QStringLiteral("home/.local/share/Vantrel/calendars"), "not a folder");
    auto service = makeService();
    std::optional<QString> reported;
    service->requestFullAccess([&](bool ok, std::optional<QString> error) {
        EXPECT_FALSE(ok);
        reported = error;
    });
    ASSERT_TRUE(reported);
    EXPECT_TRUE(reported->contains(folder()));
    EXPECT_EQ(service->authorizationStatus(), CalendarAuthorizationStatus::notDetermined);
}

TEST_F(IcsServiceFixture, AMalformedFileIsSkippedAndReportedOnceWithoutEmptyingTheOthers) {
    QDir().mkpath(folder());
    install("work.ics", QStringLiteral("work.ics"));
    install("personal.ics", QStringLiteral("personal.ics"));
    install("malformed.ics", QStringLiteral("broken.ics"));
    home.writeFile(QStringLiteral("home/.local/share/Vantrel/calendars/notes.txt"), "BEGIN:VCALENDAR");
    auto service = makeService();

    const auto events = service->events(utc("2026-01-05T00:00:00Z"), utc("2026-01-06T00:00:00Z"));
    QStringList titles;
    for (const auto& event : events)
        titles.append(event.title.value_or(QStringLiteral("<none>")));
    titles.sort();
    // Personal's call (09:30), its floating 18:00 instant read as UTC; work's stand-up, offsite
    // and untitled event. The July review lies outside the window.
    EXPECT_EQ(titles,
              (QStringList{QString(), QStringLiteral("<none>"), QStringLiteral("Dinner\nwith friends"),
                           QStringLiteral("Offsite"), QStringLiteral("Stand-up")}));
    ASSERT_EQ(diagnostics.size(), 1);
    EXPECT_EQ(
        diagnostics.front(),
        QStringLiteral("calendar file broken.ics skipped: line 7: END:VCALENDAR does not close VEVENT"));

    service->events(utc("2026-01-05T00:00:00Z"), utc("2026-01-06T00:00:00Z"));
    EXPECT_EQ(diagnostics.size(), 1) << "an unchanged damaged file is reported once";

    // An instant on a window's end belongs to the next window.
    const auto hasDinner = [&](const char* from, const char* to) {
        for (const auto& event : service->events(utc(from), utc(to)))
            if (event.title == QStringLiteral("Dinner\nwith friends")) return true;
        return false;
    };
    EXPECT_FALSE(hasDinner("2026-01-05T12:00:00Z", "2026-01-05T18:00:00Z"));
    EXPECT_TRUE(hasDinner("2026-01-05T18:00:00Z", "2026-01-05T19:00:00Z"));
}

TEST_F(IcsServiceFixture, ADroppedFileIsNoticed) {
    QDir().mkpath(folder());
    auto service = makeService();
    QSignalSpy changed(service.get(), &CalendarService::storeChanged);
    install("work.ics", QStringLiteral("dropped.ics"));
    // The file system reports the change on its own schedule; wait for the notification itself.
    ASSERT_TRUE(changed.wait(10000));
    EXPECT_EQ(service->events(utc("2026-01-05T00:00:00Z"), utc("2026-01-06T00:00:00Z")).size(), 3u);
}
