#include "platform/linux/QtOpenPanel.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>

using namespace vantrel;

namespace {

const QString kApplications = QStringLiteral(VANTREL_TEST_DATA_DIR "/applications");

// Looks at the dialog once it is up, then lets `answer` close it.
void whenShown(std::function<void(QFileDialog&)> answer) {
    QTimer::singleShot(0, [answer = std::move(answer)] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        answer(*dialog);
    });
}

} // namespace

TEST(QtOpenPanel, AFolderChooserOffersFoldersOnly) {
    QtOpenPanel panel({kApplications});
    QFileDialog::FileMode mode = QFileDialog::AnyFile;
    bool dirsOnly = false;
    QString title;
    whenShown([&](QFileDialog& dialog) {
        mode = dialog.fileMode();
        dirsOnly = dialog.testOption(QFileDialog::ShowDirsOnly);
        title = dialog.windowTitle();
        dialog.reject();
    });
    EXPECT_EQ(panel.run({.title = QStringLiteral("Add a folder to Vantrel Dock"),
                         .prompt = QStringLiteral("Add Folder"),
                         .foldersOnly = true}),
              std::nullopt);
    EXPECT_EQ(mode, QFileDialog::Directory);
    EXPECT_TRUE(dirsOnly);
    EXPECT_EQ(title, "Add a folder to Vantrel Dock");
}

TEST(QtOpenPanel, SeveralApplicationsAtOnce) {
    QtOpenPanel panel({kApplications});
    QFileDialog::FileMode mode = QFileDialog::AnyFile;
    QStringList filters;
    whenShown([&](QFileDialog& dialog) {
        mode = dialog.fileMode();
        filters = dialog.nameFilters();
        dialog.setDirectory(kApplications);
        dialog.selectFile(QStringLiteral("\"browser.desktop\" \"terminal.desktop\""));
        static_cast<QDialog&>(dialog).accept();
    });
    const auto chosen = panel.runMultiple({.title = QStringLiteral("Add applications to Vantrel Dock"),
                                           .prompt = QStringLiteral("Add"),
                                           .applicationsOnly = true});
    EXPECT_EQ(mode, QFileDialog::ExistingFiles);
    EXPECT_EQ(filters, QStringList{"Applications (*.desktop)"});
    ASSERT_TRUE(chosen);
    EXPECT_EQ(*chosen,
              (QStringList{kApplications + "/browser.desktop", kApplications + "/terminal.desktop"}));

    whenShown([](QFileDialog& dialog) { dialog.reject(); });
    EXPECT_EQ(panel.runMultiple({.title = {}, .prompt = {}, .applicationsOnly = true}), std::nullopt)
        << "cancelled";
}
