#include "platform/linux/QtColorPicker.h"

#include <QColorDialog>
#include <gtest/gtest.h>
#include <memory>
#include <vector>

using namespace vantrel;

TEST(QtColorPicker, OneNonModalDialogWithoutAlphaReportsToTheWellThatOpenedItLast) {
    QtColorPicker picker;
    auto first = std::make_unique<QWidget>();
    QWidget second;
    std::vector<QColor> toFirst, toSecond;
    picker.open({first.get(), QColor(10, 20, 30), QStringLiteral("Background hue")},
                [&toFirst](const QColor& color) { toFirst.push_back(color); });

    // open() has returned with the dialog showing, not running a loop of its own.
    QColorDialog* dialog = picker.dialog();
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_FALSE(dialog->isModal());
    EXPECT_FALSE(dialog->testOption(QColorDialog::ShowAlphaChannel));
    EXPECT_EQ(dialog->windowTitle(), QStringLiteral("Background hue"));
    EXPECT_EQ(dialog->currentColor(), QColor(10, 20, 30));
    EXPECT_TRUE(toFirst.empty()) << "opening on a colour is not a choice";

    dialog->setCurrentColor(QColor(200, 40, 60));
    EXPECT_EQ(toFirst, std::vector<QColor>{QColor(200, 40, 60)});

    // Another well takes the same dialog over; the first hears nothing more.
    picker.open({&second, QColor(1, 2, 3), QStringLiteral("Vantrel icon color")},
                [&toSecond](const QColor& color) { toSecond.push_back(color); });
    EXPECT_EQ(picker.dialog(), dialog);
    EXPECT_EQ(dialog->windowTitle(), QStringLiteral("Vantrel icon color"));
    dialog->setCurrentColor(QColor(5, 6, 7));
    EXPECT_EQ(toFirst.size(), 1u);
    EXPECT_EQ(toSecond, std::vector<QColor>{QColor(5, 6, 7)});

    // Closed, it reports nothing.
    dialog->reject();
    dialog->setCurrentColor(QColor(9, 9, 9));
    EXPECT_EQ(toSecond.size(), 1u);

    // A well that is gone hears nothing either.
    picker.open({first.get(), QColor(1, 1, 1), QStringLiteral("Background hue")},
                [&toFirst](const QColor& color) { toFirst.push_back(color); });
    first.reset();
    dialog->setCurrentColor(QColor(50, 50, 50));
    EXPECT_EQ(toFirst.size(), 1u);
}
