#include "core/StoreFile.h"

#include "core/FileNotices.h"
#include "support/FakeFileManager.h"
#include "support/ManualClock.h"
#include "support/ManualScheduler.h"
#include "support/ManualWorkQueue.h"
#include "support/RecordingSystemLog.h"
#include "support/TempHome.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <gtest/gtest.h>
#include <system_error>

using namespace vantrel;
using namespace vantrel::test;

namespace {

std::exception_ptr diskFull() {
    return std::make_exception_ptr(std::system_error(std::make_error_code(std::errc::no_space_on_device)));
}

struct StoreFileFixture : ::testing::Test {
    TempHome home;
    ManualClock clock;
    ManualScheduler scheduler{clock};
    RecordingSystemLog log;
    FakeFileManager files;
    FileNotices notices;
    QString folder = home.paths().dataFolder();
    LocalPersistence persistence{LocalPersistence::Store{folder, &files}, clock, log,
                                 QStringLiteral("com.vantrel.mac")};
    QJsonArray value{QStringLiteral("first")};

    StoreFileFixture() { persistence.setNotices(&notices); }
    StoreFile::Snapshot snapshot() {
        return [this] { return [copy = value] { return QJsonValue(copy); }; };
    }
    QString path() const { return folder + QStringLiteral("/items.json"); }
};

} // namespace

TEST_F(StoreFileFixture, OneSaveStateFollowsEveryChangeAndWriteAndSaysWhyItIsNotSaved) {
    StoreFile file(persistence, &scheduler, QStringLiteral("items.json"), snapshot(), {1, 5, 30});
    int told = 0;
    QObject::connect(&file, &StoreFile::stateChanged, [&] { ++told; });
    EXPECT_EQ(file.state().kind, SaveState::Kind::saved);
    EXPECT_EQ(file.changed(), std::nullopt) << "the write waits for the quiet spell";
    EXPECT_EQ(file.state().kind, SaveState::Kind::pending);
    EXPECT_FALSE(file.state().notSaved());
    scheduler.advance(Seconds(1));
    EXPECT_EQ(file.state(), SaveState{});

    // The disk is full: failed, with the window's words; a change meanwhile leaves it failed.
    files.failWritesTo(path(), diskFull());
    value.append(QStringLiteral("second"));
    file.changed();
    scheduler.advance(Seconds(1));
    EXPECT_EQ(file.state().kind, SaveState::Kind::failed);
    EXPECT_EQ(file.state().reason, notices.notice(path()));
    EXPECT_TRUE(file.state().reason.startsWith("Vantrel could not save items.json"))
        << file.state().reason.toStdString();
    file.changed();
    EXPECT_EQ(file.state().kind, SaveState::Kind::failed) << "still not in the file";
    EXPECT_TRUE(file.unsaved());
    files.clearWriteFailures();
    scheduler.advance(Seconds(1));
    EXPECT_EQ(file.state(), SaveState{});
    EXPECT_FALSE(file.unsaved());
    EXPECT_EQ(told, 5);

    // A file that could not be read is held back from the load on, before any save.
    QFile::remove(path());
    ASSERT_TRUE(QDir().mkpath(path()));
    EXPECT_TRUE(
        persistence.load(QStringLiteral("items.json"), [](const QJsonValue& v) { return v; }).isFailed());
    StoreFile held(persistence, &scheduler, QStringLiteral("items.json"), snapshot(), {1, 5, 30});
    held.loaded();
    EXPECT_EQ(held.state().kind, SaveState::Kind::heldBack);
    EXPECT_EQ(held.state().reason, "items.json could not be read: the file is left untouched and changes "
                                   "are written beside it");
    EXPECT_TRUE(held.state().notSaved());
}

TEST_F(StoreFileFixture, EachWriteAnswersWithItsOwnOutcomeNeverAnEarlierOnes) {
    // Written at once: the change's own outcome.
    StoreFile now(persistence, nullptr, QStringLiteral("items.json"), snapshot(), {});
    EXPECT_EQ(now.changed(), SaveOutcome::written);
    files.failWritesTo(path(), diskFull());
    value.append(QStringLiteral("kept beside"));
    EXPECT_EQ(now.changed(), SaveOutcome::rescued);
    files.clearWriteFailures();

    // Written on a queue: no answer while it waits, not even the last one.
    auto queue = std::make_unique<ManualWorkQueue>();
    StoreFile queued(persistence, nullptr, QStringLiteral("items.json"), snapshot(), {}, queue.get());
    std::vector<SaveOutcome> finished;
    QObject::connect(&queued, &StoreFile::saveFinished, [&](SaveOutcome o) { finished.push_back(o); });
    files.failWritesTo(path(), diskFull());
    value.append(QStringLiteral("third"));
    EXPECT_EQ(queued.changed(), std::nullopt);
    queue->drain();
    ASSERT_EQ(finished, std::vector<SaveOutcome>{SaveOutcome::rescued});
    value.append(QStringLiteral("fourth"));
    EXPECT_EQ(queued.changed(), std::nullopt);
    queue->drain();

    // Now neither the folder nor the recovery file can be written: this write is lost, though an
    // earlier one of the session reached the recovery file.
    files.failWith(FakeFileManager::Operation::createDirectory, diskFull());
    files.failWith(FakeFileManager::Operation::writeData, diskFull());
    value.append(QStringLiteral("fifth"));
    EXPECT_EQ(queued.changed(), SaveOutcome::lost);
    EXPECT_EQ(finished.back(), SaveOutcome::lost);
    EXPECT_EQ(queued.state().kind, SaveState::Kind::failed);
    EXPECT_TRUE(queued.state().reason.endsWith("Vantrel runs, and saved again with the next change."))
        << queued.state().reason.toStdString();
}
