#include "platform/linux/IcsCalendarService.h"

#include "support/TempHome.h"
#include "support/UtcTime.h"

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
    QString folder = home.paths().dataFolder() + QStringLiteral("/calendars");
    std::unique_ptr<IcsCalendarService> makeService() {
        return std::make_unique<IcsCalendarService>(
            folder, QTimeZone::utc(), [this](const QString& message) { diagnostics.append(message); });
    }
    void install(const char* fixture, const QString& as) const {
        QDir().mkpath(folder);
        QFile::copy(QStringLiteral(VANTREL_TEST_DATA_DIR "/calendars/") + QString::fromLatin1(fixture),
                    folder + QLatin1Char('/') + as);
    }
    std::optional<QString> requestAccess(CalendarService& service) {
        std::optional<QString> error;
        service.requestFullAccess([&](bool ok, std::optional<QString> e) { error = ok ? QString() : e; });
        return error;
    }
    QStringList titles(CalendarService& service, const char* from = "2026-01-05T00:00:00Z",
                       const char* to = "2026-01-06T00:00:00Z") {
        QStringList out;
        for (const auto& event : service.events(utc(from), utc(to)))
            out.append(event.title.value_or(QStringLiteral("<none>")));
        out.sort();
        return out;
    }
};

} // namespace

TEST_F(IcsServiceFixture, AccessFollowsTheFolder) {
    auto service = makeService();
    EXPECT_EQ(service->authorizationStatus(), CalendarAuthorizationStatus::notDetermined);
    EXPECT_EQ(requestAccess(*service), QString());
    EXPECT_EQ(service->authorizationStatus(), CalendarAuthorizationStatus::fullAccess);

    // A file in place of the folder is an error naming the folder.
    QDir(folder).removeRecursively();
    home.writeFile(QStringLiteral("home/.local/share/Vantrel/calendars"), "not a folder");
    const auto error = requestAccess(*service);
    EXPECT_TRUE(error && error->contains(folder));
    EXPECT_EQ(service->authorizationStatus(), CalendarAuthorizationStatus::notDetermined);
}

TEST_F(IcsServiceFixture, AMalformedFileIsSkippedAndReportedOnceWithoutEmptyingTheOthers) {
    install("work.ics", QStringLiteral("work.ics"));
    install("personal.ics", QStringLiteral("personal.ics"));
    install("malformed.ics", QStringLiteral("broken.ics"));
    home.writeFile(QStringLiteral("home/.local/share/Vantrel/calendars/notes.txt"), "BEGIN:VCALENDAR");
    auto service = makeService();

    // Personal's call (09:30), its floating 18:00 instant read as UTC; work's stand-up, offsite
    // and untitled event. The July review lies outside the window.
    EXPECT_EQ(titles(*service),
              (QStringList{QString(), QStringLiteral("<none>"), QStringLiteral("Dinner\nwith friends"),
                           QStringLiteral("Offsite"), QStringLiteral("Stand-up")}));
    titles(*service);
    EXPECT_EQ(diagnostics,
              QStringList{QStringLiteral(
                  "calendar file broken.ics skipped: line 7: END:VCALENDAR does not close VEVENT")})
        << "an unchanged damaged file is reported once";

    // An instant on a window's end belongs to the next window.
    EXPECT_FALSE(
        titles(*service, "2026-01-05T12:00:00Z", "2026-01-05T18:00:00Z").contains(u"Dinner\nwith friends"));
    EXPECT_TRUE(
        titles(*service, "2026-01-05T18:00:00Z", "2026-01-05T19:00:00Z").contains(u"Dinner\nwith friends"));
}

TEST_F(IcsServiceFixture, ADroppedFileIsNoticed) {
    QDir().mkpath(folder);
    auto service = makeService();
    QSignalSpy changed(service.get(), &CalendarService::storeChanged);
    install("work.ics", QStringLiteral("dropped.ics"));
    // The file system reports the change on its own schedule; wait for the notification itself.
    ASSERT_TRUE(changed.wait(10000));
    EXPECT_EQ(titles(*service).size(), 3);
}
