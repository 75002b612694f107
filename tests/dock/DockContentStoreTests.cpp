#include "dock/DockContentStore.h"

#include "core/FileNotices.h"
#include "core/LocalPersistence.h"
#include "support/FakeFileManager.h"
#include "support/FakeOpenPanel.h"
#include "support/HostileFiles.h"
#include "support/ManualClock.h"
#include "support/ManualScheduler.h"
#include "support/RecordingRunningApplications.h"
#include "support/RecordingSystemLog.h"
#include "support/RecordingWorkspace.h"
#include "support/TempHome.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QSignalSpy>
#include <gtest/gtest.h>
#include <limits>
#include <sys/stat.h>

using namespace vantrel;
using namespace vantrel::test;

namespace {

constexpr char kIdA[] = "E621E1F8-C36C-495A-93FC-0C247A3E6E5F";
constexpr char kIdB[] = "0B9F3C4E-1D2A-4C6B-8E7F-9A0B1C2D3E4F";

struct DockContentFixture : ::testing::Test {
    TempHome home;
    ManualClock clock;
    RecordingSystemLog log;
    FakeFileManager files;
    QString folder = home.paths().dataFolder();
    LocalPersistence persistence{LocalPersistence::Store{folder, &files}, clock, log,
                                 QStringLiteral("com.vantrel.mac")};
    RecordingWorkspace workspace;
    FakeOpenPanel panel;
    RecordingRunningApplications running;

    std::unique_ptr<DockContentStore> makeStore() {
        return std::make_unique<DockContentStore>(persistence, workspace, panel, running);
    }
    QString file() const { return folder + QStringLiteral("/dock-shortcuts.json"); }
    void put(const QByteArray& bytes) const {
        QDir(folder).removeRecursively();
        home.writeFile(QStringLiteral("home/.local/share/Vantrel/dock-shortcuts.json"), bytes);
    }
    QJsonArray stored() const { return QJsonDocument::fromJson(home.readFile(file())).array(); }
    int writes() const { return files.count(FakeFileManager::Operation::writeData); }
};

// A whole item that the store does not hold.
DockShortcut stranger(const QString& target = QStringLiteral("/x"),
                      DockShortcut::Kind kind = DockShortcut::Kind::application) {
    return {QUuid::createUuid(), QStringLiteral("x"), target, kind, std::nullopt};
}

QByteArray object(const char* id, const char* kind, const QByteArray& extra = {}) {
    return QByteArray("{\"id\":\"") + id + "\",\"title\":\"T\",\"target\":\"/t\",\"kind\":\"" + kind + "\"" +
           extra + "}";
}

} // namespace

TEST(DockFolderColor, CasesTitlesAndColoursInMenuOrder) {
    QStringList names, titles;
    for (DockFolderColor c : allCasesOf<DockFolderColor>()) {
        names.append(rawValue(c));
        titles.append(title(c));
    }
    EXPECT_EQ(names, (QStringList{"none", "red", "orange", "yellow", "green", "blue", "purple", "pink",
                                  "graphite"}));
    EXPECT_EQ(titles, (QStringList{"Default", "Red", "Orange", "Yellow", "Green", "Blue", "Purple", "Pink",
                                   "Graphite"}));
    EXPECT_FALSE(color(DockFolderColor::none));
    const struct {
        DockFolderColor c;
        double r, g, b;
    } expected[] = {
        {DockFolderColor::red, 1.0, 0.42, 0.40},    {DockFolderColor::orange, 1.0, 0.63, 0.30},
        {DockFolderColor::yellow, 1.0, 0.84, 0.35}, {DockFolderColor::green, 0.36, 0.85, 0.50},
        {DockFolderColor::blue, 0.30, 0.68, 1.0},   {DockFolderColor::purple, 0.71, 0.50, 1.0},
        {DockFolderColor::pink, 1.0, 0.52, 0.76},   {DockFolderColor::graphite, 0.68, 0.73, 0.80}};
    for (const auto& e : expected) {
        const auto c = color(e.c);
        ASSERT_TRUE(c) << rawName(e.c);
        EXPECT_NEAR(c->redF(), e.r, 1e-3) << rawName(e.c);
        EXPECT_NEAR(c->greenF(), e.g, 1e-3) << rawName(e.c);
        EXPECT_NEAR(c->blueF(), e.b, 1e-3) << rawName(e.c);
        EXPECT_EQ(c->alphaF(), 1.0);
    }
}

