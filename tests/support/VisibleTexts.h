#pragma once

#include <QStringList>

class QWidget;

namespace vantrel::test {

// Every text a user can see or hear on `root` and the widgets under it that are visible (as far
// as `root` is concerned): label and button texts, tool tips, accessible names and descriptions,
// in widget order, each text once. Pages compare it with their table of texts.
QStringList visibleTexts(const QWidget& root);

} // namespace vantrel::test
