#include "platform/linux/IconThemes.h"
#include "platform/linux/LinuxWorkspace.h"
#include "support/ManualScheduler.h"
#include "support/ManualWorkQueue.h"
#include "support/RecordingSystemLog.h"
#include "support/TempHome.h"

#include <QCoreApplication>
#include <QDir>
#include <QEvent>
#include <QIcon>
#include <QImage>
#include <QSignalSpy>
#include <QWidget>
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/time.h>

using namespace vantrel;
using namespace vantrel::test;

namespace {

// The icon lookup's settings of the test's own for the life of the object.
class ScopedIconSettings {
public:
    ScopedIconSettings(const QString& searchPath, const QString& name)
        : paths_(QIcon::themeSearchPaths()), fallbackPaths_(QIcon::fallbackSearchPaths()),
          name_(QIcon::themeName()), fallback_(QIcon::fallbackThemeName()) {
        QIcon::setThemeSearchPaths({searchPath});
        QIcon::setFallbackSearchPaths({});
        QIcon::setFallbackThemeName(QStringLiteral("none"));
        QIcon::setThemeName(name);
    }
    ~ScopedIconSettings() {
        QIcon::setThemeSearchPaths(paths_);
        QIcon::setFallbackSearchPaths(fallbackPaths_);
        QIcon::setFallbackThemeName(fallback_);
        QIcon::setThemeName(name_);
    }

private:
    QStringList paths_, fallbackPaths_;
    QString name_, fallback_;
};

} // namespace

TEST(IconThemes, AThemeIsReadOnItsQueueOnceAndItsReadingIsAnnounced) {
    TempHome home;
    const QString icons = home.root() + QStringLiteral("/icons");
    home.writeFile(
        QStringLiteral("icons/large/index.theme"),
        "[Icon Theme]\nName=Large\nInherits=parent\nDirectories=48x48/apps\n\n[48x48/apps]\nSize=48\n");
    home.writeFile(QStringLiteral("icons/parent/index.theme"),
                   "[Icon Theme]\nName=Parent\nDirectories=48x48/apps\n\n[48x48/apps]\nSize=48\n");
    const QString probe = home.writeFile(QStringLiteral("icons/parent/48x48/apps/probe.png"), "");
    const ScopedIconSettings settings(icons, QStringLiteral("large"));
    ManualWorkQueue reader;
    IconThemes themes(&reader);
    QSignalSpy changed(&themes, &IconThemes::changed);

    EXPECT_TRUE(themes.files(QStringLiteral("probe")).isEmpty()) << "nothing read on the asking thread";
    const std::size_t asked = reader.pendingCount();
    EXPECT_GT(asked, 0u);
    themes.files(QStringLiteral("other"));
    EXPECT_EQ(reader.pendingCount(), asked) << "a theme being read is not asked for again";

    // Read: told, and the theme it inherits is asked for in turn.
    reader.drain();
    EXPECT_GT(changed.count(), 0);
    changed.clear();
    EXPECT_TRUE(themes.files(QStringLiteral("probe")).isEmpty());
    reader.drain();
    EXPECT_EQ(changed.count(), 1);
    EXPECT_EQ(themes.files(QStringLiteral("probe")), QStringList{probe});
    EXPECT_EQ(reader.pendingCount(), 0u) << "read once";
}

// The names entries and themes use besides the plain ones: an icon named with its extension, a
// theme's folder of scaled icons, and the folder by its MIME type's name.
TEST(IconThemes, FindsANameWithItsExtensionAScaledFolderAndTheFolderByItsTypesName) {
    TempHome home;
    home.writeFile(QStringLiteral("icons/plain/index.theme"),
                   "[Icon Theme]\nName=Plain\nScaledDirectories=48x48@2/places\n\n"
                   "[48x48@2/places]\nSize=48\nScale=2\n");
    const QString editor = home.writeFile(QStringLiteral("icons/plain/48x48@2/places/editor.png"), "");
    const QString folder = home.root() + QStringLiteral("/icons/plain/48x48@2/places/inode-directory.png");
    QImage green(16, 16, QImage::Format_ARGB32);
    green.fill(QColor(40, 180, 60));
    ASSERT_TRUE(green.save(folder));
    const ScopedIconSettings settings(home.root() + QStringLiteral("/icons"), QStringLiteral("plain"));
    IconThemes themes;
    EXPECT_EQ(themes.files(QStringLiteral("editor.png")), QStringList{editor});
    EXPECT_EQ(themes.files(QStringLiteral("editor")), QStringList{editor});
    EXPECT_EQ(themes.folderIcon().pixmap(16, 16).toImage().pixelColor(8, 8), QColor(40, 180, 60));
}

