#include "platform/linux/QtAlertPresenter.h"

#include <QAbstractButton>
#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTextDocument>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>

using namespace vantrel;

namespace {

void whenShown(std::function<void(QMessageBox&)> answer) {
    QTimer::singleShot(0, [answer = std::move(answer)] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        answer(*box);
    });
}

// The text as a reader sees it on the label.
QString readerSees(const QLabel& label) {
    const bool rich = label.textFormat() == Qt::RichText ||
                      (label.textFormat() == Qt::AutoText && Qt::mightBeRichText(label.text()));
    if (!rich) return label.text();
    QTextDocument document;
    document.setHtml(label.text());
    return document.toPlainText();
}

AlertPresenter::Request forceQuit(const QString& name) {
    return {.style = AlertPresenter::Style::critical,
            .messageText = QStringLiteral("Force Quit ") + name + QLatin1Char('?'),
            .informativeText =
                QStringLiteral("Any unsaved changes in ") + name + QStringLiteral(" will be lost."),
            .buttons = {QStringLiteral("Force Quit"), QStringLiteral("Cancel")}};
}

} // namespace

TEST(QtAlertPresenter, AsksWithPlainTextAndAnswersTheChosenButton) {
    QtAlertPresenter alerts;
    QStringList shown;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QString defaultButton, escapeButton;
    whenShown([&](QMessageBox& box) {
        icon = box.icon();
        for (const QLabel* label : box.findChildren<QLabel*>())
            if (!label->text().isEmpty()) shown.append(readerSees(*label));
        defaultButton = box.defaultButton()->text();
        escapeButton = box.escapeButton()->text();
        for (QAbstractButton* button : box.buttons())
            if (button->text() == u"Force Quit") button->click();
    });
    EXPECT_EQ(alerts.run(forceQuit(QStringLiteral("<b>Editor</b>"))), 0);
    EXPECT_EQ(icon, QMessageBox::Critical);
    EXPECT_EQ(defaultButton, "Force Quit");
    EXPECT_EQ(escapeButton, "Cancel");
    ASSERT_EQ(shown.size(), 2) << shown.join(" | ").toStdString();
    // A name from another program is shown as it is, never read as markup.
    EXPECT_TRUE(shown.contains("Force Quit <b>Editor</b>?")) << shown.join(" | ").toStdString();
    EXPECT_TRUE(shown.contains("Any unsaved changes in <b>Editor</b> will be lost."))
        << shown.join(" | ").toStdString();

    whenShown([](QMessageBox& box) {
        for (QAbstractButton* button : box.buttons())
            if (button->text() == u"Cancel") button->click();
    });
    EXPECT_EQ(alerts.run(forceQuit(QStringLiteral("Editor"))), 1);
}
