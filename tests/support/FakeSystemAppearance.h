#pragma once

#include "platform/SystemAppearance.h"

namespace vantrel::test {

// The desktop's appearance as a test sets it. Every `set...` that changes a value announces it
// once, as the desktop does; `announcements()` counts what was announced.
class FakeSystemAppearance final : public SystemAppearance {
    Q_OBJECT
public:
    explicit FakeSystemAppearance(ColorScheme scheme = ColorScheme::dark) : scheme_(scheme) {}

    ColorScheme colorScheme() const override { return scheme_; }
    bool increasedContrast() const override { return increasedContrast_; }
    bool reduceMotion() const override { return reduceMotion_; }
    bool reduceTransparency() const override { return reduceTransparency_; }

    void setColorScheme(ColorScheme scheme) { update(scheme_, scheme); }
    void setIncreasedContrast(bool on) { update(increasedContrast_, on); }
    void setReduceMotion(bool on) { update(reduceMotion_, on); }
    void setReduceTransparency(bool on) { update(reduceTransparency_, on); }
    int announcements() const { return announcements_; }

private:
    template <typename T> void update(T& field, T value) {
        if (field == value) return;
        field = value;
        ++announcements_;
        Q_EMIT changed();
    }

    ColorScheme scheme_;
    bool increasedContrast_ = false;
    bool reduceMotion_ = false;
    bool reduceTransparency_ = false;
    int announcements_ = 0;
};

} // namespace vantrel::test