TEST_F(DockContentFixture, NoFileGivesAnEmptyDockAndTheFirstItemCreatesFolderAndFile) {
    ASSERT_FALSE(QFileInfo::exists(folder));
    auto store = makeStore();
    EXPECT_TRUE(store->items().empty());
    EXPECT_EQ(store->statusMessage(), "Add apps, folders, or websites to build your Dock.");
    EXPECT_TRUE(log.lines().empty()) << "a missing file is no failure";

    ASSERT_TRUE(store->addWebsite(QStringLiteral("Docs"), QStringLiteral("example.com/docs")));
    EXPECT_EQ(store->statusMessage(), "Website added.");
    const QByteArray bytes = home.readFile(file());
    EXPECT_FALSE(bytes.contains('\n')) << "compact";
    const QJsonArray array = QJsonDocument::fromJson(bytes).array();
    ASSERT_EQ(array.size(), 1);
    const QJsonObject item = array[0].toObject();
    EXPECT_EQ(item.keys(), (QStringList{"id", "kind", "target", "title"})) << "no folderColor key";
    EXPECT_TRUE(
        QRegularExpression(QStringLiteral("^[0-9A-F]{8}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{12}$"))
            .match(item["id"].toString())
            .hasMatch())
        << item["id"].toString().toStdString();
    EXPECT_EQ(item["kind"].toString(), "website");
    EXPECT_EQ(item["target"].toString(), "https://example.com/docs");
    EXPECT_EQ(item["title"].toString(), "Docs");
    EXPECT_EQ(makeStore()->items(), store->items()) << "read back";
}

TEST_F(DockContentFixture, TheWholeFileDecodesOrNothingDoes) {
    const QByteArray good = object(kIdA, "folder");
    struct Case {
        QByteArray content;
        int items; // -1: the file fails
    } cases[] = {
        {"[" + good + "," + object(kIdB, "separator") + "]", 2},
        {"[" + object(kIdA, "application", ",\"folderColor\":null,\"extra\":[1]") + "]", 1},
        {"[" + object(kIdA, "website", ",\"folderColor\":\"pink\"") + "]", 1},
        {"[]", 0},
        {"[" + good + "," + object(kIdB, "divider") + "]", -1},
        {"[" + good + "," + object(kIdB, "folder", ",\"folderColor\":\"teal\"") + "]", -1},
        {"[" + good + "," + object(kIdB, "folder", ",\"folderColor\":3") + "]", -1},
        {"[" + good + "," + object("not-a-uuid", "folder") + "]", -1},
        {"[" + good + R"(,{"id":"0B9F3C4E-1D2A-4C6B-8E7F-9A0B1C2D3E4F","target":"/t","kind":"folder"}])", -1},
        {"[" + good + R"(,{"id":"0B9F3C4E-1D2A-4C6B-8E7F-9A0B1C2D3E4F","title":"T","kind":"folder"}])", -1},
        {"[" + good + R"(,{"id":"0B9F3C4E-1D2A-4C6B-8E7F-9A0B1C2D3E4F","title":"T","target":"/t"}])", -1},
        {"[" + good + R"(,{"title":"T","target":"/t","kind":"folder"}])", -1},
        {"[" + good +
             R"(,{"id":"0B9F3C4E-1D2A-4C6B-8E7F-9A0B1C2D3E4F","title":7,"target":"/t","kind":"folder"}])",
         -1},
        {good, -1},
        {"[" + good, -1},
    };
    for (const Case& c : cases) {
        put(c.content);
        const std::size_t before = log.lines().size();
        auto store = makeStore();
        EXPECT_EQ(static_cast<int>(store->items().size()), std::max(c.items, 0)) << c.content.constData();
        EXPECT_EQ(log.lines().size() - before, c.items < 0 ? 1u : 0u) << c.content.constData();
        EXPECT_EQ(store->statusMessage(), "Add apps, folders, or websites to build your Dock.");
    }

    put("[" + object(kIdA, "folder") + "," + object(kIdB, "folder", ",\"folderColor\":\"none\"") + "]");
    auto store = makeStore();
    ASSERT_EQ(store->items().size(), 2u);
    EXPECT_EQ(store->items()[0].id, QUuid::fromString(QString::fromLatin1(kIdA)));
    EXPECT_EQ(store->items()[0].title, "T");
    EXPECT_EQ(store->items()[0].target, "/t");
    EXPECT_EQ(store->items()[0].kind, DockShortcut::Kind::folder);
    EXPECT_EQ(store->items()[0].folderColor, std::nullopt);
    EXPECT_EQ(store->items()[1].folderColor, DockFolderColor::none) << "\"none\" is a colour of its own";
}

