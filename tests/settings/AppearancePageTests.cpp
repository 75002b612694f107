#include "control-center/PageFactory.h"
#include "core/PermissionCenter.h"
#include "kit/AlignedSettingRow.h"
#include "kit/FeatureRow.h"
#include "kit/KitRender.h"
#include "kit/SettingsCard.h"
#include "kit/VantrelButton.h"
#include "kit/VantrelHelpButton.h"
#include "kit/VantrelIcon.h"
#include "kit/VantrelLabel.h"
#include "kit/VantrelMotion.h"
#include "kit/VantrelSegmentedControl.h"
#include "kit/VantrelSliderRow.h"
#include "kit/VantrelSwitch.h"
#include "kit/VantrelTheme.h"
#include "kit/VantrelType.h"
#include "platform/linux/XdgAutostartLoginItems.h"
#include "settings/AppearancePage.h"
#include "settings/PageDivider.h"
#include "settings/ThemeGallery.h"
#include "settings/TintEditor.h"
#include "settings/TintEditorModel.h"
#include "support/ControlCenterHarness.h"
#include "support/QtPrinters.h"
#include "support/VisibleTexts.h"

#include <QDir>
#include <QFileInfo>
#include <QLayout>
#include <QSlider>
#include <QTest>
#include <QVariantAnimation>
#include <gtest/gtest.h>

using namespace vantrel;
using namespace vantrel::test;

namespace {

const QString kTick = QStringLiteral("haptic generic");

class AppearancePageTest : public ::testing::Test {
protected:
    AppearancePageTest() {
        page = static_cast<AppearancePage*>(PageFactory(c.context()).makePage(VantrelSection::appearance));
        page->resize(1000, 1200);
        page->show();
    }
    ~AppearancePageTest() override { delete page; }

    QStringList since(qsizetype mark) const { return c.callsSince(mark); }
    // What one turn of the event loop does for the layouts: rows that gained or lost a control
    // take their new size.
    static void settleLayouts() {
        for (int pass = 0; pass < 4; ++pass)
            QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
    }
    static QColor rgb(double r, double g, double b) { return QColor::fromRgbF(float(r), float(g), float(b)); }

    ControlCenterHarness c;
    AppearancePage* page = nullptr;
};

} // namespace

TEST_F(AppearancePageTest, TheThreeCardsInOrderUnderTheTitle) {
    EXPECT_EQ(page->title(), QStringLiteral("Appearance"));
    EXPECT_EQ(page->maxWidth(), 1020);
    EXPECT_EQ(page->objectName(), QStringLiteral("appearance"));
    EXPECT_EQ(page->modeCard()->title(), QStringLiteral("Light and dark"));
    EXPECT_EQ(page->themeCard()->title(), QStringLiteral("Theme"));
    EXPECT_EQ(page->startupCard()->title(), QStringLiteral("Startup"));
    EXPECT_EQ(page->modePicker()->options(), (QStringList{QStringLiteral("Follow System"),
                                                          QStringLiteral("Dark"), QStringLiteral("Light")}));
    EXPECT_EQ(
        page->scopePicker()->options(),
        (QStringList{QStringLiteral("All"), QStringLiteral("Notch only"), QStringLiteral("Settings only")}));
    EXPECT_LE(page->modePicker()->width(), 520);
    EXPECT_EQ(page->modePicker()->selectedIndex(), 1) << "dark by default";
}

