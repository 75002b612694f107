#include "modules/BookmarksStore.h"

#include "core/LocalPersistence.h"
#include "support/FakeFileManager.h"
#include "support/FakeOpenPanel.h"
#include "support/ManualClock.h"
#include "support/RecordingSystemLog.h"
#include "support/RecordingWorkspace.h"
#include "support/TempHome.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <gtest/gtest.h>
#include <limits>

using namespace vantrel;
using namespace vantrel::test;
using Op = FakeFileManager::Operation;

namespace {

const QString kSaved = QStringLiteral("Website saved.");
const QString kInvalid = QStringLiteral("Enter a valid website address.");
const QString kDuplicate = QStringLiteral("That website is already saved.");

struct BookmarksFixture : ::testing::Test {
    TempHome home;
    ManualClock clock;
    RecordingSystemLog log;
    FakeFileManager files;
    QString folder = home.paths().dataFolder();
    LocalPersistence persistence{LocalPersistence::Store{folder, &files}, clock, log,
                                 QStringLiteral("com.vantrel.mac")};
    RecordingWorkspace workspace;
    FakeOpenPanel panel;

    std::unique_ptr<BookmarksStore> makeStore() {
        return std::make_unique<BookmarksStore>(persistence, workspace, panel);
    }
    QString file() const { return folder + QStringLiteral("/bookmarks.json"); }
    QJsonArray onDisk() const { return QJsonDocument::fromJson(home.readFile(file())).array(); }
    void put(const QByteArray& bytes) const {
        QDir().mkpath(folder);
        QFile f(file());
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
};

} // namespace

TEST_F(BookmarksFixture, WebsiteAddressRules) {
    auto store = makeStore();
    EXPECT_TRUE(store->addWebsite(QStringLiteral("  "), QStringLiteral("example.com")));
    EXPECT_EQ(store->items().back().target, QStringLiteral("https://example.com"));
    EXPECT_EQ(store->items().back().title, QStringLiteral("example.com"));
    EXPECT_EQ(store->statusMessage(), kSaved);

    // Kept as typed: no second prefix, and the scheme and host keep their case.
    EXPECT_TRUE(store->addWebsite(QStringLiteral(" Guide \n"),
                                  QStringLiteral("\t HTTPS://Docs.Example.org/guide \n")));
    EXPECT_EQ(store->items().back().target, QStringLiteral("HTTPS://Docs.Example.org/guide"));
    EXPECT_EQ(store->items().back().title, QStringLiteral("Guide"));

    // Duplicates are exact targets: the same text with "https://" is one, http or other case is not.
    EXPECT_FALSE(store->addWebsite({}, QStringLiteral("https://example.com")));
    EXPECT_EQ(store->statusMessage(), kDuplicate);
    EXPECT_TRUE(store->addWebsite({}, QStringLiteral("http://example.com")));
    EXPECT_TRUE(store->addWebsite({}, QStringLiteral("HTTPS://Example.com")));
    EXPECT_EQ(store->items().size(), 4u);

    for (const char* refused : {"ftp://files.example.com", "file:///etc/passwd", "", "   ", "https://",
                                "javascript:alert(1)", "two words.com", "https:///path-only"}) {
        store->addWebsite(QStringLiteral("x"), QString::fromLatin1(refused));
        EXPECT_EQ(store->statusMessage(), kInvalid) << refused;
    }
    EXPECT_EQ(store->items().size(), 4u);

    const QJsonObject first = onDisk().at(0).toObject();
    EXPECT_EQ(first.value(QStringLiteral("id")).toString(),
              store->items().front().id.toString(QUuid::WithoutBraces).toUpper());
    EXPECT_EQ(first.value(QStringLiteral("kind")).toString(), QStringLiteral("website"));
    EXPECT_EQ(makeStore()->items(), store->items()) << "reloaded from the file";
}

TEST_F(BookmarksFixture, ApplicationsComeFromThePanelAndMustBeApplications) {
    auto store = makeStore();
    const QString editor = QStringLiteral("/usr/share/applications/org.example.Editor.desktop");
    workspace.applications[editor] = {QStringLiteral("Text Editor"), QStringLiteral("editor")};

    store->chooseApplication(); // cancelled
    ASSERT_EQ(panel.requests.size(), 1u);
    EXPECT_EQ(panel.requests[0].title, QStringLiteral("Add an application to Vantrel"));
    EXPECT_EQ(panel.requests[0].prompt, QStringLiteral("Add App"));
    EXPECT_TRUE(panel.requests[0].applicationsOnly);
    EXPECT_TRUE(store->items().empty());
    EXPECT_EQ(store->statusMessage(), QStringLiteral("Add a website or application for one-click access."));

    panel.answer = editor;
    store->chooseApplication();
    ASSERT_EQ(store->items().size(), 1u);
    EXPECT_EQ(store->items()[0], (VantrelBookmark{store->items()[0].id, QStringLiteral("Text Editor"), editor,
                                                  VantrelBookmark::Kind::application}));
    EXPECT_EQ(store->statusMessage(), QStringLiteral("Application saved."));
    store->chooseApplication();
    EXPECT_EQ(store->statusMessage(), QStringLiteral("That application is already saved."));
    panel.answer = QStringLiteral("/home/user/notes.txt");
    store->chooseApplication();
    EXPECT_EQ(store->statusMessage(), QStringLiteral("That file is not an application."));
    EXPECT_EQ(store->items().size(), 1u);

    EXPECT_TRUE(store->icon(store->items()[0]));
    store->addWebsite({}, QStringLiteral("example.com"));
    EXPECT_FALSE(store->icon(store->items()[1]));
    EXPECT_EQ(workspace.iconRequests, QStringList{editor});
}

TEST_F(BookmarksFixture, OpeningChecksTheStoredTargetAgain) {
    const QString app = QStringLiteral("/usr/share/applications/app.desktop");
    workspace.applications[app] = {QStringLiteral("App"), QString()};
    // A file edited by hand: only the first two may open.
    put(R"json([{"id":"E621E1F8-C36C-495A-93FC-0C247A3E6E5F","title":"Site","target":"https://example.com/a","kind":"website"},
            {"id":"E621E1F8-C36C-495A-93FC-0C247A3E6E60","title":"App","target":"/usr/share/applications/app.desktop","kind":"application"},
            {"id":"E621E1F8-C36C-495A-93FC-0C247A3E6E61","title":"Script","target":"javascript:alert(1)","kind":"website"},
            {"id":"E621E1F8-C36C-495A-93FC-0C247A3E6E62","title":"Local","target":"file:///etc/passwd","kind":"website"},
            {"id":"E621E1F8-C36C-495A-93FC-0C247A3E6E63","title":"Gone","target":"/opt/gone.desktop","kind":"application"}])json");
    auto store = makeStore();
    ASSERT_EQ(store->items().size(), 5u);
    for (const VantrelBookmark& bookmark : store->items())
        store->open(bookmark);
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
    store->move(VantrelBookmark{QUuid::createUuid(), {}, {}, VantrelBookmark::Kind::website}, 1);
    EXPECT_EQ(files.count(Op::writeData), 0);
    store->move(a, +5);
    EXPECT_EQ(store->items(), (std::vector<VantrelBookmark>{b, c, a}));
    store->move(a, std::numeric_limits<int>::min());
    EXPECT_EQ(store->items(), (std::vector<VantrelBookmark>{a, b, c}));
    EXPECT_EQ(files.count(Op::writeData), 2);