TEST_F(DockContentFixture, ADamagedFileIsCopiedAsideBeforeTheNextChangeReplacesIt) {
    const QByteArray damaged = "[" + object(kIdA, "folder") + "," + object(kIdB, "divider") + "]";
    put(damaged);
    auto store = makeStore();
    EXPECT_TRUE(store->items().empty());
    ASSERT_TRUE(store->addWebsite({}, QStringLiteral("example.com")));
    EXPECT_EQ(store->statusMessage(), "Website added.");
    const QJsonArray array = stored();
    ASSERT_EQ(array.size(), 1) << "replaced without its other items";
    EXPECT_EQ(array[0].toObject()["target"].toString(), "https://example.com");
    const QStringList copies = QDir(folder).entryList({QStringLiteral("dock-shortcuts.corrupt-*.json")});
    ASSERT_EQ(copies.size(), 1);
    EXPECT_EQ(home.readFile(folder + QLatin1Char('/') + copies.front()), damaged);
}

TEST_F(DockContentFixture, AFailedSaveSaysSoAndKeepsTheChangeInMemory) {
    FileNotices notices;
    persistence.setNotices(&notices);
    auto store = makeStore();
    files.failWith(FakeFileManager::Operation::writeData,
                   std::make_exception_ptr(std::runtime_error("disk full")));
    EXPECT_TRUE(store->addWebsite({}, QStringLiteral("example.com")));
    EXPECT_EQ(store->statusMessage(), "Could not save Vantrel Dock items.");
    ASSERT_EQ(store->items().size(), 1u);
    // The file's failure, then its recovery file's.
    ASSERT_EQ(log.messages(QStringLiteral("Persistence")).size(), 2);
    EXPECT_TRUE(log.messages(QStringLiteral("Persistence"))
                    .front()
                    .startsWith("kind=write file=dock-shortcuts.json"));
    EXPECT_EQ(
        notices.notices(),
        QStringList{"Vantrel could not save dock-shortcuts.json: the folder " + folder +
                    " refused the write (disk full). Nothing could be written anywhere: your changes are "
                    "kept only while Vantrel runs, and saved again with the next change."});

    panel.answer = QStringLiteral("/home/u/Projects");
    store->chooseFolder();
    EXPECT_EQ(store->statusMessage(), "Could not save Vantrel Dock items.");
    panel.multipleAnswer = QStringList{QStringLiteral("/apps/a.desktop")};
    store->chooseApplications();
    EXPECT_EQ(store->statusMessage(), "Could not save Vantrel Dock items.");
    EXPECT_EQ(store->items().size(), 3u);

    files.clearFailure(FakeFileManager::Operation::writeData);
    store->remove(store->items().front());
    EXPECT_EQ(stored().size(), 2) << "the next save writes everything held in memory";
    EXPECT_TRUE(notices.notices().isEmpty());
    panel.multipleAnswer = QStringList{QStringLiteral("/apps/b.desktop")};
    store->chooseApplications();
    EXPECT_EQ(store->statusMessage(), "Added 1 application.");
}

TEST_F(DockContentFixture, AFileThatCouldNotBeReadIsNeverWrittenOverAndTheSessionGoesBesideIt) {
    // As root, permissions do not make a file unreadable: a FIFO (reading it would wait) and a
    // folder stand in its place.
    for (const Hostile kind : {Hostile::fifo, Hostile::folder}) {
        SCOPED_TRACE(nameOf(kind));
        QDir(folder).removeRecursively();
        ASSERT_TRUE(makeHostile(kind, file(), {}, 64 * 1024 * 1024));
        log.clear();
        // A new session: nothing yet said or written beside the file.
        LocalPersistence session{LocalPersistence::Store{folder, &files}, clock, log,
                                 QStringLiteral("com.vantrel.mac")};
        auto store = std::make_unique<DockContentStore>(session, workspace, panel, running);
        EXPECT_TRUE(store->items().empty());

        EXPECT_TRUE(store->addWebsite({}, QStringLiteral("example.com")));
        EXPECT_EQ(store->statusMessage(), "Website added.");
        clock.advance(Seconds(3));
        panel.answer = QStringLiteral("/home/u/Projects");
        store->chooseFolder();
        EXPECT_EQ(store->statusMessage(), "Folder added.");
        EXPECT_EQ(QFileInfo(file()).isDir(), kind == Hostile::folder) << "left as it was";
        EXPECT_EQ(QFileInfo(file()).isFile(), false);

        // One recovery file for the session, named when it was first written, rewritten by each
        // change, said once in the log.
        const QStringList recovered =
            QDir(folder).entryList({QStringLiteral("dock-shortcuts.json.recovered-*")});
        ASSERT_EQ(recovered.size(), 1) << recovered.join(u' ').toStdString();
        const QString recovery = folder + QLatin1Char('/') + recovered.front();
        const auto said = log.messages(QStringLiteral("Persistence")).filter(QStringLiteral("is written to"));
        EXPECT_EQ(said, QStringList{QStringLiteral("dock-shortcuts.json could not be read: what this session "
                                                   "keeps is written to ") +
                                    recovery});

        // What the session added outlives it: the recovery file reads back as the whole list.
        const std::vector<DockShortcut> kept =
            DockShortcut::decodeList(QJsonDocument::fromJson(home.readFile(recovery)).array());
        EXPECT_EQ(kept, store->items());
        ASSERT_EQ(kept.size(), 2u);
        EXPECT_EQ(kept[0].target, "https://example.com");
        EXPECT_EQ(kept[1].target, "/home/u/Projects");

        // Once the file is gone, the next change writes it, with everything held in memory.
        QDir(folder).removeRecursively(); // the folder in its place too
        QFile::remove(file());
        EXPECT_TRUE(store->addWebsite({}, QStringLiteral("example.org")));
        EXPECT_EQ(store->statusMessage(), "Website added.");
        EXPECT_EQ(stored().size(), 3);
    }
}

