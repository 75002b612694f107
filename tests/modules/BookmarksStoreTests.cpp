#include "modules/BookmarksStore.h"

#include "core/FileNotices.h"

#include "core/LocalPersistence.h"
#include "support/FakeFileManager.h"
#include "support/FakeOpenPanel.h"
#include "support/ManualClock.h"
#include "support/ManualScheduler.h"
#include "support/RecordingSystemLog.h"
#include "support/RecordingWorkspace.h"
#include "support/TempHome.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QSignalSpy>
#include <gtest/gtest.h>
#include <limits>
#include <sys/stat.h>
#include <system_error>

using namespace vantrel;
using namespace vantrel::test;

namespace {

struct BookmarksFixture : ::testing::Test {
    TempHome home;
    ManualClock clock;
    RecordingSystemLog log;
    FakeFileManager files;
    QString folder = home.paths().dataFolder();
    QStringList diagnostics;
    LocalPersistence persistence{LocalPersistence::Store{folder, &files}, clock, log,
                                 QStringLiteral("com.vantrel.mac"),
                                 [this](const QString& message) { diagnostics.append(message); }};
    RecordingWorkspace workspace;
    FakeOpenPanel panel;

    std::unique_ptr<BookmarksStore> makeStore() {
        return std::make_unique<BookmarksStore>(persistence, workspace, panel);
    }
    QString file() const { return folder + QStringLiteral("/bookmarks.json"); }
    void put(const QByteArray& bytes) const {
        QDir(folder).removeRecursively();
        home.writeFile(QStringLiteral("home/.local/share/Vantrel/bookmarks.json"), bytes);
    }
};

} // namespace

TEST_F(BookmarksFixture, WebsiteAddressRules) {
    auto store = makeStore();
    EXPECT_TRUE(store->addWebsite(QStringLiteral("  "), QStringLiteral("example.com")));
    EXPECT_EQ(store->items().back().target, QStringLiteral("https://example.com"));
    EXPECT_EQ(store->items().back().title, QStringLiteral("example.com"));
    EXPECT_EQ(store->statusMessage(), QStringLiteral("Website saved."));

    // Kept as typed: no second prefix, and the scheme and host keep their case.
    EXPECT_TRUE(store->addWebsite(QStringLiteral(" Guide \n"),
                                  QStringLiteral("\t HTTPS://Docs.Example.org/guide \n")));
    EXPECT_EQ(store->items().back().target, QStringLiteral("HTTPS://Docs.Example.org/guide"));

    // Duplicates are exact targets: the same text with "https://" is one, http or other case is not.
    EXPECT_FALSE(store->addWebsite({}, QStringLiteral("https://example.com")));
    EXPECT_EQ(store->statusMessage(), QStringLiteral("That website is already saved."));
    EXPECT_TRUE(store->addWebsite({}, QStringLiteral("http://example.com")));
    EXPECT_TRUE(store->addWebsite({}, QStringLiteral("HTTPS://Example.com")));

    for (const char* refused : {"ftp://files.example.com", "file:///etc/passwd", "   ", "https://",
                                "javascript:alert(1)", "two words.com", "https:///path-only"}) {
        EXPECT_FALSE(store->addWebsite(QStringLiteral("x"), QString::fromLatin1(refused))) << refused;
        EXPECT_EQ(store->statusMessage(), QStringLiteral("Enter a valid website address.")) << refused;
    }
    EXPECT_EQ(makeStore()->items(), store->items()) << "reloaded from the file";
}

TEST_F(BookmarksFixture, ApplicationsComeFromThePanelAndMustBeApplications) {
    auto store = makeStore();
    const QString editor = QStringLiteral("/usr/share/applications/org.example.Editor.desktop");
    workspace.applications[editor] = {QStringLiteral("Text Editor"), QStringLiteral("editor")};

    store->chooseApplication(); // cancelled
    EXPECT_TRUE(panel.lastRequest && panel.lastRequest->applicationsOnly);
    panel.answer = QString(); // a pick without a path is a cancelled one too
    store->chooseApplication();
    EXPECT_EQ(store->statusMessage(), QStringLiteral("Add a website or application for one-click access."));
    EXPECT_TRUE(store->items().empty());

    panel.answer = editor;
    store->chooseApplication();
    store->chooseApplication();
    EXPECT_EQ(store->statusMessage(), QStringLiteral("That application is already saved."));
    panel.answer = QStringLiteral("/home/user/notes.txt");
    store->chooseApplication();
    EXPECT_EQ(store->statusMessage(), QStringLiteral("That file is not an application."));
    ASSERT_EQ(store->items().size(), 1u);
    EXPECT_EQ(store->items()[0], (VantrelBookmark{store->items()[0].id, QStringLiteral("Text Editor"), editor,
                                                  VantrelBookmark::Kind::application}));
    EXPECT_TRUE(store->icon(store->items()[0]));
}

