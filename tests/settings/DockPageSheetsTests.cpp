#include "DockPageFixture.h"
#include "control-center/RootView.h"
#include "kit/KitRender.h"

#include <QCoreApplication>
#include <gtest/gtest.h>

using namespace vantrel;
using namespace vantrel::test;

namespace {

// The control center on the Dock section, tall enough to show the whole page.
QImage dockPage(bool replacement, AppearanceMode mode, int width) {
    DockPageFixture f;
    f.c.h.preferences.setHasCompletedOnboarding(true);
    f.c.h.preferences.setAppearanceMode(mode);
    f.c.h.preferences.setCustomDockEnabled(replacement);
    f.nativeDomain.values[QStringLiteral("tilesize")] = QStringLiteral("52");
    f.nativeDomain.values[QStringLiteral("autohide")] = QStringLiteral("1");
    f.nativeDomain.values[QStringLiteral("orientation")] = QStringLiteral("left");
    f.d.content.addWebsite(QStringLiteral("Docs"), QStringLiteral("docs.example.org"));
    f.d.content.addWebsite(QString(), QStringLiteral("news.example.com"));
    f.d.content.addWebsite(QStringLiteral("Mail"), QStringLiteral("mail.example.net"));
    f.c.sections.select(VantrelSection::dock);

    RootView root(f.context);
    root.resize(width, replacement ? (width < 1000 ? 3000 : 2300) : 1100);
    root.show();
    QCoreApplication::sendPostedEvents();
    f.nativeQueue.drain();
    QCoreApplication::sendPostedEvents();
    EXPECT_NE(qobject_cast<DockPage*>(root.page()), nullptr);
    return renderWidget(root, Qt::black);
}

} // namespace

TEST(DockPageSheets, BothSectionsDarkAndLightAtTwoWidths) {
    for (bool replacement : {false, true}) {
        QList<QImage> images;
        for (int width : {720, 1200})
            for (AppearanceMode mode : {AppearanceMode::dark, AppearanceMode::light})
                images << dockPage(replacement, mode, width);
        for (const QImage& image : images) ASSERT_FALSE(image.isNull());
        const QString path = saveSheet(replacement ? QStringLiteral("dock-page-replacement")
                                                   : QStringLiteral("dock-page-native"),
                                       images, 4);
        EXPECT_FALSE(QImage(path).isNull());
    }
}
