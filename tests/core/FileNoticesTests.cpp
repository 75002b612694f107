#include "core/FileNotices.h"

#include "support/QtPrinters.h"

#include <QSignalSpy>
#include <gtest/gtest.h>

using namespace vantrel;

TEST(FileNotices, OneNoticePerFileThatGoesWhenResolvedOrClosedAndComesBackWithAnotherFailure) {
    FileNotices notices;
    QSignalSpy changed(&notices, &FileNotices::changed);
    notices.set(QStringLiteral("/data/notes.json"), QStringLiteral("notes refused"));
    notices.set(QStringLiteral("/data/clipboard.json"), QStringLiteral("clipboard refused"));
    EXPECT_EQ(notices.notices(), (QStringList{"notes refused", "clipboard refused"}));
    EXPECT_EQ(changed.count(), 2);

    // The same words again change nothing; other words replace the file's notice in its place.
    notices.set(QStringLiteral("/data/notes.json"), QStringLiteral("notes refused"));
    EXPECT_EQ(changed.count(), 2);
    notices.set(QStringLiteral("/data/notes.json"), QStringLiteral("notes kept elsewhere"));
    EXPECT_EQ(notices.notices(), (QStringList{"notes kept elsewhere", "clipboard refused"}));

    // Closed: none shown, each one kept; the same failure retried with every change stays closed,
    // another one shows again.
    notices.dismiss();
    EXPECT_TRUE(notices.notices().isEmpty());
    EXPECT_EQ(notices.notice(QStringLiteral("/data/notes.json")), QStringLiteral("notes kept elsewhere"));
    const int beforeFailure = changed.count();
    notices.set(QStringLiteral("/data/clipboard.json"), QStringLiteral("clipboard refused"));
    EXPECT_TRUE(notices.notices().isEmpty());
    EXPECT_EQ(changed.count(), beforeFailure);
    notices.set(QStringLiteral("/data/clipboard.json"), QStringLiteral("clipboard full"));
    EXPECT_EQ(notices.notices(), QStringList{"clipboard full"});
    EXPECT_EQ(changed.count(), beforeFailure + 1);

    // Read or saved again: gone for good; an empty notice is the same.
    notices.resolve(QStringLiteral("/data/clipboard.json"));
    notices.set(QStringLiteral("/data/notes.json"), QString());
    EXPECT_TRUE(notices.notices().isEmpty());
    EXPECT_EQ(notices.notice(QStringLiteral("/data/notes.json")), QString());
    const int settled = changed.count();
    notices.resolve(QStringLiteral("/data/notes.json"));
    notices.dismiss();
    EXPECT_EQ(changed.count(), settled) << "nothing to resolve or close";
}

TEST(FileNotices, AStoreCouldNotSaveWhileANoticeShownOrClosedStandsForItsFile) {
    EXPECT_FALSE(couldNotSave(nullptr, "clipboard.json"));
    FileNotices notices;
    notices.set("/home/u/.local/share/Vantrel/clipboard.json", "Vantrel could not save clipboard.json.");
    notices.set("com.apple.dock", "The macOS Dock was left as it is: its settings file could not be read.");
    EXPECT_TRUE(couldNotSave(&notices, "clipboard.json"));
    EXPECT_FALSE(couldNotSave(&notices, "notes.json"));
    EXPECT_FALSE(couldNotSave(&notices, "json")) << "a whole file name, not a part of one";
    notices.dismiss();
    EXPECT_TRUE(couldNotSave(&notices, "clipboard.json")) << "closing the notice saves nothing";
    notices.resolve("/home/u/.local/share/Vantrel/clipboard.json");
    EXPECT_FALSE(couldNotSave(&notices, "clipboard.json"));
}