TEST_F(BookmarksFixture, OpeningChecksTheStoredTargetAgain) {
    const QString app = QStringLiteral("/usr/share/applications/app.desktop");
    workspace.applications[app] = {QStringLiteral("App"), QString()};
    // A file edited by hand: only the first two may open.
    put(R"json([{"id":"E621E1F8-C36C-495A-93FC-0C247A3E6E5F","title":"Site","target":"https://example.com/a","kind":"website"},
            {"id":"E621E1F8-C36C-495A-93FC-0C247A3E6E60","title":"App","target":"/usr/share/applications/app.desktop","kind":"application"},
            {"id":"E621E1F8-C36C-495A-93FC-0C247A3E6E61","title":"Script","target":"javascript:alert(1)","kind":"website"},
            {"id":"E621E1F8-C36C-495A-93FC-0C247A3E6E63","title":"Gone","target":"/opt/gone.desktop","kind":"application"}])json");
    auto store = makeStore();
    ASSERT_EQ(store->items().size(), 4u);
    for (const VantrelBookmark& bookmark : store->items()) store->open(bookmark);
    EXPECT_EQ(workspace.opened, std::vector<QUrl>{QUrl(QStringLiteral("https://example.com/a"))});
    EXPECT_EQ(workspace.launched, QStringList{app});
    EXPECT_EQ(store->statusMessage(), QStringLiteral("This bookmark is no longer valid."));
}

TEST_F(BookmarksFixture, MovesClampAndSaveOnlyWhenSomethingMoved) {
    auto store = makeStore();
    for (const char* host : {"a.example", "b.example", "c.example"})
        store->addWebsite({}, QString::fromLatin1(host));
    const auto a = store->items()[0], b = store->items()[1], c = store->items()[2];
    files.clearCalls();

    store->move(a, -1);
    store->move(c, +1);
    EXPECT_EQ(files.count(FakeFileManager::Operation::writeData), 0);
    store->move(a, +5);
    EXPECT_EQ(store->items(), (std::vector<VantrelBookmark>{b, c, a}));
    store->move(a, std::numeric_limits<int>::min());
    EXPECT_EQ(store->items(), (std::vector<VantrelBookmark>{a, b, c}));
    EXPECT_EQ(files.count(FakeFileManager::Operation::writeData), 2);
}