TEST_F(AppearancePageTest, EveryCardsTextsAndTheThemeCardsRowsInOrder) {
    EXPECT_EQ(page->modeCard()->subtitleLabel()->text(),
              QStringLiteral("A composed design in either appearance"));
    ASSERT_NE(page->modeCard()->helpButton(), nullptr);
    EXPECT_EQ(page->modeCard()->helpButton()->helpText(),
              QStringLiteral("Follow System changes with macOS. The light artwork is designed separately "
                             "instead of being an inverted dark image."));
    EXPECT_EQ(page->themeCard()->subtitleLabel()->text(), QStringLiteral("The centered theme is active"));
    ASSERT_NE(page->themeCard()->helpButton(), nullptr);
    EXPECT_EQ(
        page->themeCard()->helpButton()->helpText(),
        QStringLiteral("Neutral is Vantrel\u2019s default graphite surface. The other four are original "
                       "Vantrel backgrounds with separate light and dark artwork. Midnight Current and "
                       "Canyon Alloy use a very slow refraction unless Reduce Motion is enabled."));
    EXPECT_EQ(page->startupCard()->subtitleLabel()->text(), QStringLiteral("Start Vantrel when you sign in"));
    EXPECT_EQ(page->startupCard()->helpButton(), nullptr);
    EXPECT_EQ(page->modePicker()->accessibleName(), QStringLiteral("Appearance"));
    EXPECT_EQ(page->scopePicker()->accessibleName(), QStringLiteral("Use theme on"));
    EXPECT_EQ(page->strength()->slider()->accessibleName(), QStringLiteral("Color strength"));

    const QStringList texts = visibleTexts(*page);
    for (const char* text : {"Animated themes automatically become static when Reduce Motion is enabled.",
                             "Launch at login", "Available after Vantrel is installed in Applications"})
        EXPECT_TRUE(texts.contains(QString::fromUtf8(text))) << text;
    auto* launchRow = qobject_cast<FeatureRow*>(page->launchAtLogin()->parentWidget());
    ASSERT_NE(launchRow, nullptr);
    EXPECT_EQ(launchRow->icon()->systemName(), QStringLiteral("power"));
    EXPECT_EQ(launchRow->titleLabel()->text(), QStringLiteral("Launch at login"));

    // Scripts and the sheets find the controls by these names.
    EXPECT_EQ(page->findChild<QWidget*>(QStringLiteral("appearanceMode")), page->modePicker());
    EXPECT_EQ(page->findChild<QWidget*>(QStringLiteral("themeScope")), page->scopePicker());
    EXPECT_EQ(page->findChild<QWidget*>(QStringLiteral("backgroundHue")), page->backgroundEditor());
    EXPECT_EQ(page->findChild<QWidget*>(QStringLiteral("iconColor")), page->iconEditor());
    EXPECT_EQ(page->findChild<QWidget*>(QStringLiteral("colorStrength")), page->strength());
    EXPECT_EQ(page->findChild<QWidget*>(QStringLiteral("launchAtLogin")), page->launchAtLogin());
    EXPECT_EQ(page->findChild<QWidget*>(QStringLiteral("themeHero")), page->gallery()->hero());
    EXPECT_EQ(page->findChild<QWidget*>(QStringLiteral("themeChip glacialVeil")),
              page->gallery()->chip(ArtTheme::glacialVeil));

    // Four aligned rows with a 130-point title column and a 430-point control column.
    const QList<AlignedSettingRow*> rows = page->themeCard()->findChildren<AlignedSettingRow*>();
    ASSERT_EQ(rows.size(), 4);
    const QStringList titles{QStringLiteral("Use theme on"), QStringLiteral("Background hue"),
                             QStringLiteral("Color strength"), QStringLiteral("Icon color")};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(rows[i]->title(), titles[i]);
        const AlignedSettingRowLayout layout = rows[i]->layoutFor(800);
        EXPECT_TRUE(layout.wide);
        EXPECT_EQ(layout.label.width(), 130) << titles[i].toStdString();
        EXPECT_LE(layout.control.width(), 430) << titles[i].toStdString();
    }
    EXPECT_EQ(rows[0]->layoutFor(800).control.width(), 430) << "the scope picker takes its whole column";
    EXPECT_EQ(rows[1]->control(), page->backgroundEditor());
    EXPECT_EQ(rows[2]->control(), page->strength());
    EXPECT_EQ(rows[3]->control(), page->iconEditor());
}

TEST_F(AppearancePageTest, TheThemeCardsMeasuresFromTheGalleryToTheFootnote) {
    QCoreApplication::processEvents();
    const auto frameIn = [](const QWidget* widget, const QWidget* ancestor) {
        return QRect(widget->mapTo(ancestor, QPoint(0, 0)), widget->size());
    };
    // The mode picker: at most 520 wide, centred in a frame of any width.
    QWidget* modeFrame = page->modePicker()->parentWidget();
    EXPECT_EQ(page->modePicker()->width(), 520);
    EXPECT_GT(modeFrame->width(), 600);
    EXPECT_LE(std::abs(2 * page->modePicker()->x() + 520 - modeFrame->width()), 1) << "centred";
    EXPECT_EQ(page->modePicker()->y(), 0);
    EXPECT_EQ(page->modePicker()->height(), modeFrame->height()) << "no padding of its own";

    // The gallery: the hero on top, the chips 18 below it and 8 apart, centred as a row.
    ThemeGallery& gallery = *page->gallery();
    const QRect hero = frameIn(gallery.hero(), &gallery);
    EXPECT_EQ(hero.top(), 0);
    EXPECT_LE(std::abs(hero.center().x() * 2 - gallery.width()), 2);
    const auto chips = allCasesOf<ArtTheme>();
    QRect previous;
    for (const ArtTheme theme : chips) {
        const QRect chip = frameIn(gallery.chip(theme), &gallery);
        EXPECT_EQ(chip.top(), hero.bottom() + 1 + 18) << rawValue(theme).toStdString();
        if (!previous.isNull()) {
            EXPECT_EQ(chip.left(), previous.right() + 1 + 8) << rawValue(theme).toStdString();
        }
        previous = chip;
    }
    const int leftGap = frameIn(gallery.chip(ArtTheme::neutral), &gallery).left();
    const int rightGap = gallery.width() - 1 - previous.right();
    EXPECT_LE(std::abs(leftGap - rightGap), 1) << "the row of chips is centred";
    EXPECT_EQ(gallery.height(), previous.bottom() + 1);

    // Under the gallery the divider at 0.26 with 14 above and below; then the rows 16 apart and
    // the footnote, wrapping.
    QList<PageDivider*> dividers = page->themeCard()->findChildren<PageDivider*>();
    ASSERT_EQ(dividers.size(), 1);
    EXPECT_DOUBLE_EQ(dividers[0]->opacity(), 0.26);
    EXPECT_EQ(dividers[0]->height(), 29);
    const QList<AlignedSettingRow*> rows = page->themeCard()->findChildren<AlignedSettingRow*>();
    ASSERT_EQ(rows.size(), 4);
    QWidget* stack = rows[0]->parentWidget();
    EXPECT_EQ(rows[0]->y(), 0);
    for (int i = 1; i < 4; ++i) EXPECT_EQ(rows[i]->y(), rows[i - 1]->geometry().bottom() + 1 + 16) << i;
    VantrelLabel* footnote = nullptr;
    for (VantrelLabel* label : stack->findChildren<VantrelLabel*>(Qt::FindDirectChildrenOnly))
        if (label->text().startsWith(QStringLiteral("Animated themes"))) footnote = label;
    ASSERT_NE(footnote, nullptr);
    EXPECT_TRUE(footnote->wordWrap());
    EXPECT_EQ(footnote->y(), rows[3]->geometry().bottom() + 1 + 16);
    EXPECT_EQ(footnote->width(), stack->width()) << "the full width";

    // "Color strength": a 330-point slider, 10 apart from its 38-point read-out.
    VantrelSliderRow& strength = *page->strength();
    EXPECT_EQ(strength.maximumWidth(), 378);
    EXPECT_EQ(strength.width(), 378);
    EXPECT_EQ(strength.slider()->x(), 0);
    EXPECT_EQ(strength.slider()->width(), 330);
    VantrelLabel* readOut = nullptr;
    for (VantrelLabel* label : strength.findChildren<VantrelLabel*>())
        if (label->text() == strength.valueText()) readOut = label;
    ASSERT_NE(readOut, nullptr);
    EXPECT_EQ(readOut->x(), 340);
    EXPECT_EQ(readOut->width(), 38);
    EXPECT_DOUBLE_EQ(readOut->font().pointSizeF(), VantrelType::font(10.5, QFont::Normal).pointSizeF());
}