TEST_F(DockContentFixture, AFileOfMoreItemsThanADockCanShowIsKeptWholeAndShowsItsFirst300) {
    QByteArray content = "[";
    for (int i = 0; i < 1000; ++i) {
        if (i) content += ',';
        content += QByteArray(R"({"id":")") +
                   QUuid::createUuid().toString(QUuid::WithoutBraces).toUpper().toLatin1() +
                   R"(","title":"Item )" + QByteArray::number(i) + R"(","target":"/t/)" +
                   QByteArray::number(i) + R"(","kind":"folder"})";
    }
    content += "]";
    put(content);
    const QJsonArray original = QJsonDocument::fromJson(content).array();
    auto store = makeStore();
    ASSERT_EQ(store->items().size(), 300u);
    EXPECT_EQ(store->items().front().title, "Item 0");
    EXPECT_EQ(store->items().back().title, "Item 299");
    const QStringList said = log.messages(QStringLiteral("Persistence"));
    EXPECT_EQ(said,
              QStringList{"dock-shortcuts.json holds 1000 items; the Dock shows the first 300 and keeps "
                          "the others in the file"});

    // Changes to the shown items keep the others in the file, in their place after them. What the
    // user adds shows, now and after a restart: the last item shown before makes room for it.
    store->move(store->items()[0], 1);
    ASSERT_TRUE(store->addWebsite({}, QStringLiteral("example.com")));
    ASSERT_TRUE(store->addWebsite({}, QStringLiteral("example.org")));
    const QJsonArray after = stored();
    ASSERT_EQ(after.size(), 1002);
    EXPECT_EQ(after[0], original[1]);
    EXPECT_EQ(after[1], original[0]);
    for (int i = 2; i < 298; ++i) ASSERT_EQ(after[i], original[i]) << i;
    EXPECT_EQ(after[298].toObject()["target"].toString(), "https://example.com");
    EXPECT_EQ(after[299].toObject()["target"].toString(), "https://example.org");
    for (int i = 298; i < 1000; ++i) ASSERT_EQ(after[i + 2], original[i]) << i;
    const auto shownNow = store->items();
    EXPECT_EQ(shownNow.size(), 300u);
    EXPECT_EQ(shownNow.back().target, "https://example.org");
    EXPECT_EQ(log.messages(QStringLiteral("Persistence")).size(), 1) << "said once";

    const auto reloaded = makeStore();
    EXPECT_EQ(reloaded->items(), shownNow) << "a restart shows what was shown";

    // A file of exactly 300: the 301st item, added, is there after a reload.
    QJsonArray first300;
    for (int i = 0; i < 300; ++i) first300.append(original[i]);
    put(QJsonDocument(first300).toJson(QJsonDocument::Compact));
    store = makeStore();
    ASSERT_TRUE(store->addWebsite({}, QStringLiteral("example.net")));
    EXPECT_EQ(stored().size(), 301);
    const auto afterRestart = makeStore()->items();
    ASSERT_EQ(afterRestart.size(), 300u);
    EXPECT_EQ(afterRestart.back().target, "https://example.net");
    EXPECT_EQ(afterRestart.front().title, "Item 0");
}