// A row of pinned folders holds one folder icon: every tile's pixmap is the same one, also when
// the named theme is missing and the folder is the toolkit's own.
TEST(IconThemes, EveryFolderSharesOneIconAndItsPixmapsWhenTheThemeIsMissing) {
    TempHome home;
    const ScopedIconSettings settings(home.root() + QStringLiteral("/icons"), QStringLiteral("missing"));
    ManualWorkQueue reader;
    IconThemes themes(&reader);
    reader.drain();
    const QIcon first = themes.folderIcon();
    const QIcon second = themes.folderIcon();
    ASSERT_FALSE(first.isNull()) << "a folder is drawn as one without a theme";
    const QPixmap a = first.pixmap(154, 154);
    const QPixmap b = second.pixmap(154, 154);
    EXPECT_FALSE(a.isNull());
    EXPECT_EQ(a.cacheKey(), b.cacheKey()) << "each folder drew a pixmap of its own";
}

namespace {

// A theme holding a 48-pixel PNG ("small"), a 2048-pixel one ("large") and a drawing ("drawing").
void writePlainTheme(TempHome& home) {
    home.writeFile(QStringLiteral("icons/plain/index.theme"),
                   "[Icon Theme]\nName=Plain\nDirectories=48x48/apps,2048x2048/apps,scalable/apps\n\n"
                   "[48x48/apps]\nSize=48\n\n[2048x2048/apps]\nSize=2048\n\n"
                   "[scalable/apps]\nSize=48\nType=Scalable\n");
    const QString apps = home.root() + QStringLiteral("/icons/plain/");
    QImage small(48, 48, QImage::Format_ARGB32);
    small.fill(QColor(200, 30, 30));
    ASSERT_TRUE(QDir().mkpath(apps + QStringLiteral("48x48/apps")));
    ASSERT_TRUE(small.save(apps + QStringLiteral("48x48/apps/small.png")));
    QImage large(2048, 2048, QImage::Format_ARGB32);
    large.fill(QColor(30, 30, 200));
    ASSERT_TRUE(QDir().mkpath(apps + QStringLiteral("2048x2048/apps")));
    ASSERT_TRUE(large.save(apps + QStringLiteral("2048x2048/apps/large.png")));
    home.writeFile(QStringLiteral("icons/plain/scalable/apps/drawing.svg"),
                   "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"48\" height=\"48\">"
                   "<rect width=\"48\" height=\"48\" fill=\"#1ec81e\"/></svg>");
}

// The plain theme's icons decoded on a queue the test runs, told on its manual frames, with the
// theme itself already read.
class PlainThemeIcons : public ::testing::Test {
protected:
    PlainThemeIcons() {
        writePlainTheme(home);
        themes.files(QStringLiteral("small"));
        reader.drain();
        // The theme's reading told.
        QCoreApplication::processEvents();
    }

    TempHome home;
    const ScopedIconSettings settings{home.root() + QStringLiteral("/icons"), QStringLiteral("plain")};
    ManualWorkQueue reader;
    ManualClock clock;
    ManualScheduler scheduler{clock};
    IconThemes themes{&reader, &scheduler};
};

} // namespace

// A large bitmap (2048 pixels, within the limits) and a drawing are decoded on the themes' queue,
// never on the asking thread, which is told once they are in; a small PNG, once its file is read
// there, is drawn at once at any size.
TEST_F(PlainThemeIcons, LargePicturesAreDecodedOnTheQueueAndASmallPngAtOnce) {
    QSignalSpy changed(&themes, &IconThemes::changed);

    const QIcon small = themes.icon(QStringLiteral("small"));
    EXPECT_TRUE(small.pixmap(48, 48).isNull()) << "its file read on the asking thread";
    reader.drain();
    EXPECT_EQ(small.pixmap(48, 48).toImage().pixelColor(24, 24), QColor(200, 30, 30));
    EXPECT_EQ(small.pixmap(30, 30).toImage().pixelColor(15, 15), QColor(200, 30, 30));
    EXPECT_EQ(reader.pendingCount(), 0u);
    {
        const QIcon bitmap = themes.icon(QStringLiteral("large"));
        const QIcon drawing = themes.icon(QStringLiteral("drawing"));
        ASSERT_FALSE(bitmap.isNull());
        ASSERT_FALSE(drawing.isNull());
        EXPECT_TRUE(bitmap.pixmap(154, 154).isNull()) << "decoded on the asking thread";
        EXPECT_TRUE(drawing.pixmap(154, 154).isNull()) << "drawn on the asking thread";
        EXPECT_EQ(reader.pendingCount(), 2u);
        reader.drain();
        scheduler.advance(Seconds(0.016));
        // Decoded together, told once: every tile asks again at each telling.
        EXPECT_EQ(changed.count(), 1);
        EXPECT_EQ(bitmap.pixmap(154, 154).toImage().pixelColor(77, 77), QColor(30, 30, 200));
        EXPECT_EQ(drawing.pixmap(154, 154).toImage().pixelColor(77, 77), QColor(30, 200, 30));
    }

    // A tile takes what it can and lets the icon go; told, it looks the icon up again and finds
    // the picture decoded, not queued anew (which would tell again, without end).
    EXPECT_TRUE(themes.icon(QStringLiteral("large")).pixmap(100, 100).isNull());
    EXPECT_EQ(reader.pendingCount(), 1u);
    reader.drain();
    scheduler.advance(Seconds(0.016));
    EXPECT_EQ(themes.icon(QStringLiteral("large")).pixmap(100, 100).toImage().pixelColor(50, 50),
              QColor(30, 30, 200));
    EXPECT_EQ(reader.pendingCount(), 0u) << "decoded again";
    EXPECT_EQ(changed.count(), 2);
}

