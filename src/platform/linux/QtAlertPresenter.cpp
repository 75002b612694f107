#include "platform/linux/QtAlertPresenter.h"

#include <QList>
#include <QMessageBox>
#include <QPushButton>
#include <QTextDocument>

namespace vantrel {

namespace {

// The informative label follows the text's own look unless told otherwise; a name taken from
// another program must never be read as markup.
QString asPlainText(const QString& text) {
    if (!Qt::mightBeRichText(text)) return text;
    return QStringLiteral("<p style=\"white-space:pre-wrap\">") + text.toHtmlEscaped() +
           QStringLiteral("</p>");
}

QMessageBox::Icon icon(AlertPresenter::Style style) {
    switch (style) {
    case AlertPresenter::Style::informational:
        return QMessageBox::Information;
    case AlertPresenter::Style::warning:
        return QMessageBox::Warning;
    case AlertPresenter::Style::critical:
        return QMessageBox::Critical;
    }
    return QMessageBox::NoIcon;
}

} // namespace

std::optional<int> QtAlertPresenter::run(const Request& request) {
    QMessageBox box;
    box.setIcon(icon(request.style));
    box.setTextFormat(Qt::PlainText);
    box.setText(request.messageText);
    box.setInformativeText(asPlainText(request.informativeText));
    QList<QPushButton*> buttons;
    for (const QString& title : request.buttons) {
        const bool cancel = title == u"Cancel";
        QPushButton* button =
            box.addButton(title, cancel ? QMessageBox::RejectRole : QMessageBox::AcceptRole);
        if (cancel) box.setEscapeButton(button);
        buttons.append(button);
    }
    if (!buttons.isEmpty()) box.setDefaultButton(buttons.front());
    box.exec();
    const auto index = buttons.indexOf(qobject_cast<QPushButton*>(box.clickedButton()));
    if (index < 0) return std::nullopt;
    return int(index);
}

} // namespace vantrel