TEST_F(AppearancePageTest, TheBackgroundEditorHoldsAPickedColourUntilItIsSaved) {
    TintEditor& editor = *page->backgroundEditor();
    // Off, the well still shows the stored tint.
    EXPECT_EQ(editor.status()->text(), QStringLiteral("Theme default"));
    EXPECT_EQ(editor.well()->color(), rgb(0.37, 0.58, 0.88));
    EXPECT_FALSE(editor.saveButton()->isVisible());
    EXPECT_FALSE(editor.resetButton()->isVisible());
    EXPECT_EQ(editor.well()->accessibleName(), QStringLiteral("Background hue"));

    editor.well()->click();
    ASSERT_EQ(c.views.colorPicker.requests().size(), 1u);
    EXPECT_EQ(c.views.colorPicker.requests()[0].title, QStringLiteral("Background hue"));
    EXPECT_EQ(c.views.colorPicker.requests()[0].initial, rgb(0.37, 0.58, 0.88));

    qsizetype mark = c.mark();
    ASSERT_TRUE(c.views.colorPicker.choose(rgb(0.9, 0.2, 0.1)));
    EXPECT_EQ(since(mark), QStringList()) << "moving the well writes nothing";
    EXPECT_EQ(editor.status()->text(), QStringLiteral("Unsaved"));
    EXPECT_EQ(editor.status()->resolvedColor(), VantrelTheme::accent(Accent::graphite)) << "in the accent";
    EXPECT_EQ(editor.well()->color(), rgb(0.9, 0.2, 0.1));
    EXPECT_EQ(c.h.preferences.backgroundTint(), BackgroundTint());
    EXPECT_TRUE(editor.saveButton()->isVisible());
    EXPECT_TRUE(editor.cancelButton()->isVisible());
    EXPECT_EQ(editor.saveButton()->accessibleName(), QStringLiteral("Save background hue"));

    // Cancel: nothing played, nothing written, the well back on the stored colour.
    editor.cancelButton()->click();
    EXPECT_EQ(since(mark), QStringList());
    EXPECT_EQ(editor.status()->text(), QStringLiteral("Theme default"));
    EXPECT_EQ(editor.well()->color(), rgb(0.37, 0.58, 0.88));
    EXPECT_FALSE(editor.saveButton()->isVisible());

    // Save: the pill's tick, then its own, then the tint and its switch.
    c.views.colorPicker.choose(rgb(0.9, 0.2, 0.1));
    mark = c.mark();
    editor.saveButton()->click();
    const QStringList saved = since(mark);
    ASSERT_EQ(saved.size(), 4) << saved.join(u'\n').toStdString();
    EXPECT_EQ(saved[0], kTick);
    EXPECT_EQ(saved[1], kTick);
    EXPECT_TRUE(saved[2].startsWith(QStringLiteral("set appearance.backgroundTint ")));
    EXPECT_EQ(saved[3], QStringLiteral("set appearance.backgroundTintEnabled true"));
    const BackgroundTint stored = c.h.preferences.backgroundTint();
    EXPECT_NEAR(stored.red, 0.9, 1e-3);
    EXPECT_NEAR(stored.green, 0.2, 1e-3);
    EXPECT_NEAR(stored.blue, 0.1, 1e-3);
    EXPECT_EQ(editor.status()->text(), QStringLiteral("Saved color"));
    EXPECT_EQ(editor.status()->resolvedColor(), VantrelTheme::secondaryText().resolve(&editor));
    EXPECT_TRUE(editor.resetButton()->isVisible());
    EXPECT_FALSE(editor.saveButton()->isVisible());
    EXPECT_EQ(editor.resetButton()->toolTip(), QStringLiteral("Return to the theme's original hue"));

    // Reset: the tick and the switch off; the tint stays and the well shows it once Reset's
    // transition has run.
    mark = c.mark();
    editor.resetButton()->click();
    EXPECT_EQ(since(mark),
              (QStringList{kTick, QStringLiteral("set appearance.backgroundTintEnabled false")}));
    EXPECT_EQ(c.h.preferences.backgroundTint(), stored);
    EXPECT_EQ(editor.status()->text(), QStringLiteral("Theme default"));
    editor.resetTransition()->setCurrentTime(editor.resetTransition()->duration());
    EXPECT_EQ(editor.well()->color(), TintEditorModel::color(stored));
    EXPECT_TRUE(editor.fadingControls().empty());
    EXPECT_FALSE(editor.resetButton()->isVisible());
}

