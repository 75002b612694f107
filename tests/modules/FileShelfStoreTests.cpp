#include "modules/FileShelfStore.h"

#include "core/VantrelPreferences.h"
#include "kit/VantrelHaptics.h"
#include "platform/InMemoryDefaults.h"
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
const QString kPaths = QStringLiteral("shelf.paths");
const QString kNotice = QStringLiteral("shelf.hasShownLargeFileNotice");
constexpr double kReferenceEpoch = 978307200.0;

struct ShelfFixture : ::testing::Test {
    TempHome home;
    ManualClock clock;
    ManualScheduler scheduler{clock};
    RecordingUserDefaults defaults;
    RecordingWorkspace workspace;
    RecordingSharingService sharing;
    InMemoryDefaults settings;
    VantrelPreferences preferences{settings};
    RecordingHapticPerformer performer;
    // Delayed pulses run on their own scheduler, so the shelf's timer is alone on `scheduler`.
    ManualScheduler hapticScheduler{clock};
    VantrelHaptics haptics{preferences, performer, hapticScheduler};

    std::unique_ptr<FileShelfStore> makeStore() {
        return std::make_unique<FileShelfStore>(defaults, clock, scheduler, workspace, sharing, haptics);
    }
    // A file of the given size; large sizes are sparse, so they cost no disk space.
    QUrl file(const QString& name, qint64 size = 3) {
        const QString path = home.writeFile(name, "abc");
        QFile f(path);
        EXPECT_TRUE(f.resize(size));
        return QUrl::fromLocalFile(path);
    }
    QUrl missing(const QString& name) const {
        return QUrl::fromLocalFile(home.root() + QLatin1Char('/') + name);
    }
    double nowSince2001() const { return Seconds(clock.now().time_since_epoch()).count() - kReferenceEpoch; }
    QJsonArray storedItems() const {
        return QJsonDocument::fromJson(defaults.data(kItems).value_or(QByteArray())).array();
    }
    std::optional<Scheduler::TaskId> onlyTimer() const {
        const auto ids = scheduler.pendingTasks();
        if (ids.size() != 1) return std::nullopt;
        return ids.front();
    }
};

} // namespace

TEST_F(ShelfFixture, AddsNewestFirstWithoutDuplicatesAndKeepsTen) {
    auto store = makeStore();
    const QUrl a = file(QStringLiteral("a.txt")), b = file(QStringLiteral("b.txt"));
    store->add({a, b});
    ASSERT_GT(performer.count(), 0u) << "adding plays the controls haptic";
    performer.clear();
    store->add({a});
    EXPECT_EQ(store->items(), (QList<QUrl>{a, b}));
    EXPECT_GT(performer.count(), 0u);
    performer.clear();
    store->add({});
    EXPECT_EQ(performer.count(), 0u) << "an empty drop plays no haptic";

    QList<QUrl> twelve;
    for (int i = 0; i < 12; ++i)
        twelve.append(file(QStringLiteral("f%1.txt").arg(i)));
    store->clear();
    store->add(twelve);
    ASSERT_EQ(store->items().size(), 10);
    EXPECT_EQ(store->items().front(), twelve.back());
    EXPECT_EQ(store->items().back(), twelve.at(2));
    EXPECT_FALSE(store->items().contains(twelve.at(0)));
    EXPECT_FALSE(store->items().contains(twelve.at(1)));

    // Both formats are written on every change, in shelf order.
    QStringList expected;
    for (const QUrl& url : store->items())
        expected.append(url.toLocalFile());
    EXPECT_EQ(defaults.stringList(kPaths), expected);
    const QJsonArray stored = storedItems();
    ASSERT_EQ(stored.size(), 10);
    EXPECT_EQ(stored.at(0).toObject().value(QStringLiteral("path")).toString(), expected.front());
    EXPECT_DOUBLE_EQ(stored.at(0).toObject().value(QStringLiteral("addedAt")).toDouble(), nowSince2001());
    EXPECT_FALSE(stored.at(0).toObject().contains(QStringLiteral("expiresAt")));

    store->remove(twelve.back());
    EXPECT_EQ(store->items().size(), 9);
    EXPECT_TRUE(QFile::exists(twelve.back().toLocalFile())) << "the shelf never touches the file";
}

