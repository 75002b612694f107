#include "control-center/PlaceholderPage.h"

namespace vantrel {

PlaceholderPage::PlaceholderPage(VantrelPreferences& preferences, const QString& title, QWidget* parent)
    : VantrelPage(preferences, title, std::nullopt, kMaxWidth, parent) {}

} // namespace vantrel