TEST_F(AppearancePageTest, TheBackgroundResetEasesOutOverAFifthOfASecondAndTheIconResetSwitchesAtOnce) {
    TintEditor& editor = *page->backgroundEditor();
    c.h.preferences.setBackgroundTint(BackgroundTint(0.2, 0.4, 0.6));
    c.h.preferences.setCustomBackgroundTintEnabled(true);
    editor.well()->click();
    c.views.colorPicker.choose(rgb(1, 0, 0));
    ASSERT_TRUE(editor.saveButton()->isVisible());
    ASSERT_TRUE(editor.resetButton()->isVisible());

    editor.resetButton()->click();
    QVariantAnimation& fade = *editor.resetTransition();
    ASSERT_EQ(fade.state(), QAbstractAnimation::Running);
    EXPECT_EQ(fade.duration(), 180);
    EXPECT_EQ(fade.easingCurve(), VantrelAnimation::easeInOut(0.18).easing);
    // Written at once; only the drawing eases.
    EXPECT_FALSE(c.h.preferences.customBackgroundTintEnabled());
    EXPECT_EQ(editor.status()->text(), QStringLiteral("Theme default"));

    // The row takes its new shape at once; what Reset took away (Save, Cancel and Reset, as they
    // were drawn) fades where it stood.
    EXPECT_FALSE(editor.saveButton()->isVisible());
    EXPECT_FALSE(editor.resetButton()->isVisible());
    ASSERT_EQ(editor.fadingControls().size(), 3u);
    EXPECT_EQ(editor.fadingControls()[0].position, editor.saveButton()->pos());
    EXPECT_EQ(editor.fadingControls()[2].position, editor.resetButton()->pos());
    EXPECT_EQ(editor.fadingControls()[2].image.deviceIndependentSize().toSize(),
              editor.resetButton()->size());

    // The start: whole, and the well holds the picked colour.
    fade.setCurrentTime(0);
    EXPECT_DOUBLE_EQ(editor.fadingOpacity(), 1);
    EXPECT_EQ(editor.well()->color(), rgb(1, 0, 0));
    const QRect resetArea(editor.fadingControls()[2].position, editor.resetButton()->size());
    const int startInk = paintedPixels(renderWidget(editor), resetArea);
    EXPECT_GT(startInk, 10) << "Reset still drawn";

    // Half way in time, half way along the symmetric ease-in-out.
    fade.setCurrentTime(90);
    EXPECT_NEAR(editor.fadingOpacity(), 0.5, 1e-3);
    EXPECT_NEAR(editor.well()->color().redF(), 0.6, 2e-2);
    EXPECT_NEAR(editor.well()->color().blueF(), 0.3, 2e-2);
    // A quarter of the way it is still mostly there: eased in, not linear.
    fade.setCurrentTime(45);
    EXPECT_GT(editor.fadingOpacity(), 0.8);

    // The end: gone, and the well on the stored colour.
    fade.setCurrentTime(180);
    EXPECT_NE(fade.state(), QAbstractAnimation::Running);
    EXPECT_TRUE(editor.fadingControls().empty());
    EXPECT_EQ(paintedPixels(renderWidget(editor), resetArea), 0);
    EXPECT_EQ(editor.well()->color(), rgb(0.2, 0.4, 0.6));

    // A colour picked while Reset fades brings Save and Cancel back whole.
    c.h.preferences.setCustomBackgroundTintEnabled(true);
    editor.resetButton()->click();
    ASSERT_FALSE(editor.fadingControls().empty());
    c.views.colorPicker.choose(rgb(0, 1, 0));
    EXPECT_TRUE(editor.fadingControls().empty());
    EXPECT_NE(editor.resetTransition()->state(), QAbstractAnimation::Running);
    EXPECT_TRUE(editor.saveButton()->isVisible());
    EXPECT_EQ(editor.well()->color(), rgb(0, 1, 0));
    editor.cancelButton()->click();

    // The icon editor's Reset has no animation.
    TintEditor& icon = *page->iconEditor();
    c.h.preferences.setCustomIconTintEnabled(true);
    ASSERT_TRUE(icon.resetButton()->isVisible());
    icon.resetButton()->click();
    EXPECT_FALSE(icon.resetButton()->isVisible());
    EXPECT_NE(icon.resetTransition()->state(), QAbstractAnimation::Running);

    // Under reduce motion the background's Reset is the short calm ease-out.
    c.setReduceMotion(true);
    c.h.preferences.setCustomBackgroundTintEnabled(true);
    editor.resetButton()->click();
    EXPECT_EQ(editor.resetTransition()->duration(), 120);
    EXPECT_EQ(editor.resetTransition()->easingCurve(), VantrelAnimation::easeOut(0.12).easing);
}

namespace {

// The strongest coverage and the summed coverage of `rect`, 0 to 1 per pixel.
struct Ink {
    double strongest = 0;
    double total = 0;
};
Ink inkIn(const QImage& image, const QRect& rect) {
    Ink ink;
    for (int y = rect.top(); y <= rect.bottom(); ++y)
        for (int x = rect.left(); x <= rect.right(); ++x) {
            const double alpha = qAlpha(image.pixel(x, y)) / 255.0;
            ink.strongest = std::max(ink.strongest, alpha);
            ink.total += alpha;
        }
    return ink;
}

} // namespace

