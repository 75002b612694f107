#include "core/PreferenceEnums.h"

#include "support/QtPrinters.h"

#include <QColor>
#include <gtest/gtest.h>
#include <limits>

using namespace vantrel;

TEST(PreferenceEnums, ArtworkExistsOnlyForRealThemes) {
    EXPECT_EQ(resourceName(ArtTheme::glacialVeil, true, true), QStringLiteral("glacial-veil-dark-thumb"));
    for (auto [theme, light, dark] :
         {std::tuple{ArtTheme::obsidianFold, "obsidian-fold-light", "obsidian-fold-dark"},
          {ArtTheme::glacialVeil, "glacial-veil-light", "glacial-veil-dark"},
          {ArtTheme::midnightCurrent, "midnight-current-light", "midnight-current-dark"},
          {ArtTheme::canyonAlloy, "canyon-alloy-light", "canyon-alloy-dark"}}) {
        EXPECT_EQ(resourceName(theme, false, false), QString::fromLatin1(light));
        EXPECT_EQ(resourceName(theme, true, false), QString::fromLatin1(dark));
        EXPECT_EQ(resourceName(theme, false, true), QString::fromLatin1(light) + QStringLiteral("-thumb"));
    }
    EXPECT_EQ(resourceName(ArtTheme::neutral, true, false), std::nullopt);
    EXPECT_EQ(systemSoundName(AlarmSound::none), std::nullopt);
}

TEST(BackgroundTint, ComponentsAreClampedAndNeedExactlyThree) {
    const auto tint = [](std::vector<double> components) { return BackgroundTint(components); };
    EXPECT_EQ(tint({1.4, -0.2, 0.5}), BackgroundTint(1.0, 0.0, 0.5));
    EXPECT_EQ(tint({0.1, 0.2, 0.3, 0.4}), BackgroundTint());
    // NaN is no component: it must not survive into drawing code.
    EXPECT_EQ(tint({std::numeric_limits<double>::quiet_NaN(), 0.5, 0.5}), BackgroundTint(0.0, 0.5, 0.5));

    const QColor wide = QColor::fromRgbF(1.5f, -0.5f, 0.5f);
    ASSERT_EQ(wide.spec(), QColor::ExtendedRgb);
    EXPECT_EQ(BackgroundTint::fromColor(wide), BackgroundTint(1.0, 0.0, 0.5));
    EXPECT_EQ(BackgroundTint::fromColor(QColor()), BackgroundTint());
}
