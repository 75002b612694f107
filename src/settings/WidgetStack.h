#pragma once

#include <initializer_list>

class QWidget;

namespace vantrel {

// The given widgets one under another without margins, `spacing` apart, in one frame that a card
// row or a page can hold as a single widget.
QWidget* stackOf(std::initializer_list<QWidget*> widgets, int spacing);

} // namespace vantrel
