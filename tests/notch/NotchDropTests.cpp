#include "notch/NotchDrop.h"

#include <QMimeData>
#include <gtest/gtest.h>

using namespace vantrel;

TEST(NotchDrop, OnlyLocalFilesGoToTheShelf) {
    const QUrl file = QUrl::fromLocalFile(QStringLiteral("/home/me/report.pdf"));
    const QUrl folder = QUrl::fromLocalFile(QStringLiteral("/home/me/Pictures"));
    const QUrl link(QStringLiteral("https://example.com/"));
    const QUrl share(QStringLiteral("file://fileserver/export/a.txt"));
    const QUrl localhost(QStringLiteral("file://localhost/tmp/b.txt"));

    struct Row {
        QList<QUrl> offered;
        QList<QUrl> shelved;
    };
    const Row rows[] = {
        {{file, folder}, {file, folder}}, {{link, file}, {file}}, {{link}, {}}, {{}, {}}, {{share}, {}},
        {{localhost}, {localhost}},       {{QUrl()}, {}},
    };
    for (const Row& row : rows) {
        QMimeData data;
        data.setUrls(row.offered);
        EXPECT_EQ(NotchDrop::localFiles(data), row.shelved) << row.offered.size();
        EXPECT_EQ(NotchDrop::carriesLocalFiles(data), !row.shelved.isEmpty());
    }
    // Text that merely looks like a path is no file.
    QMimeData text;
    text.setText(QStringLiteral("/home/me/report.pdf"));
    EXPECT_TRUE(NotchDrop::localFiles(text).isEmpty());
}