TEST_F(DockContentFixture, AHugeTitleShowsItsBeginningAndIsStoredWhole) {
    // 10 MB of title, a character outside the basic plane straddling the cut.
    QString huge = QString(254, QLatin1Char('a')) + QString::fromUtf8("\U0001F600") +
                   QString(10 * 1024 * 1024, QLatin1Char('b'));
    QJsonObject object{
        {"id", QString::fromLatin1(kIdA)}, {"title", huge}, {"target", "/t"}, {"kind", "folder"}};
    put(QJsonDocument(QJsonArray{object}).toJson(QJsonDocument::Compact));
    auto store = makeStore();
    ASSERT_EQ(store->items().size(), 1u);
    const QString shown = store->items()[0].title;
    EXPECT_EQ(shown.size(), 255) << "254 letters and the ellipsis: never half a character";
    EXPECT_EQ(shown, QString(254, QLatin1Char('a')) + QString::fromUtf8("\u2026"));

    // Saved after a change, the file holds the title as it was.
    store->setFolderColor(DockFolderColor::red, store->items()[0]);
    const QJsonArray array = stored();
    ASSERT_EQ(array.size(), 1);
    EXPECT_EQ(array[0].toObject()["title"].toString(), huge);
    EXPECT_EQ(array[0].toObject()["folderColor"].toString(), "red");

    // A title given in the session is shown and stored the same way; a short one is as given.
    const QString longName = QString(300, QLatin1Char('w'));
    ASSERT_TRUE(store->addWebsite(longName, QStringLiteral("example.com")));
    EXPECT_EQ(store->items()[1].title, QString(255, QLatin1Char('w')) + QString::fromUtf8("\u2026"));
    EXPECT_EQ(stored()[1].toObject()["title"].toString(), longName);
    ASSERT_TRUE(store->addWebsite(QString(256, QLatin1Char('s')), QStringLiteral("example.org")));
    EXPECT_EQ(store->items()[2].title, QString(256, QLatin1Char('s')));
    EXPECT_EQ(makeStore()->items()[0].title, shown) << "read back";
}

TEST_F(DockContentFixture, FolderColoursAndIcons) {
    put("[" + object(kIdA, "folder") + "," + object(kIdB, "folder", ",\"folderColor\":\"none\"") + "]");
    auto store = makeStore();
    const DockShortcut plain = store->items()[0];
    const DockShortcut taggedNone = store->items()[1];
    EXPECT_TRUE(store->icon(plain)) << "the plain folder has the file icon";
    EXPECT_FALSE(store->icon(taggedNone)) << "a stored \"none\" counts as coloured";
    EXPECT_EQ(workspace.iconRequests, QStringList{"/t"});

    store->setFolderColor(DockFolderColor::green, plain);
    EXPECT_EQ(stored()[0].toObject()["folderColor"].toString(), "green");
    EXPECT_FALSE(store->icon(store->items()[0]));
    store->setFolderColor(DockFolderColor::none, store->items()[0]);
    store->setFolderColor(DockFolderColor::none, taggedNone);
    EXPECT_EQ(store->items()[0].folderColor, std::nullopt);
    EXPECT_EQ(store->items()[1].folderColor, std::nullopt) << "\"Default\" makes it a plain folder again";
    EXPECT_FALSE(stored()[0].toObject().contains("folderColor"));
    EXPECT_FALSE(stored()[1].toObject().contains("folderColor"));

    const int before = writes();
    store->setFolderColor(DockFolderColor::red, stranger());
    EXPECT_EQ(writes(), before) << "an unknown item changes nothing";

    ASSERT_TRUE(store->addWebsite({}, QStringLiteral("example.com")));
    EXPECT_FALSE(store->icon(store->items().back()));
    EXPECT_FALSE(store->icon(stranger({}, DockShortcut::Kind::separator)));
    workspace.iconRequests.clear();
    EXPECT_TRUE(store->icon(stranger(QStringLiteral("/apps/ed.desktop"))));
    EXPECT_EQ(workspace.iconRequests, QStringList{"/apps/ed.desktop"});
}