TEST_F(ShelfFixture, LargeFileBoundaryAndTheNoticeShownOnce) {
    auto store = makeStore();
    const QUrl exact = file(QStringLiteral("exact.bin"), 524'288'000);
    const QUrl first = file(QStringLiteral("first.mov"), 524'288'001);
    const QUrl second = file(QStringLiteral("second.mov"), 600'000'000);
    store->add({exact});
    EXPECT_EQ(store->expiration(exact), std::nullopt);
    EXPECT_EQ(store->largeFileNotice(), std::nullopt);

    store->add({first, second});
    EXPECT_EQ(store->expiration(first), addSeconds(clock.now(), Seconds(3600)));
    EXPECT_EQ(store->largeFileNotice(),
              QStringLiteral("first.mov is large and will be removed from the shelf after one hour."));
    EXPECT_TRUE(defaults.boolValue(kNotice));

    // Never again, not even after a restart.
    store.reset();
    store = makeStore();
    store->add({file(QStringLiteral("third.mov"), 524'288'001)});
    EXPECT_EQ(store->largeFileNotice(), std::nullopt);
    EXPECT_EQ(store->expiration(missing(QStringLiteral("not-on-shelf"))), std::nullopt);
}

TEST_F(ShelfFixture, ExpiryTimerDelayToleranceAndRearming) {
    auto store = makeStore();
    const QUrl large = file(QStringLiteral("large.iso"), 524'288'001);
    const QUrl small = file(QStringLiteral("small.txt"));
    store->add({large, small});
    auto timer = onlyTimer();
    ASSERT_TRUE(timer);
    EXPECT_DOUBLE_EQ(*scheduler.delayOf(*timer), 3600);
    EXPECT_DOUBLE_EQ(scheduler.toleranceOf(*timer)->count(), 30) << "10 % capped at 30 seconds";

    scheduler.advance(Seconds(3599));
    EXPECT_EQ(store->items().size(), 2);
    scheduler.advance(Seconds(1));
    EXPECT_EQ(store->items(), (QList<QUrl>{small}));
    EXPECT_EQ(scheduler.pendingCount(), 0u) << "no timer while nothing expires";

    // Two large files: removing the sooner one moves the timer to the later one.
    const QUrl early = file(QStringLiteral("early.iso"), 524'288'001);
    store->add({early});
    scheduler.advance(Seconds(3000));
    const QUrl late = file(QStringLiteral("late.iso"), 524'288'001);
    store->add({late});
    timer = onlyTimer();
    ASSERT_TRUE(timer);
    EXPECT_DOUBLE_EQ(*scheduler.delayOf(*timer), 600);
    EXPECT_DOUBLE_EQ(scheduler.toleranceOf(*timer)->count(), 30);
    store->remove(early);
    timer = onlyTimer();
    ASSERT_TRUE(timer);
    EXPECT_DOUBLE_EQ(*scheduler.delayOf(*timer), 3600);
    store->remove(late);
    EXPECT_EQ(scheduler.pendingCount(), 0u);
}

TEST_F(ShelfFixture, RestoredExpiriesShortDelaysAndPassedHours) {
    const double now = nowSince2001();
    const QJsonArray stored{
        QJsonObject{{QStringLiteral("path"), QStringLiteral("/soon")},
                    {QStringLiteral("addedAt"), now - 3599.5},
                    {QStringLiteral("expiresAt"), now + 0.5}},
        QJsonObject{{QStringLiteral("path"), QStringLiteral("/gone")},
                    {QStringLiteral("addedAt"), now - 4000},
                    {QStringLiteral("expiresAt"), now - 400}},
        QJsonObject{{QStringLiteral("path"), QStringLiteral("/later")},
                    {QStringLiteral("addedAt"), now - 3500},
                    {QStringLiteral("expiresAt"), now + 100}},
    };
    defaults.seed(kItems, QJsonObject{{QStringLiteral("$data"),
                                       QString::fromLatin1(QJsonDocument(stored).toJson().toBase64())}});
    auto store = makeStore();
    EXPECT_EQ(store->items(), (QList<QUrl>{QUrl::fromLocalFile(QStringLiteral("/soon")),
                                           QUrl::fromLocalFile(QStringLiteral("/later"))}))
        << "an hour that passed while not running is dropped at start";
    auto timer = onlyTimer();
    ASSERT_TRUE(timer);
    EXPECT_DOUBLE_EQ(*scheduler.delayOf(*timer), 1) << "never below one second";
    EXPECT_DOUBLE_EQ(scheduler.toleranceOf(*timer)->count(), 0.1);

    scheduler.advance(Seconds(1));
    timer = onlyTimer();
    ASSERT_TRUE(timer);
    EXPECT_DOUBLE_EQ(*scheduler.delayOf(*timer), 99);
    EXPECT_DOUBLE_EQ(scheduler.toleranceOf(*timer)->count(), 9.9);
}

