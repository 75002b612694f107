#include "platform/linux/IconThemes.h"
#include "support/ManualWorkQueue.h"
#include "support/TempHome.h"

#include <QCoreApplication>
#include <QEvent>
#include <QIcon>
#include <QImage>
#include <QSignalSpy>
#include <QWidget>
#include <gtest/gtest.h>

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
