#include "platform/linux/BoundedIcon.h"
#include "platform/linux/LinuxWorkspace.h"
#include "support/HostileFiles.h"
#include "support/RecordingSystemLog.h"
#include "support/TempHome.h"

#include <QIcon>
#include <QImage>
#include <QPixmap>
#include <chrono>
#include <fcntl.h>
#include <future>
#include <gtest/gtest.h>
#include <memory>
#include <thread>
#include <unistd.h>

using namespace vantrel;
using namespace vantrel::test;

namespace {

// A red disc on a transparent square, as a picture that exists only as SVG.
constexpr char kRedDisc[] =
    R"(<svg xmlns="http://www.w3.org/2000/svg" width="16" height="16" viewBox="0 0 16 16">
<circle cx="8" cy="8" r="7" fill="#ff0000"/></svg>)";

// Points Qt's icon lookup at a theme of the test's own for the life of the object.
class ScopedIconTheme {
public:
    ScopedIconTheme(const QString& searchPath, const QString& name)
        : paths_(QIcon::themeSearchPaths()), name_(QIcon::themeName()) {
        QIcon::setThemeSearchPaths({searchPath});
        QIcon::setThemeName(name);
    }
    ~ScopedIconTheme() {
        QIcon::setThemeSearchPaths(paths_);
        QIcon::setThemeName(name_);
    }

private:
    QStringList paths_;
    QString name_;
};

QString entry(TempHome& home, const QString& name, const QString& icon) {
    return home.writeFile(QStringLiteral("applications/") + name + QStringLiteral(".desktop"),
                          "[Desktop Entry]\nType=Application\nName=" + name.toUtf8() +
                              "\nExec=true\nIcon=" + icon.toUtf8() + "\n");
}

} // namespace

TEST(BoundedIcon, AnIconThatIsNoRegularFileWithinItsLimitIsNoIconAndIsNeverWaitedOn) {
    TempHome home;
    const QString icons = home.root() + QStringLiteral("/icons");
    home.writeFile(QStringLiteral("icons/fixture/index.theme"),
                   "[Icon Theme]\nName=Fixture\nDirectories=48x48/apps\n\n[48x48/apps]\nSize=48\n");
    const QString themedFifo = icons + QStringLiteral("/fixture/48x48/apps/stuck.png");
    const QString fifo = home.root() + "/fifo.png", huge = home.root() + "/huge.png",
                  folder = home.root() + "/folder.png";
    ASSERT_TRUE(makeHostile(Hostile::fifo, themedFifo, {}, 0));
    ASSERT_TRUE(makeHostile(Hostile::fifo, fifo, {}, 0));
    ASSERT_TRUE(makeHostile(Hostile::overLimit, huge, {}, 8 << 20));
    ASSERT_TRUE(makeHostile(Hostile::folder, folder, {}, 0));
    const ScopedIconTheme theme(icons, QStringLiteral("fixture"));

    for (const QString& icon : {fifo, QStringLiteral("stuck"), huge, folder}) {
        SCOPED_TRACE(icon.toStdString());
        // On a thread of its own with a bounded wait: a read that waits on the FIFO fails the
        // test instead of hanging it.
        struct Shared {
            RecordingSystemLog log;
            LinuxWorkspace workspace{log};
        };
        auto shared = std::make_shared<Shared>();
        const QString path = entry(home, QStringLiteral("Stuck"), icon);
        std::packaged_task<bool()> task(
            [shared, path] { return shared->workspace.iconForFile(path).isNull(); });
        std::future<bool> isNull = task.get_future();
        std::thread reader(std::move(task));
        const bool prompt = isNull.wait_for(std::chrono::seconds(10)) == std::future_status::ready;
        EXPECT_TRUE(prompt) << "the icon read waited";
        // A stuck reader is let go by writers that come and go; if it still waits, it is left.
        for (int i = 0;
             i < 500 && isNull.wait_for(std::chrono::milliseconds(10)) != std::future_status::ready; ++i)
            for (const QString& f : {fifo, themedFifo})
                if (const int fd = ::open(QFile::encodeName(f).constData(), O_WRONLY | O_NONBLOCK); fd >= 0)
                    ::close(fd);
        if (isNull.wait_for(std::chrono::seconds(0)) != std::future_status::ready) {
            reader.detach();
            continue;
        }
        reader.join();
        EXPECT_TRUE(isNull.get());
    }
}

TEST(BoundedIcon, AnIconThatExistsOnlyAsSvgIsDrawnFromItsThemeNameOrItsPath) {
    TempHome home;
    const QString icons = home.root() + QStringLiteral("/icons");
    // The fixture theme inherits hicolor, where the application put its icon.
    home.writeFile(
        QStringLiteral("icons/fixture/index.theme"),
        "[Icon Theme]\nName=Fixture\nInherits=hicolor\nDirectories=48x48/apps\n\n[48x48/apps]\nSize=48\n");
    home.writeFile(QStringLiteral("icons/fixture/48x48/apps/.keep"), "");
    home.writeFile(
        QStringLiteral("icons/hicolor/index.theme"),
        "[Icon Theme]\nName=Hicolor\nDirectories=48x48/apps,scalable/apps\n\n[48x48/apps]\nSize=48\n\n"
        "[scalable/apps]\nSize=48\nType=Scalable\n");
    const QString svg = home.writeFile(QStringLiteral("icons/hicolor/scalable/apps/only-svg.svg"), kRedDisc);
    const ScopedIconTheme theme(icons, QStringLiteral("fixture"));
    RecordingSystemLog log;
    LinuxWorkspace workspace(log);

    for (const QString& icon : {QStringLiteral("only-svg"), svg}) {
        SCOPED_TRACE(icon.toStdString());
        const QIcon found = workspace.iconForFile(entry(home, QStringLiteral("Svg"), icon));
        ASSERT_FALSE(found.isNull());
        // Drawn sharp at the size asked, not the 16 points the file names.
        const QImage image = found.pixmap(64, 64).toImage();
        ASSERT_EQ(image.size(), QSize(64, 64));
        EXPECT_EQ(image.pixelColor(32, 32), QColor(255, 0, 0));
        EXPECT_EQ(image.pixelColor(1, 1).alpha(), 0);
    }
    EXPECT_EQ(themeIconFiles(QStringLiteral("only-svg")), QStringList{svg});
}