TEST_F(DockContentFixture, WebsiteAddressRules) {
    auto store = makeStore();
    EXPECT_TRUE(store->addWebsite(QString(), QStringLiteral("example.com/guide/start ")));
    EXPECT_EQ(store->items().back().target, "https://example.com/guide/start");
    EXPECT_EQ(store->items().back().title, "example.com");
    EXPECT_TRUE(store->addWebsite(QStringLiteral("  Old \n"), QStringLiteral("HTTP://old.example.org")));
    EXPECT_EQ(store->items().back().title, "Old");
    EXPECT_EQ(store->items().back().target, "HTTP://old.example.org");

    for (const char* refused : {"ftp://files.example.com", "https://", "file:///etc/passwd", "   ",
                                "javascript:alert(1)", "two words.com"}) {
        EXPECT_FALSE(store->addWebsite(QStringLiteral("x"), QString::fromLatin1(refused))) << refused;
        EXPECT_EQ(store->statusMessage(), "Enter a valid website address.") << refused;
    }
    EXPECT_FALSE(
        store->addWebsite(QStringLiteral("Again"), QStringLiteral(" https://example.com/guide/start")));
    EXPECT_EQ(store->statusMessage(), "That website is already in Vantrel Dock.");
    EXPECT_EQ(store->items().size(), 2u);
}

TEST_F(DockContentFixture, ApplicationsAreDuplicatesByStandardisedPath) {
    workspace.applications[QStringLiteral("/apps/org.example.Editor.desktop")] = {
        QStringLiteral("Text Editor"), QStringLiteral("editor")};
    auto store = makeStore();
    EXPECT_TRUE(store->addApplication(QStringLiteral("/apps/org.example.Editor.desktop"), true));
    EXPECT_EQ(store->statusMessage(), "Application kept in Vantrel Dock.");
    EXPECT_EQ(store->items().back().title, "Text Editor") << "titled by the entry's name";
    EXPECT_EQ(store->items().back().kind, DockShortcut::Kind::application);
    EXPECT_EQ(store->items().back().folderColor, std::nullopt);
    for (const char* same : {"/apps/./org.example.Editor.desktop", "/apps/org.example.Editor.desktop/",
                             "/apps/sub/../org.example.Editor.desktop"}) {
        EXPECT_FALSE(store->addApplication(QString::fromLatin1(same), true)) << same;
        EXPECT_EQ(store->statusMessage(), "That application is already in Vantrel Dock.");
    }
    store->addWebsite({}, QStringLiteral("example.com"));
    EXPECT_FALSE(store->addApplication(QStringLiteral("/apps//org.example.Editor.desktop"), false));
    EXPECT_EQ(store->statusMessage(), "Website added.") << "no status when not asked for";

    EXPECT_TRUE(store->addApplication(QStringLiteral("/opt/tools/./viewer.app/"), false));
    EXPECT_EQ(store->items().back().title, "viewer") << "without an entry: the bare file name";
    EXPECT_EQ(store->items().back().target, "/opt/tools/viewer.app");
    EXPECT_EQ(store->statusMessage(), "Website added.");
}

TEST_F(DockContentFixture, ChoosingApplicationsCountsTheNewOnes) {
    auto store = makeStore();
    store->chooseApplications();
    ASSERT_TRUE(panel.lastRequest);
    EXPECT_EQ(panel.lastRequest->title, "Add applications to Vantrel Dock");
    EXPECT_EQ(panel.lastRequest->prompt, "Add");
    EXPECT_TRUE(panel.lastRequest->applicationsOnly);
    EXPECT_FALSE(panel.lastRequest->foldersOnly);
    EXPECT_EQ(panel.multipleRuns, 1);
    EXPECT_EQ(store->statusMessage(), "Add apps, folders, or websites to build your Dock.") << "cancelled";
    EXPECT_EQ(writes(), 0);

    panel.multipleAnswer = QStringList{"/apps/a.desktop"};
    store->chooseApplications();
    EXPECT_EQ(store->statusMessage(), "Added 1 application.");
    panel.multipleAnswer =
        QStringList{"/apps/a.desktop", "/apps/b.desktop", "/apps/c.desktop", "/apps/d.desktop"};
    QSignalSpy statusChanges(store.get(), &DockContentStore::statusMessageChanged);
    store->chooseApplications();
    EXPECT_EQ(store->statusMessage(), "Added 3 applications.");
    EXPECT_EQ(statusChanges.count(), 1) << "one status for the whole choice";
    panel.multipleAnswer = QStringList{"/apps/b.desktop", "/apps/./a.desktop"};
    store->chooseApplications();
    EXPECT_EQ(store->statusMessage(), "Those applications are already in Vantrel Dock.");
    panel.multipleAnswer = QStringList{};
    store->chooseApplications();
    EXPECT_EQ(store->statusMessage(), "Those applications are already in Vantrel Dock.");
    QStringList titles;
    for (const DockShortcut& item : store->items()) titles.append(item.title);
    EXPECT_EQ(titles, (QStringList{"a", "b", "c", "d"}));
}