TEST_F(BookmarksFixture, ADamagedFileIsKeptAsideRatherThanLost) {
    const QByteArray damagedFiles[] = {
        "[{\"id\": \"E621E1F8",
        R"([{"id":"E621E1F8-C36C-495A-93FC-0C247A3E6E5F","title":"x","target":"https://x.org","kind":"folder"}])"};
    for (const QByteArray& damaged : damagedFiles) {
        put(damaged);
        auto store = makeStore();
        EXPECT_TRUE(store->items().empty());
        clock.advance(Seconds(1));
        ASSERT_TRUE(store->addWebsite({}, QStringLiteral("example.com")));
        EXPECT_EQ(QJsonDocument::fromJson(home.readFile(file())).array().size(), 1);
        const QStringList copies = QDir(folder).entryList({QStringLiteral("bookmarks.corrupt-*.json")});
        ASSERT_EQ(copies.size(), 1) << damaged.constData();
        EXPECT_EQ(home.readFile(folder + QLatin1Char('/') + copies.front()), damaged);
    }
}

TEST_F(BookmarksFixture, EditsAfterAnUnreadableFileStayInMemoryAndNothingIsWrittenOverIt) {
    QDir().mkpath(folder);
    ASSERT_EQ(::mkfifo(QFile::encodeName(file()).constData(), 0644), 0); // opening it would wait
    auto store = makeStore();
    ASSERT_TRUE(store->addWebsite({}, QStringLiteral("example.com")));
    ASSERT_TRUE(store->addWebsite({}, QStringLiteral("example.org")));
    store->remove(store->items().front());
    ASSERT_EQ(store->items().size(), 1u);
    EXPECT_EQ(store->items().front().target, QStringLiteral("https://example.org"));
    EXPECT_TRUE(QFileInfo(file()).isFile() == false && QFileInfo::exists(file())) << "still the FIFO";
    ASSERT_EQ(diagnostics.size(), 2);
    EXPECT_EQ(diagnostics[0], "bookmarks.json could not be read: the file is left untouched and changes are "
                              "written beside it");
    EXPECT_TRUE(
        diagnostics[1].startsWith("bookmarks.json could not be read: what this session keeps is written "
                                  "to " +
                                  file() + ".recovered-"))
        << diagnostics[1].toStdString();
    // Said once, with its reason, and where the saves it holds back go.
    const QStringList lines = log.messages(QStringLiteral("Persistence"));
    ASSERT_EQ(lines.size(), 3);
    EXPECT_EQ(lines[0], "kind=unreadable file=bookmarks.json error=vantrel::UnreadableFileError");
    EXPECT_TRUE(lines[1].startsWith("bookmarks.json could not be read and is left untouched: "));
    EXPECT_TRUE(lines[1].endsWith("a FIFO stands in its place")) << lines[1].toStdString();

    // Gone: the next edit saves what is in memory.
    QFile::remove(file());
    store->move(store->items().front(), 0);
    ASSERT_TRUE(store->addWebsite({}, QStringLiteral("example.net")));
    EXPECT_EQ(QJsonDocument::fromJson(home.readFile(file())).array().size(), 2);
}

TEST_F(BookmarksFixture, EmptyingTheListBringsBackTheHint) {
    auto store = makeStore();
    ASSERT_TRUE(store->addWebsite("", "one.example"));
    ASSERT_TRUE(store->addWebsite("", "two.example"));
    EXPECT_EQ(store->statusMessage(), "Website saved.");
    const VantrelBookmark first = store->items()[0];
    store->remove(first);
    EXPECT_EQ(store->statusMessage(), "Website saved.") << "a bookmark is left";
    store->remove(first);
    EXPECT_EQ(store->statusMessage(), "Website saved.") << "nothing removed";
    store->remove(store->items()[0]);
    EXPECT_EQ(store->statusMessage(), "Add a website or application for one-click access.");
}

TEST_F(BookmarksFixture, AChangeThatCannotBeSavedIsNeverCalledSavedAndIsToldInTheWindow) {
    FileNotices notices;
    persistence.setNotices(&notices);
    auto store = makeStore();
    // The data folder refuses every write: neither the list nor a recovery file can be written.
    files.failWith(
        FakeFileManager::Operation::writeData,
        std::make_exception_ptr(std::system_error(std::make_error_code(std::errc::permission_denied))));
    EXPECT_TRUE(store->addWebsite(QStringLiteral("News"), QStringLiteral("news.example.com")));
    EXPECT_EQ(store->statusMessage(), QStringLiteral("Could not save bookmarks."));
    EXPECT_EQ(store->items().size(), 1u) << "kept for the session";
    EXPECT_FALSE(QFileInfo::exists(file()));
    EXPECT_EQ(notices.notices(),
              QStringList{"Vantrel could not save bookmarks.json: the folder " + folder +
                          " refused the write (Permission denied). Nothing could be written anywhere: your "
                          "changes are kept only while Vantrel runs, and saved again with the next change."});

    // Removing the only bookmark while refused does not claim an empty saved list either.
    store->remove(store->items().front());
    EXPECT_EQ(store->statusMessage(), QStringLiteral("Could not save bookmarks."));

    // Writable again: saved, said so, and the notice goes.
    files.clearFailure(FakeFileManager::Operation::writeData);
    EXPECT_TRUE(store->addWebsite(QStringLiteral("Docs"), QStringLiteral("docs.example.com")));
    EXPECT_EQ(store->statusMessage(), QStringLiteral("Website saved."));
    EXPECT_TRUE(notices.notices().isEmpty());
    EXPECT_EQ(makeStore()->items().size(), 1u);
}

TEST_F(BookmarksFixture, AFailedSaveStaysUnsavedIsTriedAgainWrittenAtQuitAndTakenBackNextTime) {
    ManualScheduler scheduler{clock};
    persistence.setScheduler(&scheduler);
    auto store = makeStore();
    ASSERT_TRUE(store->addWebsite(QStringLiteral("Kept"), QStringLiteral("kept.example")));
    QSignalSpy unsavedChanged(store.get(), &BookmarksStore::unsavedChanged);
    files.failWith(
        FakeFileManager::Operation::writeData,
        std::make_exception_ptr(std::system_error(std::make_error_code(std::errc::no_space_on_device))));
    store->addWebsite(QStringLiteral("Added"), QStringLiteral("added.example"));
    EXPECT_TRUE(store->unsaved());
    EXPECT_EQ(unsavedChanged.count(), 1);
    files.clearFailure(FakeFileManager::Operation::writeData);
    scheduler.advance(Seconds(30));
    EXPECT_FALSE(store->unsaved());
    EXPECT_EQ(QJsonDocument::fromJson(home.readFile(file())).array().size(), 2);

    // The file refused at quit: the list goes to the recovery file, and the next start takes it back.
    files.failWritesTo(file(), std::make_exception_ptr(
                                   std::system_error(std::make_error_code(std::errc::permission_denied))));
    store->addWebsite(QStringLiteral("Late"), QStringLiteral("late.example"));
    store.reset();
    files.clearWriteFailures();
    LocalPersistence next{LocalPersistence::Store{folder, &files}, clock, log,
                          QStringLiteral("com.vantrel.mac")};
    store = std::make_unique<BookmarksStore>(next, workspace, panel);
    ASSERT_EQ(store->items().size(), 3u);
    EXPECT_EQ(store->items()[2].title, QStringLiteral("Late"));
    EXPECT_EQ(QJsonDocument::fromJson(home.readFile(file())).array().size(), 3);
    EXPECT_TRUE(QDir(folder).entryList({QStringLiteral("bookmarks.json.recovered-*")}).isEmpty());
    store.reset();
}
