#include "control-center/PageFactory.h"
#include "kit/HazardBadge.h"
#include "kit/SettingsCard.h"
#include "kit/VantrelButton.h"
#include "kit/VantrelHelpButton.h"
#include "kit/VantrelIcon.h"
#include "kit/VantrelLabel.h"
#include "kit/VantrelMenuPicker.h"
#include "kit/VantrelSegmentedControl.h"
#include "kit/VantrelSwitch.h"
#include "notch/NotchPanelController.h"
#include "settings/NotchSettingsPage.h"
#include "settings/NotchSettingsPreview.h"
#include "settings/PageDivider.h"
#include "support/ControlCenterHarness.h"
#include "support/VisibleTexts.h"

#include <QEnterEvent>
#include <QMouseEvent>
#include <QVariantAnimation>
#include <gtest/gtest.h>

using namespace vantrel;
using namespace vantrel::test;

namespace {

const QString kTick = QStringLiteral("haptic generic");

class NotchPageTest : public ::testing::Test {
protected:
    explicit NotchPageTest(std::function<void(ControlCenterHarness&)> before = {}) {
        if (before) before(c);
        page = static_cast<NotchSettingsPage*>(PageFactory(c.context()).makePage(VantrelSection::notch));
        page->resize(1000, 1300);
        page->show();
    }
    ~NotchPageTest() override { delete page; }

    // The calls since `mark`, without the alert dot's own bookkeeping.
    QStringList since(qsizetype mark) const {
        QStringList calls = c.callsSince(mark);
        calls.removeIf([](const QString& call) { return call.startsWith(QStringLiteral("indicator.")); });
        return calls;
    }
    void setNotch(bool present) {
        const ScreenInfo screen =
            present ? notchedScreen(1, QRect(0, 0, 1512, 982), 185) : plainScreen(1, QRect(0, 0, 1512, 982));
        c.h.screens.set({screen}, screen);
        c.h.displays.refreshActiveDisplay();
    }
    void hover(bool inside) {
        if (inside) {
            QEnterEvent enter(QPointF(10, 10), QPointF(10, 10), QPointF(10, 10));
            QCoreApplication::sendEvent(page->preview(), &enter);
        } else {
            QEvent leave(QEvent::Leave);
            QCoreApplication::sendEvent(page->preview(), &leave);
        }
    }
    void tap() {
        QMouseEvent release(QEvent::MouseButtonRelease, QPointF(40, 40), QPointF(40, 40), Qt::LeftButton,
                            Qt::NoButton, Qt::NoModifier);
        QCoreApplication::sendEvent(page->preview(), &release);
    }

    ControlCenterHarness c;
    NotchSettingsPage* page = nullptr;
};

struct StoredManualCollapse : NotchPageTest {
    StoredManualCollapse()
        : NotchPageTest([](ControlCenterHarness& c) {
              c.h.preferences.setNotchCollapseBehavior(NotchCollapseBehavior::manual);
          }) {}
};

} // namespace