TEST_F(DockContentFixture, ChoosingAFolderComparesExactPaths) {
    auto store = makeStore();
    store->chooseFolder();
    ASSERT_TRUE(panel.lastRequest);
    EXPECT_EQ(panel.lastRequest->title, "Add a folder to Vantrel Dock");
    EXPECT_EQ(panel.lastRequest->prompt, "Add Folder");
    EXPECT_TRUE(panel.lastRequest->foldersOnly);
    EXPECT_FALSE(panel.lastRequest->applicationsOnly);
    EXPECT_TRUE(store->items().empty());
    panel.answer = QString();
    store->chooseFolder();
    EXPECT_TRUE(store->items().empty());
    EXPECT_EQ(store->statusMessage(), "Add apps, folders, or websites to build your Dock.");

    panel.answer = QStringLiteral("/home/u/Projects");
    store->chooseFolder();
    EXPECT_EQ(store->statusMessage(), "Folder added.");
    EXPECT_EQ(store->items().back().title, "Projects");
    EXPECT_EQ(store->items().back().kind, DockShortcut::Kind::folder);
    store->chooseFolder();
    EXPECT_EQ(store->statusMessage(), "That folder is already in Vantrel Dock.");
    panel.answer = QStringLiteral("/home/u/./Projects");
    store->chooseFolder();
    EXPECT_EQ(store->statusMessage(), "Folder added.") << "only an exact path is a duplicate";
    EXPECT_EQ(store->items().size(), 2u);
}

TEST_F(DockContentFixture, MovesByOffsetAndByDrop) {
    auto store = makeStore();
    for (const char* host : {"one.example", "two.example", "three.example"})
        store->addWebsite({}, QString::fromLatin1(host));
    const DockShortcut a = store->items()[0], b = store->items()[1], c = store->items()[2];
    const int before = writes();
    store->move(a, -1);
    store->move(c, +1);
    store->move(stranger(), +1);
    EXPECT_EQ(writes(), before) << "no change, no save";
    store->move(c, -5);
    EXPECT_EQ(store->items(), (std::vector<DockShortcut>{c, a, b}));
    store->move(c, std::numeric_limits<int>::max());
    EXPECT_EQ(store->items(), (std::vector<DockShortcut>{a, b, c}));
    EXPECT_EQ(writes(), before + 2);

    EXPECT_FALSE(store->move(a, a));
    EXPECT_FALSE(store->move(a, stranger()));
    EXPECT_FALSE(store->move(stranger(), a));
    EXPECT_EQ(writes(), before + 2);
    EXPECT_TRUE(store->move(a, c));
    EXPECT_EQ(store->items(), (std::vector<DockShortcut>{b, c, a}));
    EXPECT_TRUE(store->move(a, b));
    EXPECT_EQ(store->items(), (std::vector<DockShortcut>{a, b, c}));
    EXPECT_TRUE(store->move(c, a));
    EXPECT_EQ(store->items(), (std::vector<DockShortcut>{c, a, b}));
    EXPECT_EQ(stored()[0].toObject()["target"].toString(), "https://three.example");

    store->remove(a);
    EXPECT_EQ(store->items(), (std::vector<DockShortcut>{c, b}));
    EXPECT_EQ(stored().size(), 2);
}

