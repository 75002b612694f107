#include "modules/FileShelfStore.h"

#include "core/VantrelHaptics.h"
#include "core/VantrelPreferences.h"
#include "platform/linux/PosixFileManager.h"
#include "support/ManualScheduler.h"
#include "support/RecordingHapticPerformer.h"
#include "support/RecordingSharingService.h"
#include "support/RecordingUserDefaults.h"
#include "support/RecordingWorkspace.h"
#include "support/TempHome.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <gtest/gtest.h>

using namespace vantrel;
using namespace vantrel::test;

namespace {

const QString kItems = QStringLiteral("shelf.items.v2");
constexpr qint64 kLarge = 524'288'001; // one byte over the large-file limit

struct ShelfFixture : ::testing::Test {
    TempHome home;
    ManualClock clock;
    ManualScheduler scheduler{clock};
    RecordingUserDefaults defaults;
    PosixFileManager files;
    RecordingWorkspace workspace;
    RecordingSharingService sharing;
    VantrelPreferences preferences{defaults};
    RecordingHapticPerformer performer;
    // Delayed pulses run on their own scheduler, so the shelf's timer is alone on `scheduler`.
    ManualScheduler hapticScheduler{clock};
    VantrelHaptics haptics{preferences, performer, hapticScheduler};

    std::unique_ptr<FileShelfStore> makeStore() {
        return std::make_unique<FileShelfStore>(defaults, files, clock, scheduler, workspace, sharing,
                                                haptics);
    }
    // A file of the given size; large sizes are sparse, so they cost no disk space.
    QUrl file(const QString& name, qint64 size = 3) {
        QFile f(home.writeFile(name, "abc"));
        EXPECT_TRUE(f.resize(size));
        return QUrl::fromLocalFile(f.fileName());
    }
    // The delay and tolerance of the one pending timer; {-1, -1} when there is not exactly one.
    std::pair<double, double> timer() const {
        const auto ids = scheduler.pendingTasks();
        if (ids.size() != 1) return {-1, -1};
        return {*scheduler.delayOf(ids.front()), scheduler.toleranceOf(ids.front())->count()};
    }
};

} // namespace

TEST_F(ShelfFixture, AddsNewestFirstWithoutDuplicatesAndKeepsTen) {
    auto store = makeStore();
    const QUrl a = file(QStringLiteral("a.txt")), b = file(QStringLiteral("b.txt"));
    store->add({a, b});
    store->add({a});
    EXPECT_EQ(store->items(), (QList<QUrl>{a, b}));

    QList<QUrl> twelve;
    for (int i = 0; i < 12; ++i) twelve.append(file(QStringLiteral("f%1.txt").arg(i)));
    store->add(twelve);
    EXPECT_EQ(store->items(), QList<QUrl>(twelve.crbegin(), twelve.crbegin() + 10));

    // The older path list is written beside the new format, in shelf order.
    EXPECT_EQ(defaults.stringList(QStringLiteral("shelf.paths"))->front(), twelve.back().toLocalFile());
}

TEST_F(ShelfFixture, LargeFilesExpireAfterAnHourWithTheNoticeShownOnce) {
    auto store = makeStore();
    const QUrl exact = file(QStringLiteral("exact.bin"), kLarge - 1);
    store->add({exact});
    EXPECT_EQ(scheduler.pendingCount(), 0u) << "the limit itself is not large";

    store->add({file(QStringLiteral("first.mov"), kLarge), file(QStringLiteral("second.mov"), kLarge)});
    EXPECT_EQ(store->largeFileNotice(),
              QStringLiteral("first.mov is large and will be removed from the shelf after one hour."));
    EXPECT_EQ(timer(), std::make_pair(3600.0, 30.0)) << "10 % capped at 30 seconds";
    scheduler.advance(Seconds(3599));
    EXPECT_EQ(store->items().size(), 3);
    scheduler.advance(Seconds(1));
    EXPECT_EQ(store->items(), (QList<QUrl>{exact}));
    EXPECT_EQ(scheduler.pendingCount(), 0u) << "no timer while nothing expires";

    // Two large files: removing the sooner one moves the timer to the later one.
    const QUrl early = file(QStringLiteral("early.iso"), kLarge);
    store->add({early});
    scheduler.advance(Seconds(3000));
    store->add({file(QStringLiteral("late.iso"), kLarge)});
    EXPECT_DOUBLE_EQ(timer().first, 600);
    store->remove(early);
    EXPECT_DOUBLE_EQ(timer().first, 3600);

    // The notice is never shown again, not even after a restart.
    store = makeStore();
    store->add({file(QStringLiteral("third.mov"), kLarge)});
    EXPECT_EQ(store->largeFileNotice(), std::nullopt);
}