// A picture is told as soon as it is in, within a frame (16 ms), whatever is still being decoded
// behind it; pictures in within one frame of the first are told together.
TEST_F(PlainThemeIcons, EachDecodedPictureIsToldWithinAFrameWhileASlowerOneIsStillDecoding) {
    QSignalSpy changed(&themes, &IconThemes::changed);

    const QIcon bitmap = themes.icon(QStringLiteral("large"));
    const QIcon drawing = themes.icon(QStringLiteral("drawing"));
    EXPECT_TRUE(bitmap.pixmap(154, 154).isNull());
    EXPECT_TRUE(drawing.pixmap(154, 154).isNull());
    ASSERT_EQ(reader.pendingCount(), 2u);

    // The bitmap is in; the drawing, slow, is still being decoded.
    reader.runNext();
    scheduler.advance(Seconds(0.010));
    EXPECT_EQ(changed.count(), 0) << "told before its frame was over";
    scheduler.advance(Seconds(0.006));
    EXPECT_EQ(changed.count(), 1) << "held back by the picture still being decoded";
    EXPECT_EQ(reader.pendingCount(), 1u);
    EXPECT_EQ(bitmap.pixmap(154, 154).toImage().pixelColor(77, 77), QColor(30, 30, 200));

    reader.runNext();
    scheduler.advance(Seconds(0.016));
    EXPECT_EQ(changed.count(), 2);
    EXPECT_EQ(drawing.pixmap(154, 154).toImage().pixelColor(77, 77), QColor(30, 200, 30));

    // Two in within one frame: told once, a frame after the first.
    const QIcon smaller = themes.icon(QStringLiteral("large"));
    const QIcon drawn = themes.icon(QStringLiteral("drawing"));
    EXPECT_TRUE(smaller.pixmap(100, 100).isNull());
    EXPECT_TRUE(drawn.pixmap(100, 100).isNull());
    reader.runNext();
    scheduler.advance(Seconds(0.008));
    reader.runNext();
    scheduler.advance(Seconds(0.008));
    EXPECT_EQ(changed.count(), 3);
    scheduler.advance(Seconds(0.1));
    EXPECT_EQ(changed.count(), 3) << "told once for each picture";
}

// What decoding freed is given back once, on the queue, after a burst of pictures and a quiet
// second: not after each picture, since that holds every thread's heap, the asking thread's too.
TEST(IconThemes, FreedMemoryIsGivenBackOnceOnTheQueueAfterABurstOfPictures) {
    TempHome home;
    writePlainTheme(home);
    const ScopedIconSettings settings{home.root() + QStringLiteral("/icons"), QStringLiteral("plain")};
    ManualWorkQueue reader;
    ManualClock clock;
    ManualScheduler scheduler{clock};
    int returns = 0;
    IconThemes themes{&reader, &scheduler, [&returns] { ++returns; }};
    themes.files(QStringLiteral("small"));
    reader.drain();
    scheduler.advance(Seconds(1));
    ASSERT_EQ(reader.pendingCount(), 1u) << "after the theme was read";
    reader.drain();
    ASSERT_EQ(returns, 1);

    EXPECT_TRUE(themes.icon(QStringLiteral("large")).pixmap(154, 154).isNull());
    EXPECT_TRUE(themes.icon(QStringLiteral("drawing")).pixmap(154, 154).isNull());
    reader.runNext();
    scheduler.advance(Seconds(0.9));
    reader.runNext();
    scheduler.advance(Seconds(0.9));
    EXPECT_EQ(reader.pendingCount(), 0u) << "given back before the burst was over";
    scheduler.advance(Seconds(0.1));
    EXPECT_EQ(reader.pendingCount(), 1u);
    EXPECT_EQ(returns, 1) << "given back on the asking thread";
    reader.drain();
    EXPECT_EQ(returns, 2);
    scheduler.advance(Seconds(10));
    EXPECT_EQ(reader.pendingCount(), 0u);
    EXPECT_EQ(returns, 2);
}

