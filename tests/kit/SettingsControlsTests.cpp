#include "KitRender.h"
#include "kit/HapticSelection.h"
#include "kit/KitPaint.h"
#include "kit/VantrelButton.h"
#include "kit/VantrelHelpButton.h"
#include "kit/VantrelMenuPicker.h"
#include "kit/VantrelMotion.h"
#include "kit/VantrelPillButtonStyle.h"
#include "kit/VantrelSegmentedControl.h"
#include "kit/VantrelSlider.h"
#include "kit/VantrelSliderRow.h"
#include "kit/VantrelSwitch.h"
#include "kit/VantrelTheme.h"
#include "kit/VantrelType.h"
#include "support/KitHarness.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineF>
#include <QPainter>
#include <QPlainTextEdit>
#include <QSlider>
#include <QTest>
#include <QVariantAnimation>
#include <algorithm>
#include <gtest/gtest.h>

using namespace vantrel;
using namespace vantrel::test;

TEST(VantrelSwitch, PlaysTheControlsHapticBeforeTheUsersFlipIsWrittenAndNothingWhenTheModelSetsIt) {
    KitHarness kit;
    VantrelSwitch toggle(&kit.haptics);
    toggle.resize(toggle.sizeHint());
    toggle.bind(VANTREL_PREFERENCE_BINDING(kit.preferences, notchEnabled, NotchEnabled));
    EXPECT_TRUE(toggle.isChecked()) << "shows the stored value, plays nothing";
    EXPECT_EQ(kit.log.entries, QStringList());

    kit.preferences.setNotchEnabled(false);
    EXPECT_FALSE(toggle.isChecked());
    EXPECT_EQ(kit.log.entries, QStringList{"set notch.enabled"}) << "only the model's own write, no haptic";

    kit.log.entries.clear();
    QTest::mouseClick(&toggle, Qt::LeftButton);
    EXPECT_TRUE(kit.preferences.notchEnabled());
    // Controls play "click" by default: its first pulse, generic, at once.
    EXPECT_EQ(kit.log.entries, (QStringList{"haptic generic", "set notch.enabled"}));

    kit.log.entries.clear();
    toggle.setFocus();
    QTest::keyClick(&toggle, Qt::Key_Space);
    EXPECT_FALSE(kit.preferences.notchEnabled());
    EXPECT_EQ(kit.log.entries, (QStringList{"haptic generic", "set notch.enabled"}));

    // A switch built without haptics writes silently.
    VantrelSwitch quiet(nullptr);
    quiet.resize(quiet.sizeHint());
    quiet.bind(VANTREL_PREFERENCE_BINDING(kit.preferences, customDockShowTrash, CustomDockShowTrash));
    kit.log.entries.clear();
    QTest::mouseClick(&quiet, Qt::LeftButton);
    EXPECT_EQ(kit.log.entries, QStringList{"set dock.showTrash"});
    EXPECT_FALSE(kit.preferences.customDockShowTrash());

    // The 38 by 22 track is centred; the knob sits 1.5 inside its leading end, or its trailing one.
    EXPECT_EQ(SwitchLayout::of(QRectF(0, 0, 60, 30), false).track, QRectF(11, 4, 38, 22));
    EXPECT_EQ(SwitchLayout::of(QRectF(0, 0, 60, 30), false).knob, QRectF(12.5, 5.5, 19, 19));
    EXPECT_EQ(SwitchLayout::of(QRectF(0, 0, 60, 30), true).knob, QRectF(28.5, 5.5, 19, 19));
    // A switch that cannot be used is drawn faded.
    toggle.setChecked(true);
    const QPoint track(4, 11);
    EXPECT_EQ(renderWidget(toggle).pixelColor(track).alpha(), 255);
    toggle.setEnabled(false);
    EXPECT_NEAR(renderWidget(toggle).pixelColor(track).alphaF(), 0.45, 0.02);
}