TEST_F(NotchPageTest, TheTitleCardsAndTexts) {
    EXPECT_EQ(page->title(), QStringLiteral("Notch Panel"));
    ASSERT_NE(page->notchCard()->helpButton(), nullptr);
    EXPECT_EQ(page->notchCard()->helpButton()->helpText(),
              QStringLiteral("Vantrel only renders the real notch overlay on a built-in MacBook display that "
                             "reports physical notch geometry. It is hidden on ordinary external monitors."));
    ASSERT_NE(page->behaviorCard()->helpButton(), nullptr);
    EXPECT_EQ(
        page->behaviorCard()->helpButton()->helpText(),
        QStringLiteral("Opening controls how quickly the physical notch reacts. Size and material change "
                       "the expanded workspace while keeping the shell stable between feature pages."));
    EXPECT_EQ(page->maxWidth(), 940);
    EXPECT_EQ(page->notchCard()->title(), QStringLiteral("Notch"));
    EXPECT_EQ(page->behaviorCard()->title(), QStringLiteral("Behavior and expanded view"));
    const QStringList texts = visibleTexts(*page);
    for (const char* text : {"Use Notch Panel", "Built-in notched MacBook displays only",
                             "Open when the pointer enters", "The physical notch becomes the target",
                             "Responsiveness", "How deliberately the pointer must enter the notch",
                             "Keep open briefly", "Adds a short grace period when the pointer leaves", "Size",
                             "The workspace width and breathing room", "Material",
                             "Geometry stays identical; only the finish changes", "Preview real notch"})
        EXPECT_TRUE(texts.contains(QString::fromUtf8(text))) << text;
    EXPECT_EQ(
        page->responsivenessPicker()->options(),
        (QStringList{QStringLiteral("Instant"), QStringLiteral("Balanced"), QStringLiteral("Careful")}));

    // Scripts and the sheets find the controls by these names.
    const std::pair<const char*, QWidget*> named[] = {
        {"notchEnabled", page->enabledSwitch()},
        {"noNotchNotice", page->notice()},
        {"notchPreview", page->preview()},
        {"notchAutoExpand", page->autoExpandSwitch()},
        {"responsivenessRow", page->responsivenessRow()},
        {"notchResponsiveness", page->responsivenessPicker()},
        {"keepOpenBriefly", page->keepOpenSwitch()},
        {"notchSize", page->sizePicker()},
        {"notchAppearance", page->materialPicker()},
        {"previewRealNotch", page->previewButton()},
    };
    for (const auto& [name, widget] : named)
        EXPECT_EQ(page->findChild<QWidget*>(QString::fromUtf8(name)), widget) << name;
    // The responsiveness row is the whole row (title, caption and picker), the part that greys out.
    EXPECT_EQ(page->responsivenessPicker()->parentWidget(), page->responsivenessRow());
    EXPECT_EQ(page->sizePicker()->options(),
              (QStringList{QStringLiteral("Small"), QStringLiteral("Medium"), QStringLiteral("Large")}));
    EXPECT_EQ(page->materialPicker()->options(),
              (QStringList{QStringLiteral("Midnight"), QStringLiteral("Mirror Glass")}));
    EXPECT_EQ(page->materialPicker()->currentIndex(), 1) << "crystal by default";
    EXPECT_EQ(page->responsivenessPicker()->width(), 146);
    EXPECT_EQ(page->sizePicker()->width(), 232);
    EXPECT_EQ(page->materialPicker()->width(), 154);
}