TEST_F(ShelfFixture, OlderPathListLoadsWhenTheNewFormatFails) {
    const QStringList paths{QStringLiteral("/one"), QStringLiteral("/two")};
    defaults.seed(kPaths, QJsonArray::fromStringList(paths));
    for (const QByteArray& damaged : {QByteArray("not json"), QByteArray(R"([{"path":"/x"}])"),
                                      QByteArray(R"({"path":"/x","addedAt":1})"),
                                      QByteArray(R"([{"path":"/x","addedAt":1,"expiresAt":"soon"}])")}) {
        defaults.seed(kItems,
                      QJsonObject{{QStringLiteral("$data"), QString::fromLatin1(damaged.toBase64())}});
        defaults.clearJournal();
        auto store = makeStore();
        ASSERT_EQ(store->items().size(), 2) << damaged.constData();
        EXPECT_EQ(store->items().front().toLocalFile(), QStringLiteral("/one"));
        EXPECT_EQ(store->expiration(store->items().front()), std::nullopt);
        EXPECT_EQ(scheduler.pendingCount(), 0u);
        EXPECT_TRUE(defaults.journalKeys().contains(kItems)) << "the next change writes both keys";
        const QJsonArray rewritten = storedItems();
        ASSERT_EQ(rewritten.size(), 2);
        EXPECT_DOUBLE_EQ(rewritten.at(0).toObject().value(QStringLiteral("addedAt")).toDouble(),
                         -63114076800.0);
    }
}

TEST_F(ShelfFixture, OpenAndRevealReportMissingFiles) {
    auto store = makeStore();
    const QUrl present = file(QStringLiteral("report.pdf"));
    const QUrl gone = missing(QStringLiteral("old draft.pages"));
    store->open(gone);
    EXPECT_EQ(
        store->shareStatus(),
        QStringLiteral(
            "old draft.pages moved or is no longer available. Remove it from Vantrel or add it again."));
    store->reveal(gone);
    EXPECT_EQ(store->shareStatus(),
              QStringLiteral("old draft.pages is no longer available in its original location."));
    EXPECT_TRUE(workspace.opened.empty());
    EXPECT_TRUE(workspace.revealed.isEmpty());

    store->open(present);
    store->reveal(present);
    ASSERT_EQ(workspace.opened.size(), 1u);
    EXPECT_EQ(workspace.opened.front(), present);
    EXPECT_EQ(workspace.revealed, QStringList{present.toLocalFile()});
    EXPECT_EQ(store->shareStatus(),
              QStringLiteral("old draft.pages is no longer available in its original location."))
        << "a successful open leaves the message alone";
}

TEST_F(ShelfFixture, AirDropTexts) {
    auto store = makeStore();
    const QUrl present = file(QStringLiteral("photo.jpg"));
    const QUrl gone = missing(QStringLiteral("gone.jpg"));
    store->airDrop({});
    EXPECT_EQ(store->shareStatus(), QStringLiteral("Add files to the shelf before using AirDrop."));
    store->airDrop({gone});
    EXPECT_EQ(store->shareStatus(), QStringLiteral("Add files to the shelf before using AirDrop."));
    store->airDrop({gone, present});
    EXPECT_EQ(store->shareStatus(), QStringLiteral("AirDrop is unavailable on this Mac."));
    EXPECT_TRUE(sharing.sent.empty());

    sharing.airDropAvailable = true;
    store->airDrop({gone, present});
    EXPECT_EQ(store->shareStatus(), QStringLiteral("Opening AirDrop\u2026"));
    ASSERT_EQ(sharing.sent.size(), 1u);
    EXPECT_EQ(sharing.sent.front(), QList<QUrl>{present});
}