TEST_F(ShelfFixture, RestoringDropsPassedHoursAndFallsBackToTheOlderPathList) {
    const auto seed = [this](const QByteArray& items) {
        defaults.seed(kItems, QJsonObject{{QStringLiteral("$data"), QString::fromLatin1(items.toBase64())}});
    };
    const double now = Seconds(clock.now().time_since_epoch()).count() - 978307200.0; // since 2001
    QJsonArray stored;
    for (const auto& [path, expiresIn] : {std::pair{"/soon", 0.5}, {"/gone", -400.0}, {"/later", 100.0}})
        stored.append(QJsonObject{{QStringLiteral("path"), QString::fromLatin1(path)},
                                  {QStringLiteral("addedAt"), now - 3600 + expiresIn},
                                  {QStringLiteral("expiresAt"), now + expiresIn}});
    seed(QJsonDocument(stored).toJson());
    auto store = makeStore();
    EXPECT_EQ(store->items(), (QList<QUrl>{QUrl::fromLocalFile(QStringLiteral("/soon")),
                                           QUrl::fromLocalFile(QStringLiteral("/later"))}))
        << "an hour that passed while not running is dropped at start";
    EXPECT_EQ(timer(), std::make_pair(1.0, 0.1)) << "never below one second";

    defaults.seed(QStringLiteral("shelf.paths"),
                  QJsonArray::fromStringList({QStringLiteral("/one"), QStringLiteral("/two")}));
    for (const QByteArray& damaged : {QByteArray("not json"), QByteArray(R"({"path":"/x","addedAt":1})"),
                                      QByteArray(R"([{"path":"/x","addedAt":1,"expiresAt":"soon"}])")}) {
        seed(damaged);
        store = makeStore();
        ASSERT_EQ(store->items().size(), 2) << damaged.constData();
        // Written again in the new format, the old entries with the distant past as their time.
        const QJsonArray saved =
            QJsonDocument::fromJson(defaults.data(kItems).value_or(QByteArray())).array();
        EXPECT_DOUBLE_EQ(saved.at(0)[QStringLiteral("addedAt")].toDouble(), -63114076800.0);
    }
}

TEST_F(ShelfFixture, MissingFilesAreReportedByOpenRevealAndAirDrop) {
    auto store = makeStore();
    const QUrl present = file(QStringLiteral("report.pdf"));
    const QUrl gone = QUrl::fromLocalFile(home.root() + QStringLiteral("/old draft.pages"));
    store->open(gone);
    EXPECT_EQ(
        store->shareStatus(),
        QStringLiteral(
            "old draft.pages moved or is no longer available. Remove it from Vantrel or add it again."));
    store->reveal(gone);
    EXPECT_EQ(store->shareStatus(),
              QStringLiteral("old draft.pages is no longer available in its original location."));
    store->open(present);
    store->reveal(present);
    EXPECT_EQ(workspace.opened, std::vector<QUrl>{present});
    EXPECT_EQ(workspace.revealed, QStringList{present.toLocalFile()});

    store->airDrop({gone});
    EXPECT_EQ(store->shareStatus(), QStringLiteral("Add files to the shelf before using AirDrop."));
    store->airDrop({gone, present});
    EXPECT_EQ(store->shareStatus(), QStringLiteral("AirDrop is unavailable on this Mac."));
    sharing.airDropAvailable = true;
    store->airDrop({gone, present});
    EXPECT_EQ(store->shareStatus(), QStringLiteral("Opening AirDrop\u2026"));
    EXPECT_EQ(sharing.sent, std::vector<QList<QUrl>>{{present}});
}