TEST_F(NotchPageTest, TheCardsRowsKeepTheirSpacingsAndTheirControlsAtTheTrailingEdge) {
    setNotch(false);
    QCoreApplication::processEvents();
    // Each titled row: the title over its wrapping caption, 2 apart; the control at the row's
    // trailing edge, 24 from the texts; nothing around.
    for (QWidget* control :
         {static_cast<QWidget*>(page->responsivenessPicker()), static_cast<QWidget*>(page->keepOpenSwitch()),
          static_cast<QWidget*>(page->sizePicker()), static_cast<QWidget*>(page->materialPicker())}) {
        const std::string name = control->objectName().toStdString();
        QWidget* row = control->parentWidget();
        const QList<VantrelLabel*> labels = row->findChildren<VantrelLabel*>(Qt::FindDirectChildrenOnly);
        ASSERT_EQ(labels.size(), 2) << name;
        const VantrelLabel* title = labels[0];
        const VantrelLabel* caption = labels[1];
        EXPECT_EQ(control->accessibleName(), title->text()) << name;
        EXPECT_TRUE(caption->wordWrap()) << name;
        EXPECT_EQ(title->x(), 0) << name;
        EXPECT_EQ(caption->y(), title->geometry().bottom() + 1 + 2) << name;
        EXPECT_EQ(control->geometry().right(), row->width() - 1) << name;
        EXPECT_EQ(control->x(), caption->geometry().right() + 1 + 24) << name;
        EXPECT_EQ(row->childrenRect(), row->rect()) << name;
    }

    // The master row: the 40-point icon, 14 before the texts (3 apart), the switch at the end;
    // the notice right under it.
    QWidget* content = page->enabledSwitch()->parentWidget();
    auto* icon = content->findChild<VantrelIcon*>();
    ASSERT_NE(icon, nullptr);
    EXPECT_EQ(icon->size(), QSize(40, 40));
    EXPECT_EQ(icon->pos(), QPoint(0, 0));
    EXPECT_TRUE(icon->followsAccent());
    EXPECT_EQ(icon->systemName(), QStringLiteral("capsule.tophalf.filled"));
    VantrelLabel* use = nullptr;
    VantrelLabel* only = nullptr;
    for (VantrelLabel* label : content->findChildren<VantrelLabel*>(Qt::FindDirectChildrenOnly)) {
        if (label->text() == QStringLiteral("Use Notch Panel")) use = label;
        if (label->text() == QStringLiteral("Built-in notched MacBook displays only")) only = label;
    }
    ASSERT_NE(use, nullptr);
    ASSERT_NE(only, nullptr);
    EXPECT_EQ(use->x(), 40 + 14);
    EXPECT_EQ(only->y(), use->geometry().bottom() + 1 + 3);
    EXPECT_EQ(page->enabledSwitch()->geometry().right(), content->width() - 1);
    QWidget* notice = page->notice();
    ASSERT_TRUE(notice->isVisible());
    EXPECT_EQ(notice->y(), 40) << "no spacing under the master row";
    EXPECT_EQ(notice->width(), content->width());
    EXPECT_EQ(content->childrenRect(), content->rect());
    auto* noticeDivider = notice->findChild<PageDivider*>();
    ASSERT_NE(noticeDivider, nullptr);
    EXPECT_DOUBLE_EQ(noticeDivider->opacity(), 0.24);
    EXPECT_EQ(noticeDivider->geometry(), QRect(0, 0, notice->width(), 25));
    auto* badge = notice->findChild<HazardBadge*>();
    ASSERT_NE(badge, nullptr);
    EXPECT_EQ(badge->text(), QStringLiteral("No physical notch on the active display"));
    EXPECT_EQ(badge->x(), 0);
    EXPECT_GE(badge->y(), 25);
    VantrelLabel* stays = nullptr;
    for (VantrelLabel* label : notice->findChildren<VantrelLabel*>(Qt::FindDirectChildrenOnly))
        if (label->text() == QStringLiteral("The overlay stays hidden on this display.")) stays = label;
    ASSERT_NE(stays, nullptr);
    EXPECT_EQ(stays->geometry().right(), notice->width() - 1);
    EXPECT_EQ(stays->width(), stays->sizeHint().width()) << "the text itself at the trailing edge";
    EXPECT_EQ(std::min(badge->y(), stays->y()), 25) << "the row right under the divider";
    EXPECT_EQ(notice->childrenRect().bottom(), notice->height() - 1);

    // The behaviour card: its items 16 apart, the two dividers at 0.24 without padding, the
    // preview button at the trailing edge.
    QWidget* stack = page->responsivenessRow()->parentWidget();
    QList<QWidget*> items;
    for (QObject* child : stack->children())
        if (auto* widget = qobject_cast<QWidget*>(child)) items.append(widget);
    ASSERT_EQ(items.size(), 8);
    for (int i = 1; i < items.size(); ++i)
        EXPECT_EQ(items[i]->y(), items[i - 1]->geometry().bottom() + 1 + 16) << i;
    for (int i : {1, 4}) {
        auto* divider = qobject_cast<PageDivider*>(items[i]);
        ASSERT_NE(divider, nullptr) << i;
        EXPECT_DOUBLE_EQ(divider->opacity(), 0.24);
        EXPECT_EQ(divider->height(), 1);
    }
    QWidget* buttonRow = page->previewButton()->parentWidget();
    EXPECT_EQ(buttonRow, items[7]);
    EXPECT_EQ(page->previewButton()->geometry().right(), buttonRow->width() - 1);
    EXPECT_EQ(page->previewButton()->y(), 0);
    EXPECT_EQ(page->previewButton()->height(), buttonRow->height());
}

