#include "settings/WidgetStack.h"

#include <QVBoxLayout>
#include <QWidget>

namespace vantrel {

QWidget* stackOf(std::initializer_list<QWidget*> widgets, int spacing) {
    auto* frame = new QWidget;
    auto* stack = new QVBoxLayout(frame);
    stack->setContentsMargins(0, 0, 0, 0);
    stack->setSpacing(spacing);
    for (QWidget* widget : widgets) stack->addWidget(widget);
    return frame;
}

} // namespace vantrel
