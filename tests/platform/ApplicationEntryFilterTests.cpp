#include "platform/linux/ApplicationEntryFilter.h"

#include <QFileSystemModel>
#include <QStandardItemModel>
#include <gtest/gtest.h>

using namespace vantrel;

namespace {

QString applications() {
    return QStringLiteral(VANTREL_TEST_DATA_DIR "/applications");
}

} // namespace

TEST(ApplicationEntryFilter, OffersFoldersAndTheApplicationsTheDesktopLists) {
    QStandardItemModel folder;
    for (const QString& name :
         {QStringLiteral("browser.desktop"), QStringLiteral("no-display.desktop"),
          QStringLiteral("hidden.desktop"), QStringLiteral("link.desktop"),
          QStringLiteral("terminal.desktop"), QStringLiteral("missing.desktop"), QString()}) {
        auto* item = new QStandardItem(name.isEmpty() ? QStringLiteral("..") : name);
        item->setData(name.isEmpty() ? applications() : applications() + '/' + name,
                      QFileSystemModel::FilePathRole);
        folder.appendRow(item);
    }
    ApplicationEntryFilter filter;
    filter.setSourceModel(&folder);

    QStringList offered;
    for (int row = 0; row < filter.rowCount(); ++row) offered.append(filter.index(row, 0).data().toString());
    // The NoDisplay handler, the removed entry, the link and the missing file are left out.
    EXPECT_EQ(offered, (QStringList{"browser.desktop", "terminal.desktop", ".."}));
}
