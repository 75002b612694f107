#include "support/VisibleTexts.h"

#include <QAbstractButton>
#include <QLabel>
#include <QWidget>

namespace vantrel::test {

namespace {

void collect(const QWidget& root, const QWidget& widget, QStringList& texts) {
    if (&widget != &root && !widget.isVisibleTo(&root)) return;
    const auto add = [&texts](const QString& text) {
        if (!text.isEmpty() && !texts.contains(text)) texts.append(text);
    };
    if (const auto* label = qobject_cast<const QLabel*>(&widget)) add(label->text());
    if (const auto* button = qobject_cast<const QAbstractButton*>(&widget)) add(button->text());
    add(widget.toolTip());
    add(widget.accessibleName());
    add(widget.accessibleDescription());
    for (const QObject* child : widget.children())
        if (const auto* childWidget = qobject_cast<const QWidget*>(child)) collect(root, *childWidget, texts);
}

} // namespace

QStringList visibleTexts(const QWidget& root) {
    QStringList texts;
    collect(root, root, texts);
    return texts;
}

} // namespace vantrel::test
