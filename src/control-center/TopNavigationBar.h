#pragma once

#include "control-center/ControlCenterContext.h"
#include "control-center/ControlCenterLayoutPolicy.h"
#include "kit/Navigation.h"

#include <QPointer>
#include <QWidget>
#include <array>

class QLabel;
class QScrollArea;
class QVariantAnimation;

namespace vantrel {

class VantrelButton;
class VantrelMark;
class VantrelNavigationButton;
class VantrelShadow;

// How the bar is filled and outlined for the desktop's contrast and transparency wishes.
struct NavigationBarLook {
    double fillOpacity;    // 1 with reduce transparency, else 0.98 with increased contrast, 0.94 without
    double outlineOpacity; // 1 with increased contrast, else 0.76
    double outlineWidth;   // 1.4 with increased contrast, else 0.75
    static NavigationBarLook make(bool reduceTransparency, bool increasedContrast);
    bool operator==(const NavigationBarLook&) const = default;
};

// Where the bar's pieces go inside the bar.
struct NavigationBarLayout {
    QRectF mark;
    QRectF wordmark; // empty when the wordmark is not shown
    QRectF strip;
    QRectF pill;
    static constexpr double kHeight = 78;
    static constexpr double kMaximumWidth = 1320;
    static constexpr double kMarkSize = 30;
    static constexpr double kSpacing = 9;
    static constexpr double kStripMaximumWidth = 820;
    static NavigationBarLayout make(const QSizeF& bar,
                                    const ControlCenterLayoutPolicy::NavigationMetrics& metrics,
                                    const QSizeF& wordmark, const QSizeF& pill);
};

// The floating bar across the top of the control center: the brand, a scrolling strip of section
// buttons whose selection lens slides to the chosen section, and the pill that opens the command
// palette. Choosing a section plays the controls haptic and then writes the selected section.
class TopNavigationBar final : public QWidget {
    Q_OBJECT
public:
    // The sections the strip offers, in order; automations is not among them.
    static const std::array<VantrelSection, 8>& sections();

    explicit TopNavigationBar(const ControlCenterContext& context, QWidget* parent = nullptr);

    void setMetrics(const ControlCenterLayoutPolicy::NavigationMetrics& metrics);
    const ControlCenterLayoutPolicy::NavigationMetrics& metrics() const { return metrics_; }
    NavigationBarLook look() const;
    NavigationBarLayout barLayout() const;

    VantrelNavigationButton* button(VantrelSection section) const;
    VantrelMark* mark() const { return mark_; }
    QWidget* wordmark() const { return wordmark_; }
    VantrelButton* pill() const { return pill_; }
    QScrollArea* strip() const { return strip_; }
    // The lens behind the selected button, in the strip's content coordinates; empty when no
    // offered section is selected.
    QRectF lensRect() const { return lens_; }
    QVariantAnimation* lensAnimation() const { return lensAnimation_; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void layoutChildren();
    void selectionChanged();
    void scrollToSelection();
    void refreshAccent();
    void refreshAppearance();
    QRectF targetLens() const;

    ControlCenterContext context_;
    ControlCenterLayoutPolicy::NavigationMetrics metrics_;
    VantrelMark* mark_;
    QWidget* wordmark_;
    QLabel* wordmarkTitle_;
    QLabel* wordmarkSubtitle_;
    QScrollArea* strip_;
    QWidget* row_;
    std::array<VantrelNavigationButton*, 8> buttons_{};
    VantrelButton* pill_;
    QPointer<VantrelShadow> shadow_;
    QRectF lens_;
    QVariantAnimation* lensAnimation_;
};

} // namespace vantrel