TEST_F(AppearancePageTest, TheBackgroundResetCrossFadesTheStatusAsTheButtonsFadeOut) {
    TintEditor& editor = *page->backgroundEditor();
    c.h.preferences.setBackgroundTint(BackgroundTint(0.2, 0.4, 0.6));
    c.h.preferences.setCustomBackgroundTintEnabled(true);
    editor.well()->click();
    c.views.colorPicker.choose(rgb(1, 0, 0));
    // The row is laid out before anyone can press Reset.
    settleLayouts();
    const QRect statusArea = editor.status()->geometry();
    EXPECT_EQ(statusArea.left(), editor.well()->geometry().right() + 1 + 10);
    EXPECT_EQ(statusArea.width(), 88);
    EXPECT_GE(editor.saveButton()->x(), statusArea.right() + 1 + 10) << "nothing over the status";
    const Ink unsaved = inkIn(renderWidget(editor), statusArea);
    ASSERT_GT(unsaved.strongest, 0.9) << "\"Unsaved\" drawn whole";

    editor.resetButton()->click();
    QVariantAnimation& fade = *editor.resetTransition();
    EXPECT_EQ(editor.status()->text(), QStringLiteral("Theme default")) << "the text changes at once";
    ASSERT_TRUE(editor.fadingStatus().has_value());
    EXPECT_EQ(editor.fadingStatus()->position, statusArea.topLeft());

    // The start: the old status whole, the new one not yet there.
    fade.setCurrentTime(0);
    EXPECT_DOUBLE_EQ(editor.statusOpacity(), 0);
    EXPECT_EQ(editor.status()->resolvedColor().alpha(), 0);
    const Ink start = inkIn(renderWidget(editor), statusArea);
    EXPECT_NEAR(start.total, unsaved.total, unsaved.total * 0.05);
    EXPECT_NEAR(start.strongest, unsaved.strongest, 0.02);

    // Half way: each at half strength, so nothing in the status is drawn at full strength, while
    // the buttons beside it are half gone too.
    fade.setCurrentTime(90);
    EXPECT_NEAR(editor.statusOpacity(), 0.5, 1e-3);
    EXPECT_NEAR(editor.fadingOpacity(), 0.5, 1e-3);
    const double secondaryAlpha = VantrelTheme::secondaryText().resolve(&editor).alphaF();
    EXPECT_NEAR(editor.status()->resolvedColor().alphaF(), 0.5 * secondaryAlpha, 1e-2);
    const Ink middle = inkIn(renderWidget(editor), statusArea);
    EXPECT_LT(middle.strongest, 0.8 * unsaved.strongest);
    EXPECT_GT(middle.strongest, 0.3 * unsaved.strongest);
    // A quarter of the way the new text is still faint: eased in, like the buttons.
    fade.setCurrentTime(45);
    EXPECT_LT(editor.statusOpacity(), 0.2);

    // The end: only "Theme default", whole, in the secondary colour.
    fade.setCurrentTime(180);
    EXPECT_FALSE(editor.fadingStatus().has_value());
    EXPECT_DOUBLE_EQ(editor.statusOpacity(), 1);
    EXPECT_EQ(editor.status()->resolvedColor(), VantrelTheme::secondaryText().resolve(&editor));
    const Ink end = inkIn(renderWidget(editor), statusArea);
    EXPECT_NEAR(end.strongest, secondaryAlpha, 0.02);
    EXPECT_NE(end.total, start.total) << "another text";

    // From "Saved color" (nothing pending) it cross-fades the same way, and a colour picked while
    // it fades shows its status whole at once.
    c.h.preferences.setCustomBackgroundTintEnabled(true);
    EXPECT_EQ(editor.status()->text(), QStringLiteral("Saved color"));
    settleLayouts();
    const Ink saved = inkIn(renderWidget(editor), statusArea);
    editor.resetButton()->click();
    ASSERT_TRUE(editor.fadingStatus().has_value());
    fade.setCurrentTime(90);
    // Two texts in the same colour, each at half strength, overlap to at most 0.51 of 0.6.
    EXPECT_LT(inkIn(renderWidget(editor), statusArea).strongest, 0.9 * saved.strongest);
    c.views.colorPicker.choose(rgb(0, 1, 0));
    EXPECT_FALSE(editor.fadingStatus().has_value());
    EXPECT_EQ(editor.status()->text(), QStringLiteral("Unsaved"));
    EXPECT_EQ(editor.status()->resolvedColor().alpha(), 255);
    editor.cancelButton()->click();

    // Under reduce motion the status follows the short ease-out: well past half strength half way.
    c.setReduceMotion(true);
    c.h.preferences.setCustomBackgroundTintEnabled(true);
    editor.resetButton()->click();
    ASSERT_EQ(fade.duration(), 120);
    fade.setCurrentTime(60);
    EXPECT_GT(editor.statusOpacity(), 0.6);
    fade.setCurrentTime(120);
    EXPECT_DOUBLE_EQ(editor.statusOpacity(), 1);
}

