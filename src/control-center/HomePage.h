#pragma once

#include "control-center/HomePageContext.h"
#include "control-center/HomeUtility.h"
#include "control-center/HomeWorkspace.h"
#include "core/PermissionCenter.h"
#include "kit/VantrelPage.h"

#include <QDate>
#include <QLocale>
#include <QPointer>
#include <array>
#include <optional>

class QAbstractButton;
class QLabel;
class QShortcut;
class QVariantAnimation;

namespace vantrel {

class HomeActions;
class HomeUtilityPanel;
class SettingsCard;
class VantrelButton;

// The first page of the control center: the date with three live metrics and the command
// palette's button, the launchers of the other sections, the clean-keyboard card, the live
// column and the attention card, the workspace, and over all of it, while one is presented, the
// quick-controls panel behind a dimming backdrop. It owns no data: every value is read from the
// stores whenever one of them publishes a change. Its own state is the workspace's mode and the
// presented utility.
class HomePage final : public VantrelPage {
    Q_OBJECT
public:
    using WorkspaceMode = HomeWorkspace::Mode;

    static constexpr double kMaxWidth = 1220;
    static constexpr double kOverviewWideWidth = 820;
    static constexpr double kLaunchersWidth = 232;
    static constexpr double kLiveWidth = 248;
    static constexpr double kColumnSpacing = 16;
    static constexpr double kBackdropOpacity = 0.52;
    static constexpr double kPanelScale = 0.985;

    explicit HomePage(const HomePageContext& context, QWidget* parent = nullptr);
    ~HomePage() override;

    HomeActions& actions() const { return *actions_; }
    const std::optional<HomeUtility>& presentedUtility() const;
    WorkspaceMode workspaceMode() const;

    // Derived values.
    static int missingPermissionCount(PermissionState accessibility, PermissionState inputMonitoring,
                                      PermissionState camera, PermissionState calendar);
    int missingPermissionCount() const;
    // The focus timer's time while it runs, else "Ready".
    static QString timerValue(bool running, const QString& timeText);
    static QString attentionSubtitle(int missing);
    // Whether the launcher of `section` shows its dot in the accent.
    bool isLauncherLit(VantrelSection section) const;
    // The overview's date: weekday, month and day written out in `locale`; and the same date in
    // the locale's complete style, for assistive technologies.
    static QString overviewDate(const QDate& date, const QLocale& locale);
    static QString overviewDateAccessible(const QDate& date, const QLocale& locale);
    // The arrangements chosen for the widths offered: the overview strip's content and the body.
    static bool isOverviewWide(double width) { return width >= kOverviewWideWidth; }
    bool isBodyWide(double width) const { return width >= wideBodyWidth(); }
    // The width the three columns side by side ask for.
    double wideBodyWidth() const;

    // The pieces, for tests and the benchmark.
    QWidget* overviewContent() const { return overview_; }
    QWidget* body() const { return body_; }
    QAbstractButton* metricButton(HomeUtility utility) const { return metrics_.at(std::size_t(utility)); }
    QAbstractButton* liveRow(HomeUtility utility) const { return liveRows_.at(std::size_t(utility)); }
    QAbstractButton* launcher(int index) const { return launchers_.at(std::size_t(index)); }
    VantrelButton* quickActionsButton() const { return quickActions_; }
    VantrelButton* cleaningButton() const { return cleaning_; }
    QAbstractButton* accessibilityBadge() const { return badge_; }
    SettingsCard* attentionCard() const { return attention_; }
    QWidget* attentionIssues() const { return attentionIssues_; }
    QWidget* attentionReady() const { return attentionReady_; }
    HomeWorkspace* workspace() const { return workspace_; }
    // The dimming layer over the window while a utility is presented (and while it fades out).
    QWidget* utilityLayer() const { return layer_; }
    HomeUtilityPanel* panel() const;
    QVariantAnimation* presentation() const;
    QShortcut* cancelShortcut() const { return cancel_; }

    // Refreshes every value from the stores; called on each published change.
    void refresh();

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    QWidget* buildOverview();
    QWidget* buildLaunchers();
    QWidget* buildLive();
    void presentedChanged();

    HomePageContext context_;
    HomeActions* actions_;
    QWidget* overview_ = nullptr;
    QWidget* body_ = nullptr;
    QLabel* date_ = nullptr;
    std::array<QAbstractButton*, 3> metrics_{};
    std::array<QAbstractButton*, 3> liveRows_{};
    std::array<QAbstractButton*, 6> launchers_{};
    VantrelButton* quickActions_ = nullptr;
    VantrelButton* cleaning_ = nullptr;
    QAbstractButton* badge_ = nullptr;
    SettingsCard* attention_ = nullptr;
    QWidget* attentionIssues_ = nullptr;
    QWidget* attentionReady_ = nullptr;
    HomeWorkspace* workspace_ = nullptr;
    QPointer<QWidget> layer_;
    // The control whose click presents a utility, until the panel takes it as its opener.
    QPointer<QWidget> opener_;
    QShortcut* cancel_ = nullptr;
};

} // namespace vantrel