TEST_F(DockContentFixture, EachOpenRoute) {
    put(R"j([{"id":"E621E1F8-C36C-495A-93FC-0C247A3E6E5F","title":"S","target":"","kind":"separator"},)j"
        R"j({"id":"0B9F3C4E-1D2A-4C6B-8E7F-9A0B1C2D3E4F","title":"W","target":"https://example.com/a","kind":"website"},)j"
        R"j({"id":"1B9F3C4E-1D2A-4C6B-8E7F-9A0B1C2D3E4F","title":"J","target":"javascript:alert(1)","kind":"website"},)j"
        R"j({"id":"2B9F3C4E-1D2A-4C6B-8E7F-9A0B1C2D3E4F","title":"F","target":"ftp://files.example.com","kind":"website"},)j"
        R"j({"id":"3B9F3C4E-1D2A-4C6B-8E7F-9A0B1C2D3E4F","title":"N","target":"https://","kind":"website"},)j"
        R"j({"id":"4B9F3C4E-1D2A-4C6B-8E7F-9A0B1C2D3E4F","title":"P","target":"/home/u/Projects","kind":"folder"},)j"
        R"j({"id":"5B9F3C4E-1D2A-4C6B-8E7F-9A0B1C2D3E4F","title":"E","target":"/apps/editor.desktop","kind":"application"},)j"
        R"j({"id":"6B9F3C4E-1D2A-4C6B-8E7F-9A0B1C2D3E4F","title":"B","target":"","kind":"folder"},)j"
        R"j({"id":"7B9F3C4E-1D2A-4C6B-8E7F-9A0B1C2D3E4F","title":"A","target":"","kind":"application"}])j");
    auto store = makeStore();
    const auto& items = store->items();
    ASSERT_EQ(items.size(), 9u);
    const QString initial = store->statusMessage();

    store->open(items[0]);
    store->open(items[1]);
    EXPECT_EQ(workspace.opened, std::vector<QUrl>{QUrl("https://example.com/a")});
    EXPECT_EQ(store->statusMessage(), initial);
    for (int i : {2, 3, 4}) {
        store->addWebsite({}, QStringLiteral("gopher://x")); // any other status first
        store->open(items[static_cast<std::size_t>(i)]);
        EXPECT_EQ(store->statusMessage(), "This shortcut is no longer valid.") << i;
    }
    EXPECT_EQ(workspace.opened.size(), 1u) << "no other address reached the browser";

    store->open(items[5]);
    EXPECT_EQ(workspace.opened.back(), QUrl::fromLocalFile("/home/u/Projects"));

    // Not running: started from its entry.
    store->open(items[6]);
    EXPECT_EQ(workspace.launched, QStringList{"/apps/editor.desktop"});
    EXPECT_TRUE(running.requests.isEmpty());

    // Running under its entry's identifier: brought forward instead; another program with the
    // same identifier that is not a regular one, or has ended, is passed over.
    running.identifiers[QStringLiteral("/apps/editor.desktop")] = QStringLiteral("editor.desktop");
    RunningApplication helper{7, "Editor helper", {}, "editor.desktop", std::nullopt, false};
    RunningApplication ended{8, "Editor", {}, "editor.desktop", std::nullopt, true, true};
    RunningApplication editor{9, "Editor", {}, "editor.desktop", QStringLiteral("/elsewhere/editor.desktop")};
    running.applications = {helper, ended, editor};
    store->open(items[6]);
    EXPECT_EQ(running.requests, QStringList{"activate 9"});

    // Without an identifier it is recognised by its entry's path.
    running.identifiers.clear();
    running.applications = {editor, {10, "Editor", {}, {}, QStringLiteral("/apps/./editor.desktop")}};
    store->open(items[6]);
    EXPECT_EQ(running.requests, (QStringList{"activate 9", "activate 10"}));
    EXPECT_EQ(workspace.launched.size(), 1);

    const auto openedBefore = workspace.opened.size();
    for (int i : {7, 8}) {
        store->addWebsite({}, QStringLiteral("gopher://x"));
        store->open(items[static_cast<std::size_t>(i)]);
        EXPECT_EQ(store->statusMessage(), "This shortcut is no longer valid.") << i;
    }
    EXPECT_EQ(workspace.opened.size(), openedBefore);
    EXPECT_EQ(workspace.launched.size(), 1);
}

TEST_F(DockContentFixture, ItemsThatCouldNotBeSavedStayUnsavedAndAreWrittenAtQuit) {
    auto store = makeStore();
    QSignalSpy unsavedChanged(store.get(), &DockContentStore::unsavedChanged);
    files.failWith(FakeFileManager::Operation::writeData,
                   std::make_exception_ptr(std::runtime_error("disk full")));
    store->addWebsite({}, QStringLiteral("example.com"));
    store->addWebsite({}, QStringLiteral("example.org"));
    EXPECT_TRUE(store->unsaved());
    EXPECT_EQ(unsavedChanged.count(), 1);
    files.clearFailure(FakeFileManager::Operation::writeData);
    store.reset(); // quitting
    EXPECT_EQ(stored().size(), 2);
}

TEST_F(DockContentFixture, AFailedSaveIsTriedAgainEveryThirtySecondsUntilTheFileTakesIt) {
    ManualScheduler scheduler{clock};
    persistence.setScheduler(&scheduler);
    auto store = makeStore();
    files.failWith(FakeFileManager::Operation::writeData,
                   std::make_exception_ptr(std::runtime_error("full")));
    store->addWebsite({}, QStringLiteral("example.com"));
    EXPECT_EQ(store->statusMessage(), "Could not save Vantrel Dock items.");
    files.clearFailure(FakeFileManager::Operation::writeData);
    scheduler.advance(Seconds(29.9));
    EXPECT_FALSE(QFileInfo::exists(file()));
    scheduler.advance(Seconds(0.1));
    EXPECT_EQ(stored().size(), 1);
    EXPECT_EQ(store->saveState().kind, SaveState::Kind::saved);
    store.reset();
    persistence.setScheduler(nullptr);
}