TEST_F(AppearancePageTest, TheIconEditorSavesTheSymbolColour) {
    TintEditor& editor = *page->iconEditor();
    EXPECT_EQ(editor.status()->text(), QStringLiteral("Theme accent"));
    EXPECT_EQ(editor.well()->accessibleName(), QStringLiteral("Vantrel icon color"));
    editor.well()->click();
    EXPECT_EQ(c.views.colorPicker.requests().back().title, QStringLiteral("Vantrel icon color"));
    c.views.colorPicker.choose(rgb(0.2, 0.8, 0.4));
    EXPECT_EQ(editor.saveButton()->accessibleName(), QStringLiteral("Save icon color"));
    const qsizetype mark = c.mark();
    editor.saveButton()->click();
    const QStringList saved = since(mark);
    ASSERT_EQ(saved.size(), 4);
    EXPECT_TRUE(saved[2].startsWith(QStringLiteral("set appearance.iconTint ")));
    EXPECT_EQ(saved[3], QStringLiteral("set appearance.iconTintEnabled true"));
    EXPECT_FALSE(c.h.preferences.customBackgroundTintEnabled()) << "the other editor is untouched";
    EXPECT_EQ(page->backgroundEditor()->status()->text(), QStringLiteral("Theme default"));
    EXPECT_EQ(editor.resetButton()->toolTip(),
              QStringLiteral("Use the current theme accent for Vantrel symbols"));

    // A picker still open on a page that is gone changes nothing.
    editor.well()->click();
    delete page;
    page = nullptr;
    EXPECT_FALSE(c.views.colorPicker.choose(rgb(0.1, 0.1, 0.1)));
}

TEST_F(AppearancePageTest, TheColourStrengthReadsTruncatedPercentagesAndWritesEveryValueSilently) {
    VantrelSliderRow& strength = *page->strength();
    EXPECT_EQ(strength.valueText(), QStringLiteral("42%"));
    c.h.preferences.setThemeColorAmount(0.429);
    EXPECT_EQ(strength.valueText(), QStringLiteral("42%"));
    c.h.preferences.setThemeColorAmount(1.0);
    EXPECT_EQ(strength.valueText(), QStringLiteral("100%"));
    c.h.preferences.setThemeColorAmount(0.0);
    EXPECT_EQ(strength.valueText(), QStringLiteral("0%"));

    const qsizetype mark = c.mark();
    strength.slider()->setValue(strength.slider()->maximum() / 4);
    strength.slider()->setValue(strength.slider()->maximum() / 2);
    EXPECT_EQ(since(mark), (QStringList{QStringLiteral("set appearance.themeColorAmount 0.25"),
                                        QStringLiteral("set appearance.themeColorAmount 0.5")}));
    EXPECT_EQ(strength.slider()->accessibleName(), QStringLiteral("Color strength"));
}

TEST_F(AppearancePageTest, ThePickersTickAfterEachWriteButNotWhenShown) {
    EXPECT_EQ(since(0).filter(QStringLiteral("haptic")), QStringList()) << "showing the page is silent";
    qsizetype mark = c.mark();
    page->modePicker()->segment(2)->click();
    EXPECT_EQ(since(mark), (QStringList{QStringLiteral("set appearance.mode light"), kTick}));
    // A change made elsewhere while the page is shown ticks too; the same value again does not.
    mark = c.mark();
    c.h.preferences.setAppearanceMode(AppearanceMode::system);
    c.h.preferences.setAppearanceMode(AppearanceMode::system);
    EXPECT_EQ(since(mark), (QStringList{QStringLiteral("set appearance.mode system"), kTick,
                                        QStringLiteral("set appearance.mode system")}));
    EXPECT_EQ(page->modePicker()->selectedIndex(), 0);

    mark = c.mark();
    page->scopePicker()->segment(1)->click();
    EXPECT_EQ(since(mark), (QStringList{QStringLiteral("set appearance.themeScope notchOnly"), kTick}));
}

TEST_F(AppearancePageTest, EachChipSetsItsThemeAndAccentAndAppliesEvenWhenRepicked) {
    const std::pair<ArtTheme, QString> accents[] = {
        {ArtTheme::glacialVeil, QStringLiteral("sky")},
        {ArtTheme::midnightCurrent, QStringLiteral("indigo")},
        {ArtTheme::canyonAlloy, QStringLiteral("sand")},
        {ArtTheme::obsidianFold, QStringLiteral("graphite")},
        {ArtTheme::neutral, QStringLiteral("graphite")},
    };
    const QStringList titles{QStringLiteral("Neutral"), QStringLiteral("Obsidian Fold"),
                             QStringLiteral("Glacial Veil"), QStringLiteral("Midnight Current"),
                             QStringLiteral("Canyon Alloy")};
    for (const ArtTheme theme : allCasesOf<ArtTheme>())
        EXPECT_EQ(page->gallery()->chip(theme)->text(), titles[int(theme)]);
    for (const auto& [theme, accent] : accents) {
        for (int round = 0; round < 2; ++round) {
            const qsizetype mark = c.mark();
            page->gallery()->chip(theme)->click();
            EXPECT_EQ(since(mark),
                      (QStringList{kTick, QStringLiteral("set appearance.artTheme ") + rawValue(theme),
                                   QStringLiteral("set appearance.accent ") + accent,
                                   QStringLiteral("applyPreferences")}))
                << rawValue(theme).toStdString() << " round " << round;
        }
        EXPECT_TRUE(page->gallery()->chip(theme)->isSelected());
        EXPECT_EQ(page->gallery()->hero()->theme(), theme);
    }
    // Another accent chosen meanwhile is replaced by the theme's own.
    c.h.preferences.setAccent(Accent::coral);
    page->gallery()->chip(ArtTheme::glacialVeil)->click();
    EXPECT_EQ(c.h.preferences.accent(), Accent::sky);
}