    store->remove(b);
    EXPECT_EQ(onDisk().size(), 2);
}

TEST_F(BookmarksFixture, ADamagedFileIsKeptAsideRatherThanLost) {
    const QByteArray id = R"("id":"E621E1F8-C36C-495A-93FC-0C247A3E6E5F",)";
    for (const QByteArray& damaged :
         {QByteArray("[{\"id\": \"E621E1F8"),
          "[{" + id + R"("title":"x","target":"https://x.org","kind":"folder"}])",
          QByteArray(R"([{"title":"x","target":"https://x.org","kind":"website"}])")}) {
        QDir(folder).removeRecursively();
        put(damaged);
        auto store = makeStore();
        EXPECT_TRUE(store->items().empty());
        ASSERT_FALSE(log.lines().empty());
        EXPECT_TRUE(
            log.lines().back().message.startsWith(QStringLiteral("kind=corrupt file=bookmarks.json")));

        clock.advance(Seconds(1));
        ASSERT_TRUE(store->addWebsite({}, QStringLiteral("example.com")));
        EXPECT_EQ(onDisk().size(), 1);
        const QStringList copies = QDir(folder).entryList({QStringLiteral("bookmarks.corrupt-*.json")});
        ASSERT_EQ(copies.size(), 1) << damaged.constData();
        EXPECT_EQ(home.readFile(folder + QLatin1Char('/') + copies.front()), damaged);
    }
}