TEST_F(NotchPageTest, EachControlWritesWithItsOwnTicksAndCalls) {
    qsizetype mark = c.mark();
    page->enabledSwitch()->click();
    EXPECT_EQ(since(mark), (QStringList{kTick, QStringLiteral("set notch.enabled false"),
                                        QStringLiteral("applyPreferences")}));

    mark = c.mark();
    page->autoExpandSwitch()->click();
    EXPECT_EQ(since(mark), (QStringList{kTick, QStringLiteral("set notch.autoExpand false")}));

    // The panel is on screen, as it is while the notch is on.
    c.notch.show();
    mark = c.mark();
    page->sizePicker()->segment(2)->click();
    EXPECT_EQ(since(mark), (QStringList{kTick, QStringLiteral("set notch.size large"),
                                        QStringLiteral("notch.reposition animated")}))
        << "one tick, from the binding";
    ASSERT_TRUE(c.notch.lastLayout().has_value());
    EXPECT_EQ(c.notch.lastLayout()->expandedFrame.width(), 920) << "the running panel takes the new size";

    mark = c.mark();
    page->materialPicker()->click();
    ASSERT_TRUE(c.views.menus.choose(0));
    EXPECT_EQ(since(mark), (QStringList{QStringLiteral("set notch.appearance midnight"), kTick}));

    c.h.preferences.setNotchAutoExpand(true);
    mark = c.mark();
    page->responsivenessPicker()->click();
    ASSERT_TRUE(c.views.menus.choose(2));
    EXPECT_EQ(since(mark), (QStringList{QStringLiteral("set notch.responsiveness careful"), kTick}));

    c.h.preferences.setNotchEnabled(true);
    mark = c.mark();
    page->previewButton()->click();
    EXPECT_EQ(since(mark), (QStringList{kTick, QStringLiteral("showNotch home focus")}));
}

TEST_F(StoredManualCollapse, KeepOpenBrieflyReadsManualAsOnAndNeverWritesIt) {
    EXPECT_TRUE(page->keepOpenSwitch()->isChecked());
    qsizetype mark = c.mark();
    page->keepOpenSwitch()->click();
    EXPECT_EQ(since(mark), (QStringList{kTick, QStringLiteral("set notch.collapseBehavior immediate")}));
    EXPECT_FALSE(page->keepOpenSwitch()->isChecked());
    mark = c.mark();
    page->keepOpenSwitch()->click();
    EXPECT_EQ(since(mark), (QStringList{kTick, QStringLiteral("set notch.collapseBehavior shortDelay")}));
}

TEST_F(NotchPageTest, ResponsivenessIsDisabledWithoutAutoExpandAndKeepsItsValue) {
    c.h.preferences.setNotchResponsiveness(NotchResponsiveness::balanced);
    EXPECT_TRUE(page->responsivenessRow()->isEnabled());
    page->autoExpandSwitch()->click();
    EXPECT_FALSE(page->responsivenessRow()->isEnabled());
    EXPECT_FALSE(page->responsivenessPicker()->isEnabled());
    EXPECT_EQ(c.h.preferences.notchResponsiveness(), NotchResponsiveness::balanced);
    // Hovering then only moves the hover flag.
    hover(true);
    hover(false);
    EXPECT_EQ(page->previewState(), (NotchPreviewState{true, false}));
    hover(true);
    EXPECT_EQ(page->previewState(), (NotchPreviewState{true, true}));
    page->autoExpandSwitch()->click();
    EXPECT_TRUE(page->responsivenessRow()->isEnabled());
}