// On a hung mount or a slow network home a stat takes seconds: given a queue, neither a name nor a
// file is looked at on the asking thread, which answers from what the queue found so far (files
// put in place after a question are not seen until the queue has looked), and is told once it
// has. A theme changed later is noticed when it is asked for again two seconds on.
TEST(IconThemes, NamesAndFilesAreLookedAtOnTheQueueOnlyAndLookedAtAgainTwoSecondsOn) {
    TempHome home;
    const QString icons = home.root() + QStringLiteral("/icons");
    home.writeFile(QStringLiteral("icons/plain/index.theme"),
                   "[Icon Theme]\nName=Plain\nDirectories=apps\n\n[apps]\nSize=16\n");
    QImage red(16, 16, QImage::Format_ARGB32);
    red.fill(QColor(200, 30, 30));
    ASSERT_TRUE(QDir().mkpath(icons + QStringLiteral("/plain/apps")));
    ASSERT_TRUE(red.save(icons + QStringLiteral("/plain/apps/probe.png")));
    const ScopedIconSettings settings(icons, QStringLiteral("plain"));
    QIcon::setFallbackSearchPaths({home.root() + QStringLiteral("/pixmaps")});
    ManualWorkQueue reader;
    ManualClock clock;
    ManualScheduler scheduler{clock};
    IconThemes themes(&reader, &scheduler);
    RecordingSystemLog log;
    LinuxWorkspace workspace(log, {}, &themes);
    QSignalSpy changed(&themes, &IconThemes::changed);
    QSignalSpy iconsChanged(&workspace, &Workspace::iconsChanged);
    const auto colourOf = [&reader](const QIcon& icon) {
        icon.pixmap(16, 16);
        reader.drain();
        return icon.pixmap(16, 16).toImage().pixelColor(8, 8);
    };

    EXPECT_TRUE(themes.files(QStringLiteral("probe")).isEmpty());
    reader.drain();
    changed.clear();
    iconsChanged.clear();
    EXPECT_TRUE(themes.files(QStringLiteral("loose")).isEmpty());
    const QString entry = home.root() + QStringLiteral("/app.desktop");
    EXPECT_TRUE(workspace.iconForFile(entry).isNull());
    const QString pipe = home.root() + QStringLiteral("/pipe.desktop");
    ASSERT_EQ(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    EXPECT_TRUE(workspace.iconForFile(pipe).isNull());
    EXPECT_GT(reader.pendingCount(), 0u);
    const QString loose = home.writeFile(QStringLiteral("pixmaps/loose.png"), "");
    home.writeFile(QStringLiteral("app.desktop"),
                   "[Desktop Entry]\nType=Application\nName=App\nExec=true\nIcon=probe\n");
    EXPECT_TRUE(themes.files(QStringLiteral("loose")).isEmpty()) << "looked for on the asking thread";
    EXPECT_TRUE(workspace.iconForFile(entry).isNull()) << "read on the asking thread";

    reader.drain();
    EXPECT_GT(changed.count(), 0);
    EXPECT_GT(iconsChanged.count(), 0);
    EXPECT_EQ(themes.files(QStringLiteral("loose")), QStringList{loose});
    EXPECT_EQ(colourOf(workspace.iconForFile(entry)), QColor(200, 30, 30));
    EXPECT_EQ(reader.pendingCount(), 0u);

    // A theme and an entry changed: trusted as they were for the round, looked at again after it.
    QImage green(16, 16, QImage::Format_ARGB32);
    green.fill(QColor(30, 200, 30));
    ASSERT_TRUE(green.save(icons + QStringLiteral("/plain/apps/fresh.png")));
    const timeval later[2] = {{1'000'000'000, 0}, {1'000'000'000, 0}};
    ASSERT_EQ(::utimes(QFile::encodeName(icons + QStringLiteral("/plain")).constData(), later), 0);
    home.writeFile(QStringLiteral("app.desktop"),
                   "[Desktop Entry]\nType=Application\nName=App\nExec=true\nIcon=fresh\n");
    const QIcon same = workspace.iconForFile(entry);
    EXPECT_EQ(reader.pendingCount(), 0u) << "looked at again within the round";
    EXPECT_EQ(colourOf(same), QColor(200, 30, 30));
    scheduler.advance(Seconds(2));
    workspace.iconForFile(entry);
    reader.drain();
    EXPECT_EQ(colourOf(workspace.iconForFile(entry)), QColor(30, 200, 30));
}
