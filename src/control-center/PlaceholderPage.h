#pragma once

#include "kit/VantrelPage.h"

namespace vantrel {

// The page of a section whose own page is not built yet: the page frame titled by the section,
// and nothing else.
class PlaceholderPage final : public VantrelPage {
    Q_OBJECT
public:
    static constexpr double kMaxWidth = 920;
    PlaceholderPage(VantrelPreferences& preferences, const QString& title, QWidget* parent = nullptr);
};

} // namespace vantrel