TEST(VantrelSwitch, KeyboardFocusRingsTheTrackWithoutCoveringIt) {
    // A switch that is off, in a 60 by 30 frame: its 38 by 22 track at (11, 4).
    const SwitchLayout layout = SwitchLayout::of(QRectF(0, 0, 60, 30), 0);
    auto draw = [&](bool focused) {
        QImage image(60, 30, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        KitPaint::paintSwitch(painter, layout, 0, QColor(10, 132, 255), ColorScheme::dark, true, focused,
                              QColor(10, 132, 255));
        return image;
    };
    const QImage plain = draw(false), ringed = draw(true);
    // Pixels wholly inside the capsule: within 11 - 0.75 of the line between its ends' centres.
    int covered = 0, inside = 0;
    for (int y = 0; y < plain.height(); ++y)
        for (int x = 0; x < plain.width(); ++x) {
            const QPointF centre(x + 0.5, y + 0.5);
            const QPointF nearest(std::clamp(centre.x(), 22.0, 38.0), 15);
            if (QLineF(centre, nearest).length() > 11 - 0.75) continue;
            ++inside;
            if (ringed.pixel(x, y) != plain.pixel(x, y)) ++covered;
        }
    EXPECT_GT(inside, 600);
    EXPECT_EQ(covered, 0) << "no pixel wholly inside the track changes";
    // The ring runs at one distance from the track all round its rounded end: the ink's mean
    // distance from the end's centre at (22, 15) is the same straight out, above and in between.
    auto meanDistance = [&](double degrees) {
        double sum = 0, weight = 0;
        for (int y = 0; y < ringed.height(); ++y)
            for (int x = 0; x < 22; ++x) {
                const QLineF ray(QPointF(22, 15), QPointF(x + 0.5, y + 0.5));
                if (ray.length() < 11.5 || std::abs(ray.angle() - degrees) > 8) continue;
                sum += ray.length() * qAlpha(ringed.pixel(x, y));
                weight += qAlpha(ringed.pixel(x, y));
            }
        return weight > 0 ? sum / weight : 0.0;
    };
    const double straightOut = meanDistance(180);
    EXPECT_GT(straightOut, 11.5);
    for (double degrees : {100.0, 120.0, 135.0, 150.0, 210.0, 225.0, 240.0, 260.0})
        EXPECT_NEAR(meanDistance(degrees), straightOut, 0.2) << degrees;
    // The ring goes all round, just outside the track.
    for (const QPoint outside : {QPoint(8, 15), QPoint(51, 15), QPoint(30, 1), QPoint(30, 28)}) {
        EXPECT_EQ(qAlpha(plain.pixel(outside)), 0) << outside.x() << "," << outside.y();
        EXPECT_GT(qAlpha(ringed.pixel(outside)), 128) << outside.x() << "," << outside.y();
    }
}

TEST(VantrelSwitch, TheKnobSlidesToItsNewEndWhoeverSetsItAndStretchesWhileHeld) {
    KitHarness kit;
    VantrelSwitch toggle(&kit.haptics);
    toggle.resize(toggle.sizeHint());
    toggle.bind(VANTREL_PREFERENCE_BINDING(kit.preferences, notchEnabled, NotchEnabled));
    EXPECT_EQ(toggle.knobPosition(), 1) << "not on screen yet: at its end at once";
    toggle.show();

    // Held down, the knob stretches toward the middle from the end it rests at, inside the track.
    QTest::mousePress(&toggle, Qt::LeftButton);
    QVariantAnimation* press = toggle.pressAnimation();
    ASSERT_EQ(press->state(), QAbstractAnimation::Running);
    press->setCurrentTime(press->duration());
    EXPECT_EQ(toggle.pressAmount(), 1);
    const SwitchLayout heldOn = SwitchLayout::of(QRectF(0, 0, 38, 22), 1.0, 1.0);
    EXPECT_GT(heldOn.knob.width(), 19);
    EXPECT_EQ(heldOn.knob.height(), 19);
    EXPECT_DOUBLE_EQ(heldOn.knob.right(), 38 - 1.5);
    const SwitchLayout heldOff = SwitchLayout::of(QRectF(0, 0, 38, 22), 0.0, 1.0);
    EXPECT_DOUBLE_EQ(heldOff.knob.left(), 1.5);
    EXPECT_EQ(heldOff.knob.width(), heldOn.knob.width());

    // Let go: the flip slides the knob across while the track takes the new colour.
    QTest::mouseRelease(&toggle, Qt::LeftButton);
    EXPECT_FALSE(kit.preferences.notchEnabled());
    QVariantAnimation* knob = toggle.knobAnimation();
    ASSERT_EQ(knob->state(), QAbstractAnimation::Running);
    press->setCurrentTime(press->duration());
    EXPECT_EQ(toggle.pressAmount(), 0);
    const QPoint trackProbe(30, 4);
    const QColor onTrack = renderWidget(toggle).pixelColor(trackProbe);
    knob->setCurrentTime(knob->duration() / 2);
    EXPECT_GT(toggle.knobPosition(), 0.1);
    EXPECT_LT(toggle.knobPosition(), 0.9);
    const QColor halfway = renderWidget(toggle).pixelColor(trackProbe);
    knob->setCurrentTime(knob->duration());
    EXPECT_EQ(toggle.knobPosition(), 0);
    const QColor offTrack = renderWidget(toggle).pixelColor(trackProbe);
    EXPECT_NE(halfway, onTrack);
    EXPECT_NE(halfway, offTrack);

    // The model's own change slides the knob too, and plays nothing.
    kit.log.entries.clear();
    kit.preferences.setNotchEnabled(true);
    EXPECT_EQ(knob->state(), QAbstractAnimation::Running);
    EXPECT_EQ(kit.log.entries, QStringList{"set notch.enabled"});

    // With motion reduced the slide is the short ease-out of 0.12 s, the stretch the one of 0.1 s.
    kit.appearance.setReduceMotion(true);
    VantrelMotion motion(kit.appearance);
    toggle.setMotion(&motion);
    QTest::mouseClick(&toggle, Qt::LeftButton);
    EXPECT_EQ(knob->duration(), 120);
    EXPECT_EQ(knob->easingCurve(), VantrelAnimation::easeOut(0.12).easing);
    EXPECT_EQ(press->duration(), 100);
}

TEST(HapticSelection, TicksAfterEveryChangeOfTheWatchedValueWhoeverMadeItButNotForItsFirst) {
    KitHarness kit;
    auto page = std::make_unique<QObject>();
    const auto mode = VANTREL_PREFERENCE_BINDING(kit.preferences, appearanceMode, AppearanceMode);
    hapticSelection(page.get(), mode, &kit.haptics);
    EXPECT_EQ(kit.log.entries, QStringList()) << "the value it starts with plays nothing";

    kit.preferences.setAppearanceMode(AppearanceMode::light);
    EXPECT_EQ(kit.log.entries, (QStringList{"set appearance.mode", "haptic generic"}));
    kit.log.entries.clear();
    kit.preferences.setAppearanceMode(AppearanceMode::light);
    EXPECT_FALSE(kit.log.entries.contains("haptic generic")) << "the same value again is no change";
    kit.preferences.setAppearanceMode(AppearanceMode::system);
    EXPECT_EQ(kit.log.entries.count("haptic generic"), 1);

    // It stops with its page, and without haptics nothing is watched.
    page.reset();
    hapticSelection(&kit.preferences, mode, nullptr);
    kit.log.entries.clear();
    kit.preferences.setAppearanceMode(AppearanceMode::dark);
    EXPECT_EQ(kit.log.entries, QStringList{"set appearance.mode"});
}

TEST(VantrelSegmentedControl, WritesOncePerChoiceOfTheUserAndNeverWhileSyncing) {
    KitHarness kit;
    VantrelSegmentedControl picker("Appearance", {"Follow System", "Dark", "Light"}, &kit.haptics);
    picker.resize(420, 24);
    picker.bind(VANTREL_PREFERENCE_BINDING(kit.preferences, appearanceMode, AppearanceMode),
                QList<AppearanceMode>{AppearanceMode::system, AppearanceMode::dark, AppearanceMode::light});
    EXPECT_EQ(picker.selectedIndex(), 1);
    EXPECT_EQ(picker.accessibleName(), "Appearance");
    EXPECT_EQ(picker.segment(0)->accessibleName(), "Follow System");
    EXPECT_TRUE(picker.segment(1)->isChecked());
    EXPECT_EQ(VantrelType::pixelSize(picker.segment(0)->font()), 12);

    kit.preferences.setAppearanceMode(AppearanceMode::light);
    EXPECT_EQ(picker.selectedIndex(), 2);
    EXPECT_EQ(kit.log.entries, QStringList{"set appearance.mode"});

    kit.log.entries.clear();
    QTest::mouseClick(picker.segment(0), Qt::LeftButton);
    EXPECT_EQ(kit.preferences.appearanceMode(), AppearanceMode::system);
    EXPECT_EQ(kit.log.entries, (QStringList{"haptic generic", "set appearance.mode"}));
    EXPECT_FALSE(picker.segment(2)->isChecked());

    kit.log.entries.clear();
    QTest::mouseClick(picker.segment(0), Qt::LeftButton);
    EXPECT_TRUE(picker.segment(0)->isChecked()) << "a click on the selected segment keeps it";
    EXPECT_EQ(kit.log.entries, QStringList()) << "the same choice again: no haptic, no write";

    // An index the control has no segment for selects none.
    picker.setSelectedIndex(7);
    EXPECT_EQ(picker.selectedIndex(), -1);
    EXPECT_FALSE(picker.segment(0)->isChecked());
    // Segments as wide as their labels, the spare room shared; too short, all narrowed alike.
    const SegmentedLayout roomy = SegmentedLayout::of(QRectF(0, 0, 304, 40), {40, 100, 60});
    EXPECT_EQ(roomy.track, QRectF(0, 8, 304, 24));
    EXPECT_EQ(roomy.segments[0], QRectF(2, 10, 40 + 100.0 / 3, 20));
    EXPECT_EQ(roomy.segments[1].width(), 100 + 100.0 / 3);
    EXPECT_DOUBLE_EQ(roomy.segments[2].right(), 302);
    const SegmentedLayout tight = SegmentedLayout::of(QRectF(0, 0, 104, 24), {50, 150});
    EXPECT_EQ(tight.segments[0], QRectF(2, 2, 25, 20));
    EXPECT_EQ(tight.segments[1], QRectF(27, 2, 75, 20));
}

TEST(VantrelSegmentedControl, EachSegmentIsWideEnoughForItsWholeLabel) {
    KitHarness kit;
    VantrelSegmentedControl mode("Appearance", {"Follow System", "Dark", "Light"}, &kit.haptics);
    mode.resize(mode.sizeHint());
    mode.show();
    for (QAbstractButton* segment : mode.findChildren<QAbstractButton*>()) {
        const QFontMetrics metrics(segment->font());
        EXPECT_GE(segment->width() - 8, metrics.horizontalAdvance(segment->text()))
            << segment->text().toStdString();
    }
}

TEST(VantrelSegmentedControl, AFocusedSegmentShowsItsWholeTwoPointRingInsideItsOwnBounds) {
    KitHarness kit;
    VantrelSegmentedControl mode("Appearance", {"Follow System", "Dark", "Light"}, &kit.haptics);
    mode.resize(mode.sizeHint());
    mode.show();
    QApplication::setActiveWindow(&mode);
    QAbstractButton* dark = mode.segment(1);
    dark->setFocus(Qt::TabFocusReason);
    ASSERT_TRUE(dark->hasFocus());
    const QImage look = renderWidget(*dark);
    const int middle = look.height() / 2;
    const int right = look.width() - 1;
    // Two points of ring on every side, two points inside the segment's edge so its ground shows
    // on both sides of the ring (the selected plate's hairline runs along the edge), and nothing
    // clipped away.
    for (const QPoint& ring :
         {QPoint(2, middle), QPoint(3, middle), QPoint(right - 2, middle), QPoint(right - 3, middle),
          QPoint(look.width() / 2, 2), QPoint(look.width() / 2, 3)})
        EXPECT_GT(qAlpha(look.pixel(ring)), 200) << ring.x() << "," << ring.y();
    EXPECT_LT(qAlpha(look.pixel(1, middle)), 40) << "the edge left clear";
    EXPECT_LT(qAlpha(look.pixel(4, middle)), 40) << "and no wider";
}

TEST(VantrelMenuPicker, AnIndexOutsideItsOptionsShowsNoChoice) {
    KitHarness kit;
    VantrelMenuPicker picker("Collapse", {"Instantly", "After a short delay", "Never"}, kit.menus,
                             &kit.haptics);
    // Its frame is a hairline: the outermost pixels carry it, the next ones only the fill.
    picker.resize(picker.sizeHint());
    VantrelTheme::setColorScheme(&picker, ColorScheme::dark);
    const QImage look = renderWidget(picker);
    const int middle = look.height() / 2;
    EXPECT_GT(qAlpha(look.pixel(0, middle)), qAlpha(look.pixel(4, middle)));
    EXPECT_EQ(look.pixel(1, middle), look.pixel(4, middle));
    EXPECT_EQ(look.pixel(look.width() / 3, 1), look.pixel(look.width() / 3, 4));
    picker.setCurrentIndex(1);
    EXPECT_EQ(picker.currentIndex(), 1);
    for (int index : {3, 7, -2}) {
        picker.setCurrentIndex(index);
        EXPECT_EQ(picker.currentIndex(), -1) << index;
    }
}

TEST(VantrelMenuPicker, OpensTheMenuThroughThePresenterAndWritesOnlyANewChoice) {
    KitHarness kit;
    const QStringList sizes{"Small", "Medium", "Large"};
    auto picker = std::make_unique<VantrelMenuPicker>("Size", sizes, kit.menus, &kit.haptics);
    picker->resize(picker->sizeHint());
    picker->bind(VANTREL_PREFERENCE_BINDING(kit.preferences, notchSize, NotchSize),
                 QList<NotchSize>{NotchSize::small, NotchSize::medium, NotchSize::large});
    EXPECT_EQ(picker->text(), "Medium");

    QTest::mouseClick(picker.get(), Qt::LeftButton);
    ASSERT_EQ(kit.menus.requests().size(), 1u);
    EXPECT_EQ(kit.menus.requests()[0].items, sizes);
    EXPECT_EQ(kit.menus.requests()[0].checked, 1);
    EXPECT_EQ(kit.menus.requests()[0].anchor, picker.get());
    EXPECT_TRUE(kit.menus.choose(2));
    EXPECT_EQ(kit.preferences.notchSize(), NotchSize::large);
    EXPECT_EQ(picker->text(), "Large");
    EXPECT_EQ(kit.log.entries, (QStringList{"menu Small|Medium|Large", "haptic generic", "set notch.size"}));

    kit.log.entries.clear();
    kit.preferences.setNotchSize(NotchSize::small);
    EXPECT_EQ(picker->currentIndex(), 0);
    QTest::mouseClick(picker.get(), Qt::LeftButton);
    kit.menus.choose(0); // the current one
    QTest::mouseClick(picker.get(), Qt::LeftButton);
    kit.menus.dismiss();
    EXPECT_EQ(kit.log.entries,
              (QStringList{"set notch.size", "menu Small|Medium|Large", "menu Small|Medium|Large"}));

    // The picker goes while its menu is open: the late answer reaches nothing.
    QTest::mouseClick(picker.get(), Qt::LeftButton);
    picker.reset();
    kit.log.entries.clear();
    EXPECT_TRUE(kit.menus.choose(1));
    EXPECT_EQ(kit.log.entries, QStringList());
}

TEST(VantrelSliderRow, ReadsOutTheValueAndWritesOnlyTheUsersMoves) {
    KitHarness kit;
    VantrelSliderRow row("Icon size", 24, 92, VantrelSliderRow::oneDecimal("pt"));
    row.resize(400, 24);
    row.bind(VANTREL_PREFERENCE_BINDING(kit.preferences, customDockIconSize, CustomDockIconSize));
    EXPECT_EQ(row.valueText(), "44.0pt");
    EXPECT_EQ(row.slider()->accessibleName(), "Icon size");

    kit.preferences.setCustomDockIconSize(50.26);
    EXPECT_EQ(row.valueText(), "50.3pt");
    EXPECT_EQ(kit.log.entries, QStringList{"set dock.iconSize"}) << "syncing writes nothing";

    kit.log.entries.clear();
    row.slider()->setFocus();
    QTest::keyClick(row.slider(), Qt::Key_End);
    EXPECT_EQ(kit.preferences.customDockIconSize(), 92.0);
    EXPECT_EQ(row.valueText(), "92.0pt");
    EXPECT_EQ(kit.log.entries, QStringList{"set dock.iconSize"}) << "one write per move, no haptic";

    // A stepped slider lands on its steps; a value out of range is told as stored, the knob at
    // the end of its track.
    SliderRowStyle stepped;
    stepped.step = 1;
    VantrelSliderRow icons(
        "App icon size", 26, 80, [](double v) { return QString::number(qint64(v)) + QStringLiteral(" pt"); },
        stepped);
    icons.bind(VANTREL_PREFERENCE_BINDING(kit.preferences, customDockIconSize, CustomDockIconSize));
    EXPECT_EQ(icons.valueText(), "92 pt");
    EXPECT_EQ(icons.slider()->maximum(), 54);
    EXPECT_EQ(icons.slider()->value(), 54);
    icons.slider()->setValue(18);
    EXPECT_EQ(kit.preferences.customDockIconSize(), 44.0);
    EXPECT_EQ(row.valueText(), "44.0pt") << "the other row follows the model";

    const SliderRowLayout layout = SliderRowLayout::of(QSizeF(400, 24), SliderRowStyle{});
    EXPECT_EQ(layout.title, QRectF(0, 0, 110, 24));
    EXPECT_EQ(layout.slider, QRectF(118, 0, 220, 24));
    EXPECT_EQ(layout.value, QRectF(346, 0, 54, 24));
}

TEST(VantrelSliderRow, AWheelOverTheSliderIsLeftToThePageAndChangesNothing) {
    KitHarness kit;
    VantrelSliderRow row("Icon size", 24, 92, VantrelSliderRow::oneDecimal("pt"));
    row.resize(400, 24);
    row.bind(VANTREL_PREFERENCE_BINDING(kit.preferences, customDockIconSize, CustomDockIconSize));
    kit.log.entries.clear();
    const int position = row.slider()->value();
    for (int notch : {120, -120, 360}) {
        const QPointF centre = QRectF(row.slider()->rect()).center();
        QWheelEvent wheel(centre, row.slider()->mapToGlobal(centre), QPoint(), QPoint(0, notch), Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        QCoreApplication::sendEvent(row.slider(), &wheel);
        EXPECT_FALSE(wheel.isAccepted()) << "left for the scroll area around the row";
    }
    EXPECT_EQ(row.slider()->value(), position);
    EXPECT_EQ(row.valueText(), "44.0pt");
    EXPECT_EQ(kit.preferences.customDockIconSize(), 44.0);
    EXPECT_EQ(kit.log.entries, QStringList()) << "nothing written";
}

// An arrow moves a slider by one unit of its read-out, Page Up and Page Down by ten, Home and End
// to its ends; each move is written once.
TEST(VantrelSliderRow, KeysMoveByWholeUnitsOfTheReadOut) {
    KitHarness kit;
    VantrelSliderRow row("Icon size", 16, 86, VantrelSliderRow::oneDecimal("pt"));
    row.resize(400, 24);
    row.bind(VANTREL_PREFERENCE_BINDING(kit.preferences, customDockIconSize, CustomDockIconSize));
    kit.preferences.setCustomDockIconSize(48);
    row.slider()->setFocus();
    const std::pair<Qt::Key, const char*> moves[] = {
        {Qt::Key_Right, "49.0pt"},   {Qt::Key_Up, "50.0pt"},     {Qt::Key_Left, "49.0pt"},
        {Qt::Key_Down, "48.0pt"},    {Qt::Key_PageUp, "58.0pt"}, {Qt::Key_PageDown, "48.0pt"},
        {Qt::Key_End, "86.0pt"},     {Qt::Key_Right, "86.0pt"},  {Qt::Key_Home, "16.0pt"},
        {Qt::Key_PageDown, "16.0pt"}};
    for (const auto& [key, text] : moves) {
        QTest::keyClick(row.slider(), key);
        EXPECT_EQ(row.valueText(), text) << key;
        EXPECT_EQ(QString::asprintf("%.1fpt", kit.preferences.customDockIconSize()), text) << key;
    }
    // A value between units moves to the next whole one that way.
    kit.preferences.setCustomDockIconSize(48.26);
    QTest::keyClick(row.slider(), Qt::Key_Right);
    EXPECT_EQ(kit.preferences.customDockIconSize(), 49.0);
    kit.preferences.setCustomDockIconSize(48.6);
    QTest::keyClick(row.slider(), Qt::Key_Left);
    EXPECT_EQ(kit.preferences.customDockIconSize(), 48.0);

    // A per-cent read-out of 0...1 moves by 1 % and 10 %.
    VantrelSliderRow strength("Strength", 0, 1,
                              [](double v) { return QString::number(qRound(v * 100)) + QLatin1Char('%'); });
    strength.setValue(0.42);
    strength.slider()->setFocus();
    QTest::keyClick(strength.slider(), Qt::Key_Right);
    EXPECT_EQ(strength.valueText(), "43%");
    QTest::keyClick(strength.slider(), Qt::Key_PageUp);
    EXPECT_EQ(strength.valueText(), "53%");

    // A bare slider of a thousand positions moves by ten and a hundred.
    VantrelSlider volume(Qt::Horizontal);
    volume.setRange(0, 1000);
    volume.setValue(500);
    QTest::keyClick(&volume, Qt::Key_Right);
    EXPECT_EQ(volume.value(), 510);
    QTest::keyClick(&volume, Qt::Key_PageDown);
    EXPECT_EQ(volume.value(), 410);
    QTest::keyClick(&volume, Qt::Key_End);
    EXPECT_EQ(volume.value(), 1000);
}

// Return and Enter press a focused kit button or turn a switch, as Space does, once per press; a text editor
// beside it still takes Return as a new line.
TEST(KitButtons, ReturnAndEnterPressAFocusedButton) {
    KitHarness kit;
    QWidget window;
    auto* button = new VantrelButton("Continue", std::make_shared<VantrelPillButtonStyle>(Qt::blue), &window);
    auto* segments = new VantrelSegmentedControl("Mode", {"Dark", "Light"}, nullptr, &window);
    auto* help = new VantrelHelpButton(kit.preferences, kit.appearance, "Theme", "Pick a theme.", &window);
    auto* editor = new QPlainTextEdit(&window);
    segments->setGeometry(0, 40, 220, 28);
    help->move(0, 80);
    editor->setGeometry(0, 120, 200, 60);
    window.resize(240, 200);
    window.show();
    QApplication::setActiveWindow(&window);

    int presses = 0;
    QObject::connect(button, &QAbstractButton::clicked, [&presses] { ++presses; });
    button->setFocus(Qt::TabFocusReason);
    QTest::keyClick(button, Qt::Key_Return);
    QTest::keyClick(button, Qt::Key_Enter, Qt::KeypadModifier);
    QTest::keyClick(button, Qt::Key_Space);
    EXPECT_EQ(presses, 3);
    QTest::keyEvent(QTest::Press, button, Qt::Key_Return, Qt::NoModifier);
    QKeyEvent held(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, QString(), true);
    QApplication::sendEvent(button, &held);
    EXPECT_EQ(presses, 4) << "a key held down presses once";
    button->setEnabled(false);
    QTest::keyClick(button, Qt::Key_Return);
    EXPECT_EQ(presses, 4) << "a button that cannot be used now";

    int chosen = -1;
    QObject::connect(segments, &VantrelSegmentedControl::chosen, [&chosen](int index) { chosen = index; });
    segments->segment(1)->setFocus(Qt::TabFocusReason);
    QTest::keyClick(segments->segment(1), Qt::Key_Return);
    EXPECT_EQ(chosen, 1);

    help->setFocus(Qt::TabFocusReason);
    QTest::keyClick(help, Qt::Key_Return);
    EXPECT_TRUE(help->isPresented());
    if (help->popover()) help->popover()->close();

    auto* toggle = new VantrelSwitch(nullptr, &window);
    toggle->move(120, 80);
    toggle->show();
    toggle->setFocus(Qt::TabFocusReason);
    QTest::keyClick(toggle, Qt::Key_Return);
    EXPECT_TRUE(toggle->isChecked()) << "a switch turns as with Space";

    editor->setFocus(Qt::TabFocusReason);
    QTest::keyClicks(editor, "a");
    QTest::keyClick(editor, Qt::Key_Return);
    QTest::keyClicks(editor, "b");
    EXPECT_EQ(editor->toPlainText(), "a\nb");
}

// The ring takes the accent where it stands out from its surface by 3:1, and a darker or lighter
// accent where it does not.
TEST(KitFocusRing, TheRingColourStandsOutFromTheSurfaceItIsDrawnOn) {
    const QColor sky = QColor::fromRgbF(0.18f, 0.67f, 1.0f);
    const QColor graphite = QColor::fromRgbF(0.64f, 0.72f, 0.84f);
    EXPECT_NEAR(KitPaint::contrastRatio(Qt::black, Qt::white), 21.0, 0.01);
    EXPECT_NEAR(KitPaint::contrastRatio(QColor(0xDF, 0xE6, 0xF0), QColor(0xE1, 0xE3, 0xE6)), 1.02, 0.01);
    EXPECT_EQ(KitPaint::ringColor(QColor(8, 8, 11), sky), sky) << "the accent on the dark canvas";
    for (const QColor& surface : {QColor(0xE1, 0xE3, 0xE6), QColor(Qt::white), QColor(0xF6, 0xF7, 0xF8),
                                  QColor(0x5A, 0x5A, 0x60), QColor(8, 8, 11), QColor(0x2E, 0xAA, 0xFF)})
        for (const QColor& accent : {sky, graphite, QColor::fromRgbF(0.88f, 0.79f, 0.62f)}) {
            const QColor ring = KitPaint::ringColor(surface, accent);
            EXPECT_GE(KitPaint::contrastRatio(ring, surface), 3.0)
                << surface.name().toStdString() << " " << accent.name().toStdString();
        }
    // On a light surface the accent darkens and keeps its hue: blue stays blue.
    const QColor onGlass = KitPaint::ringColor(QColor(0xE1, 0xE3, 0xE6), sky);
    EXPECT_GT(onGlass.blue(), onGlass.red());
    EXPECT_LT(onGlass.lightness(), sky.lightness());
}
