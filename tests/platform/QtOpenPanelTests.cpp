#include "platform/linux/QtOpenPanel.h"

#include "support/QtPrinters.h"
#include "support/TempHome.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QTest>
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

TEST(QtOpenPanel, ReturnChoosesItemsAsOpenDoes) {
    test::TempHome home;
    const QString a = home.writeFile(QStringLiteral("shelf/a.txt"), "a");
    const QString b = home.writeFile(QStringLiteral("shelf/b.txt"), "b");
    const QString folder = home.root() + QStringLiteral("/shelf");
    ASSERT_TRUE(QDir().mkpath(folder + QStringLiteral("/Projects")));
    QtOpenPanel panel({});

    // Picks `names` in the list once it shows the folder's three rows, or types `typed` into the
    // name field, then presses Return there.
    const auto returnWith = [&](const QStringList& names, const QString& typed = {}) {
        whenShown([&](QFileDialog& dialog) {
            dialog.setDirectory(folder);
            QAbstractItemView* list = nullptr;
            EXPECT_TRUE(QTest::qWaitFor([&] {
                for (QAbstractItemView* view : dialog.findChildren<QAbstractItemView*>())
                    if (view->isVisible() && view->model()->rowCount(view->rootIndex()) == 3) list = view;
                return list != nullptr;
            }));
            auto* name = dialog.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
            if (!list || !name) return dialog.reject();
            // In the order given, so the last is the current row.
            for (const QString& chosen : names)
                for (int r = 0; r < 3; ++r)
                    if (const QModelIndex row = list->model()->index(r, 0, list->rootIndex());
                        row.data().toString() == chosen)
                        list->selectionModel()->setCurrentIndex(row, QItemSelectionModel::Select |
                                                                         QItemSelectionModel::Rows);
            QWidget* target = typed.isEmpty() ? static_cast<QWidget*>(list) : name;
            target->setFocus();
            QTest::keyClicks(target, typed);
            QTest::keyClick(target, Qt::Key_Return);
            if (dialog.isVisible()) dialog.reject();
        });
        return panel.runForItems({}).value_or(QStringList{});
    };
    EXPECT_EQ(returnWith({QStringLiteral("a.txt")}), QStringList{a}) << "a file selected in the list";
    EXPECT_EQ(returnWith({QStringLiteral("a.txt"), QStringLiteral("b.txt")}), (QStringList{a, b}));
    EXPECT_EQ(returnWith({QStringLiteral("a.txt"), QStringLiteral("Projects")}),
              (QStringList{a, folder + QStringLiteral("/Projects")}))
        << "several, a folder the current row";
    EXPECT_EQ(returnWith({}, QStringLiteral("b.txt")), QStringList{b}) << "a typed name";
    EXPECT_EQ(returnWith({}, a), QStringList{a}) << "a typed path";
    EXPECT_EQ(returnWith({}, QStringLiteral("\"a.txt\" \"b.txt\"")), (QStringList{a, b}));
}