TEST_F(NotchPageTest, PreviewRealNotchNeedsANotchAndTheSwitchOn) {
    ASSERT_TRUE(c.notch.hasPhysicalNotch());
    EXPECT_TRUE(page->previewButton()->isEnabled());
    EXPECT_TRUE(page->notice()->isHidden());
    c.h.preferences.setNotchEnabled(false);
    EXPECT_FALSE(page->previewButton()->isEnabled()) << "off, even on a notched display";
    setNotch(false);
    ASSERT_FALSE(c.notch.hasPhysicalNotch());
    EXPECT_FALSE(page->previewButton()->isEnabled());
    EXPECT_FALSE(page->notice()->isHidden());
    EXPECT_TRUE(visibleTexts(*page).contains(QStringLiteral("The overlay stays hidden on this display.")));
    c.h.preferences.setNotchEnabled(true);
    EXPECT_FALSE(page->previewButton()->isEnabled()) << "no notch";
    // The other controls stay usable.
    EXPECT_TRUE(page->sizePicker()->isEnabled());
    setNotch(true);
    EXPECT_TRUE(page->previewButton()->isEnabled());
    EXPECT_TRUE(page->notice()->isHidden());
}

TEST_F(NotchPageTest, ThePreviewOpensOnHoverAndTapAndAnySettingsChangeRevealsIt) {
    EXPECT_EQ(page->previewState(), (NotchPreviewState{true, false}));
    hover(true);
    hover(false);
    EXPECT_EQ(page->previewState(), (NotchPreviewState{false, false}));
    QVariantAnimation* animation = page->previewAnimation();
    ASSERT_EQ(animation->state(), QAbstractAnimation::Running);
    EXPECT_EQ(animation->duration(), 250);
    animation->setCurrentTime(animation->duration());
    EXPECT_EQ(page->preview()->expansion(), 0);
    EXPECT_FALSE(page->preview()->isExpanded());

    hover(true);
    EXPECT_EQ(page->previewState(), (NotchPreviewState{true, true}));
    animation->setCurrentTime(60);
    EXPECT_GT(page->preview()->expansion(), 0.3) << "the curve leaves fast";
    animation->setCurrentTime(animation->duration());
    EXPECT_EQ(page->preview()->expansion(), 1);
    tap();
    EXPECT_EQ(page->previewState(), (NotchPreviewState{false, true}));
    EXPECT_GT(page->preview()->capsuleWidth(), 0) << "collapsed and hovered";
    tap();
    EXPECT_EQ(page->previewState(), (NotchPreviewState{true, true}));

    tap();
    c.h.preferences.setThemeColorAmount(0.3);
    EXPECT_TRUE(page->previewState().expanded) << "a change elsewhere reveals the preview";

    c.setReduceMotion(true);
    tap();
    EXPECT_EQ(animation->duration(), 120);
}

TEST_F(NotchPageTest, TheDisabledResponsivenessRowLooksDisabled) {
    QWidget* row = page->responsivenessRow();
    // The strongest coverage of the row's title and of its picker, drawn on a clear image.
    const auto strongest = [row](QWidget* part) {
        QImage image(row->size(), QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        row->render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
        const QRect area(part->mapTo(row, QPoint()), part->size());
        int most = 0;
        for (int y = area.top(); y <= area.bottom(); ++y)
            for (int x = area.left(); x <= area.right(); ++x)
                most = std::max(most, qAlpha(image.pixel(x, y)));
        return most;
    };
    VantrelLabel* title = nullptr;
    for (VantrelLabel* label : row->findChildren<VantrelLabel*>())
        if (label->text() == "Responsiveness") title = label;
    ASSERT_NE(title, nullptr);
    QCoreApplication::sendPostedEvents();
    ASSERT_GT(row->height(), 0);
    const int titleOn = strongest(title), pickerOn = strongest(page->responsivenessPicker());
    page->autoExpandSwitch()->click();
    ASSERT_FALSE(row->isEnabled());
    const int titleOff = strongest(title), pickerOff = strongest(page->responsivenessPicker());
    EXPECT_GT(titleOn, 200);
    EXPECT_GT(pickerOn, 200);
    // Faded to the kit's 0.45.
    EXPECT_NEAR(titleOff, titleOn * 0.45, 4);
    EXPECT_NEAR(pickerOff, pickerOn * 0.45, 4);
}
