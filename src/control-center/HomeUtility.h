#pragma once

#include <QString>
#include <array>
#include <type_traits>

namespace vantrel {

// The sections of the home page's quick-controls panel. The raw value is the section's title;
// fromRawValue<HomeUtility> matches it exactly, case included.
enum class HomeUtility { timer, clipboard, files };

QString rawValue(HomeUtility utility);
// The glyph the home page's launcher and the panel's section header both show for the section.
QString symbol(HomeUtility utility);
constexpr auto allCases(std::type_identity<HomeUtility>) {
    return std::array{HomeUtility::timer, HomeUtility::clipboard, HomeUtility::files};
}

} // namespace vantrel