TEST_F(AppearancePageTest, AChangeOfSelectionEasesBothChipsOverAFifthOfASecond) {
    ThemeChip& neutral = *page->gallery()->chip(ArtTheme::neutral);
    ThemeChip& glacial = *page->gallery()->chip(ArtTheme::glacialVeil);
    ThemeChip& canyon = *page->gallery()->chip(ArtTheme::canyonAlloy);
    EXPECT_EQ(neutral.selection(), 1) << "shown selected without an animation";
    EXPECT_EQ(glacial.selection(), 0);
    EXPECT_NE(neutral.selectionAnimation()->state(), QAbstractAnimation::Running);

    glacial.click();
    ASSERT_EQ(glacial.selectionAnimation()->state(), QAbstractAnimation::Running);
    ASSERT_EQ(neutral.selectionAnimation()->state(), QAbstractAnimation::Running);
    EXPECT_NE(canyon.selectionAnimation()->state(), QAbstractAnimation::Running) << "not involved";
    EXPECT_EQ(glacial.selectionAnimation()->duration(), 180);
    EXPECT_EQ(glacial.selectionAnimation()->easingCurve(), VantrelAnimation::easeInOut(0.18).easing);
    EXPECT_TRUE(glacial.isSelected()) << "the setting is written at once";

    glacial.selectionAnimation()->setCurrentTime(0);
    neutral.selectionAnimation()->setCurrentTime(0);
    EXPECT_DOUBLE_EQ(glacial.selection(), 0);
    EXPECT_DOUBLE_EQ(neutral.selection(), 1);
    glacial.selectionAnimation()->setCurrentTime(90);
    neutral.selectionAnimation()->setCurrentTime(90);
    EXPECT_NEAR(glacial.selection(), 0.5, 1e-3);
    EXPECT_NEAR(neutral.selection(), 0.5, 1e-3);
    glacial.selectionAnimation()->setCurrentTime(180);
    neutral.selectionAnimation()->setCurrentTime(180);
    EXPECT_DOUBLE_EQ(glacial.selection(), 1);
    EXPECT_DOUBLE_EQ(neutral.selection(), 0);

    // Re-picking the selected chip changes no look.
    glacial.click();
    EXPECT_NE(glacial.selectionAnimation()->state(), QAbstractAnimation::Running);
    // Reduce motion: the short calm ease-out.
    c.setReduceMotion(true);
    canyon.click();
    EXPECT_EQ(canyon.selectionAnimation()->duration(), 120);
}

TEST_F(AppearancePageTest, SymbolsInTheAccentTakeAThemesNewAccentOnTheOpenPage) {
    auto* row = qobject_cast<FeatureRow*>(page->launchAtLogin()->parentWidget());
    ASSERT_NE(row, nullptr);
    VantrelIcon& power = *row->icon();
    EXPECT_TRUE(power.followsAccent());
    EXPECT_EQ(power.iconColor(), VantrelTheme::accent(Accent::graphite));
    power.resize(power.size());
    const QImage graphite = renderWidget(power);
    page->gallery()->chip(ArtTheme::glacialVeil)->click();
    EXPECT_EQ(power.iconColor(), VantrelTheme::accent(Accent::sky));
    EXPECT_NE(renderWidget(power), graphite) << "drawn again in the new accent";
    // The custom symbol colour still wins over the accent.
    c.h.preferences.setIconTint(BackgroundTint(0.2, 0.9, 0.4));
    c.h.preferences.setCustomIconTintEnabled(true);
    EXPECT_EQ(power.iconColor(), QColor::fromRgbF(0.2f, 0.9f, 0.4f, 1.0f));
}

TEST(ThemeGallery, ThePreviewFollowsTheModeAndUnderFollowSystemTheDesktop) {
    EXPECT_TRUE(previewIsDark(AppearanceMode::dark, ColorScheme::light));
    EXPECT_FALSE(previewIsDark(AppearanceMode::light, ColorScheme::dark));
    EXPECT_TRUE(previewIsDark(AppearanceMode::system, ColorScheme::dark));
    EXPECT_FALSE(previewIsDark(AppearanceMode::system, ColorScheme::light));
}

TEST_F(AppearancePageTest, TheHeroRecoloursOnlyWhileTheHueIsOnAndNeutralLoadsNoArtwork) {
    ThemeHero& hero = *page->gallery()->hero();
    EXPECT_EQ(hero.request(), std::nullopt) << "neutral draws its gradient";
    EXPECT_EQ(hero.image(), std::nullopt);

    c.h.preferences.setBackgroundTint(BackgroundTint(0.9, 0.3, 0.2));
    c.h.preferences.setArtTheme(ArtTheme::glacialVeil);
    ASSERT_TRUE(hero.request().has_value());
    EXPECT_EQ(hero.request()->theme, ArtTheme::glacialVeil);
    EXPECT_TRUE(hero.request()->thumbnail);
    EXPECT_TRUE(hero.request()->isDark);
    EXPECT_EQ(hero.request()->hueTint, std::nullopt) << "a saved hue that is off does not recolour";
    EXPECT_TRUE(hero.image().has_value());

    c.h.preferences.setCustomBackgroundTintEnabled(true);
    c.h.preferences.setThemeColorAmount(0.7);
    EXPECT_EQ(hero.request()->hueTint, BackgroundTint(0.9, 0.3, 0.2));
    EXPECT_EQ(hero.request()->hueAmount, 0.7);
    const QImage recoloured = *hero.image();

    // Under "Follow System" the hero takes the desktop's scheme; under "Dark" it ignores it.
    c.appearance.setColorScheme(ColorScheme::light);
    EXPECT_TRUE(hero.request()->isDark);
    c.h.preferences.setAppearanceMode(AppearanceMode::system);
    EXPECT_FALSE(hero.request()->isDark);
    EXPECT_NE(*hero.image(), recoloured);

    c.h.preferences.setArtTheme(ArtTheme::neutral);
    EXPECT_EQ(hero.request(), std::nullopt);
    EXPECT_EQ(hero.image(), std::nullopt);
}

