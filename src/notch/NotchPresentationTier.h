#pragma once

#include "core/PreferenceEnums.h"
#include "kit/Navigation.h"

#include <QSize>
#include <array>

namespace vantrel {

// How tall the expanded notch panel is; NotchSize turns a tier into a size.
enum class NotchPresentationTier { glance, standard, tall };

constexpr auto allCases(std::type_identity<NotchPresentationTier>) {
    return std::array{NotchPresentationTier::glance, NotchPresentationTier::standard,
                      NotchPresentationTier::tall};
}

// The tier the panel takes while `tab` is selected.
NotchPresentationTier presentationTier(NotchTab tab);

// The size in points of the expanded notch panel.
QSize expanded(NotchSize size, NotchPresentationTier tier);

} // namespace vantrel