TEST_F(AppearancePageTest, AThemeChangeCrossFadesTheHero) {
    ThemeHero& hero = *page->gallery()->hero();
    page->gallery()->chip(ArtTheme::canyonAlloy)->click();
    ASSERT_EQ(hero.crossFade()->state(), QAbstractAnimation::Running);
    EXPECT_EQ(hero.crossFade()->duration(), 240);
    // A change of strength redraws the same theme without a fade.
    hero.crossFade()->setCurrentTime(hero.crossFade()->duration());
    c.h.preferences.setThemeColorAmount(0.9);
    EXPECT_NE(hero.crossFade()->state(), QAbstractAnimation::Running);
}

TEST_F(AppearancePageTest, TheLaunchSwitchFollowsThePermissionCenter) {
    VantrelSwitch& launch = *page->launchAtLogin();
    EXPECT_FALSE(launch.isChecked()) << "denied reads off";
    const qsizetype mark = c.mark();
    launch.click();
    EXPECT_EQ(since(mark), QStringList{kTick});
    EXPECT_TRUE(launch.isChecked());
    EXPECT_EQ(c.stores.permissions.launchAtLogin(), PermissionState::allowed);
    c.h.loginItems.current = LoginItemStatus::notRegistered;
    c.stores.permissions.refresh();
    EXPECT_FALSE(launch.isChecked()) << "an entry removed elsewhere turns it off";
}

namespace {

// The page whose switch writes a real autostart entry for a program started from `executable`.
struct LaunchAtLoginPage {
    LaunchAtLoginPage(ControlCenterHarness& c, const QString& executable)
        : items(c.h.home.paths().autostartFolder(), executable, QStringLiteral("/home/user/vantrel/build")),
          permissions(
              c.h.permissionSystem, [] { return CalendarAuthorizationStatus::notDetermined; }, items,
              c.h.workspace, c.h.scheduler),
          page({.preferences = c.h.preferences,
                .haptics = c.haptics,
                .motion = c.views.motion,
                .appearance = c.appearance,
                .themeImages = c.views.themeImages,
                .permissions = permissions,
                .colorPicker = c.views.colorPicker,
                .applyPreferences = [] {}}) {}

    XdgAutostartLoginItems items;
    PermissionCenter permissions;
    AppearancePage page;
};

} // namespace

TEST(AppearancePageLaunch, LaunchAtLoginWritesTheAutostartEntryAndReportsTheOutcome) {
    ControlCenterHarness c;
    LaunchAtLoginPage fixture(c, QStringLiteral("/usr/bin/vantrel"));
    XdgAutostartLoginItems& items = fixture.items;
    PermissionCenter& permissions = fixture.permissions;
    VantrelSwitch& launch = *fixture.page.launchAtLogin();
    EXPECT_FALSE(launch.isChecked());
    launch.click();
    EXPECT_TRUE(QFileInfo::exists(items.entryPath()));
    EXPECT_TRUE(launch.isChecked());
    EXPECT_EQ(permissions.statusMessage(), QStringLiteral("Vantrel will open when you log in."));
    launch.click();
    EXPECT_FALSE(QFileInfo::exists(items.entryPath()));
    EXPECT_FALSE(launch.isChecked());
    EXPECT_EQ(permissions.statusMessage(), QStringLiteral("Launch at login is off."));

    // A folder in the way: the entry cannot be written, and the switch stays off.
    QDir().mkpath(items.entryPath());
    launch.click();
    EXPECT_FALSE(launch.isChecked());
    EXPECT_EQ(permissions.statusMessage(),
              QStringLiteral("Install Vantrel (scripts/install.sh) before enabling launch at login."));
}

TEST(AppearancePageLaunch, WhatTheSwitchLedToIsSaidBesideIt) {
    ControlCenterHarness c;
    // Started from the folder it was built in.
    LaunchAtLoginPage fixture(c, QStringLiteral("/home/user/vantrel/build/debug/vantrel"));
    AppearancePage& page = fixture.page;
    page.resize(1020, 1400);
    page.show();
    VantrelSwitch& launch = *page.launchAtLogin();
    VantrelLabel* message = page.launchAtLoginMessage();
    ASSERT_NE(message, nullptr);
    EXPECT_FALSE(message->isVisibleTo(&page)) << "nothing to say before the switch is touched";

    // Refused: the switch goes back off, and the reason shows in the same card, under it.
    QTest::keyClick(&launch, Qt::Key_Space);
    EXPECT_FALSE(launch.isChecked());
    EXPECT_TRUE(message->isVisibleTo(&page));
    EXPECT_EQ(message->text(), "Install Vantrel (scripts/install.sh) before enabling launch at login.");
    EXPECT_EQ(launch.accessibleDescription(), message->text());
    EXPECT_TRUE(page.startupCard()->isAncestorOf(message));
    const QRect switchRect(launch.mapTo(&page, QPoint()), launch.size());
    const QRect messageRect(message->mapTo(&page, QPoint()), message->size());
    EXPECT_GT(messageRect.top(), switchRect.top());
    EXPECT_LT(messageRect.top() - switchRect.bottom(), 40) << "close under the switch";
    EXPECT_GE(messageRect.right(), switchRect.left()) << "reaching the switch's side of the card";
}
