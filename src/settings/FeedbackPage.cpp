#include "settings/FeedbackPage.h"

#include "control-center/InputMonitoringRequest.h"
#include "core/PermissionCenter.h"
#include "core/VantrelPreferences.h"
#include "kit/FeatureRow.h"
#include "kit/GlassCard.h"
#include "kit/HazardBadge.h"
#include "kit/KeyActivation.h"
#include "kit/KitPaint.h"
#include "kit/MetricPill.h"
#include "kit/SettingBinding.h"
#include "kit/SettingsCard.h"
#include "kit/VantrelButton.h"
#include "kit/VantrelConcentricGeometry.h"
#include "kit/VantrelGlyph.h"
#include "kit/VantrelLabel.h"
#include "kit/VantrelMenuPicker.h"
#include "kit/VantrelPillButtonStyle.h"
#include "kit/VantrelSecondaryButtonStyle.h"
#include "kit/VantrelSwitch.h"
#include "kit/VantrelTheme.h"
#include "kit/VantrelType.h"
#include "platform/PermissionSystem.h"
#include "services/FeedbackEngine.h"
#include "settings/PageDivider.h"

#include <QFontMetricsF>
#include <QGraphicsOpacityEffect>
#include <QHBoxLayout>
#include <QLinearGradient>
#include <QPainter>
#include <QResizeEvent>
#include <QVBoxLayout>
#include <functional>

namespace vantrel {

using VantrelTheme::withOpacity;

namespace {

constexpr double kGlyphFrame = 24;
constexpr double kGlyphSize = 14;
constexpr double kChoiceSpacing = 10;

struct StrengthText {
    const char* title;
    double value;
    const char* symbol;
};

constexpr StrengthText kStrengths[] = {
    {"Gentle", 0.18, "waveform.path"},
    {"Balanced", 0.5, "waveform.path.ecg"},
    {"Firm", 0.88, "waveform.path.ecg.rectangle"},
};

struct GestureText {
    FeedbackTrigger trigger;
    const char* symbol;
    const char* title;
    const char* subtitle;
};

constexpr GestureText kGestures[] = {
    {FeedbackTrigger::scroll, "hand.draw", "Scrolling",
     "Even detents in both directions; fast scrolling may increase cadence"},
    {FeedbackTrigger::click, "cursorarrow.click", "Clicking",
     "Prototype detects primary and secondary pointer-down events"},
    {FeedbackTrigger::forceClick, "hand.tap.fill", "Force click",
     "One event when pressure enters stage two; release always resets it"},
    {FeedbackTrigger::swipe, "hand.point.up.left", "Swiping",
     "One event when macOS reports a swipe or magnify gesture"},
};

QColor accentOf(const VantrelPreferences& preferences) {
    return VantrelTheme::accent(preferences.accent());
}

// The surface a preview is felt on: a recessed, gently lit panel with the gesture's glyph and
// what the button below does.
class PreviewSurface final : public QWidget {
public:
    static constexpr double kHeight = 176;
    static constexpr double kRadius = 24;

    explicit PreviewSurface(VantrelPreferences& preferences, QWidget* parent) : QWidget(parent) {
        setFixedHeight(int(kHeight));
        setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
        auto* stack = new QVBoxLayout(this);
        stack->setContentsMargins(0, 0, 0, 0);
        stack->setSpacing(13);
        stack->addStretch(1);
        stack->addWidget(new VantrelGlyph(QStringLiteral("hand.draw.fill"), accentOf(preferences), 36,
                                          QFont::DemiBold, 48, 48, this),
                         0, Qt::AlignHCenter);
        auto* title = new VantrelLabel(QStringLiteral("Preview surface"), VantrelType::label(),
                                       VantrelLabel::primary(), this);
        stack->addWidget(title, 0, Qt::AlignHCenter);
        auto* detail = new VantrelLabel(QStringLiteral("One finite response using the selected scroll feel"),
                                        VantrelType::caption(), VantrelTheme::secondaryText(), this);
        detail->setAlignment(Qt::AlignHCenter);
        stack->addWidget(detail, 0, Qt::AlignHCenter);
        stack->addStretch(1);
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        const ColorScheme scheme = VantrelTheme::colorScheme(this);
        const QRectF frame = QRectF(rect()).adjusted(0.4, 0.4, -0.4, -0.4);
        const QPainterPath shape = VantrelConcentricGeometry::nestedRectangle(kRadius).path(frame);
        QLinearGradient fill(frame.topLeft(), frame.bottomLeft());
        fill.setColorAt(0, withOpacity(VantrelTheme::surfaceHighlight().resolve(scheme), 0.1));
        fill.setColorAt(1, withOpacity(VantrelTheme::recessed().resolve(scheme), 0.72));
        painter.fillPath(shape, fill);
        painter.strokePath(shape, QPen(VantrelTheme::keyline().resolve(scheme), 0.8));
    }
};

// The preview and strength cards: side by side while the preview's pills and button fit beside
// the strength card, which keeps its width; in a narrower window the strength card goes under the
// preview, so that neither card squeezes what it shows.
class CardPair final : public QWidget {
public:
    CardPair(QWidget* preview, QWidget* strength, std::function<int()> previewWidth)
        : line_(new QBoxLayout(QBoxLayout::LeftToRight, this)), strength_(strength),
          previewWidth_(std::move(previewWidth)) {
        line_->setContentsMargins(0, 0, 0, 0);
        line_->setSpacing(16);
        line_->addWidget(preview, 1, Qt::AlignTop);
        line_->addWidget(strength, 0, Qt::AlignTop);
    }
    void arrange() { arrange(width()); }

protected:
    void resizeEvent(QResizeEvent* event) override {
        arrange(event->size().width());
        QWidget::resizeEvent(event);
    }

private:
    void arrange(int width) {
        const bool sideBySide = width >= previewWidth_() + line_->spacing() + strength_->minimumWidth();
        const QBoxLayout::Direction direction =
            sideBySide ? QBoxLayout::LeftToRight : QBoxLayout::TopToBottom;
        if (line_->direction() != direction) line_->setDirection(direction);
    }

    QBoxLayout* line_;
    QWidget* strength_;
    std::function<int()> previewWidth_;
};

QWidget* paddedVertically(QWidget* content, int padding) {
    auto* frame = new QWidget;
    auto* layout = new QVBoxLayout(frame);
    layout->setContentsMargins(0, padding, 0, padding);
    layout->addWidget(content);
    content->setParent(frame);
    return frame;
}

} // namespace

// StrengthChoice

StrengthChoice::StrengthChoice(VantrelPreferences& preferences, const QString& title, double value,
                               const QString& symbol, QWidget* parent)
    : QAbstractButton(parent), preferences_(preferences), value_(value), symbol_(symbol) {
    setText(title);
    setFont(VantrelType::label());
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::StrongFocus);
    KitPaint::watchFocusReason(this);
    KeyActivation::pressOnReturn(this);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    setFixedHeight(int(kHeight));
    setCheckable(true);
}

void StrengthChoice::setSelected(bool selected) {
    // Checked is how assistive technology hears that the choice is the selected one.
    setChecked(selected);
}

void StrengthChoice::nextCheckState() {
    // A press chooses; the page marks the choice once the strength is written.
}

QSize StrengthChoice::sizeHint() const {
    const double title = std::ceil(QFontMetricsF(font()).horizontalAdvance(text()));
    return QSize(int(2 * kPadding + 2 * kGlyphFrame + 2 * kChoiceSpacing + title), int(kHeight));
}

StrengthChoice::Layout StrengthChoice::layout(const QSizeF& size) {
    const double glyphTop = (size.height() - kGlyphFrame) / 2;
    Layout l;
    l.symbol = QRectF(kPadding, glyphTop, kGlyphFrame, kGlyphFrame);
    l.check = QRectF(size.width() - kPadding - kGlyphFrame, glyphTop, kGlyphFrame, kGlyphFrame);
    const double titleLeft = l.symbol.right() + kChoiceSpacing;
    l.title = QRectF(titleLeft, 0, std::max(0.0, l.check.left() - kChoiceSpacing - titleLeft), size.height());
    return l;
}

void StrengthChoice::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const ColorScheme scheme = VantrelTheme::colorScheme(this);
    const QColor accent = accentOf(preferences_);
    const QRectF frame = QRectF(rect()).adjusted(0.4, 0.4, -0.4, -0.4);
    const QPainterPath shape = VantrelConcentricGeometry::nestedRectangle(kRadius).path(frame);
    painter.fillPath(shape,
                     isChecked() ? withOpacity(accent, 0.1) : VantrelTheme::elevated().resolve(scheme));
    painter.strokePath(
        shape, QPen(isChecked() ? withOpacity(accent, 0.42) : VantrelTheme::border().resolve(scheme), 0.8));
    if (isDown()) painter.fillPath(shape, KitPaint::primary(scheme, 0.05));

    const Layout l = layout(size());
    VantrelGlyph::paint(painter, l.symbol, symbol_,
                        isChecked() ? accent : VantrelTheme::secondaryText().resolve(scheme), kGlyphSize,
                        QFont::DemiBold);
    VantrelGlyph::paint(
        painter, l.check, isChecked() ? QStringLiteral("checkmark.circle.fill") : QStringLiteral("circle"),
        isChecked() ? accent : VantrelTheme::tertiaryText().resolve(scheme), kGlyphSize, QFont::DemiBold);
    painter.setFont(font());
    painter.setPen(VantrelLabel::primary().resolve(scheme));
    painter.drawText(l.title, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, text());
    KitPaint::paintFocusRingOf(painter, this, kRadius);
}

// FeedbackPage

QString FeedbackPage::strengthBand(double strength) {
    if (strength < 0.34) return QStringLiteral("Gentle");
    if (strength < 0.7) return QStringLiteral("Balanced");
    return QStringLiteral("Firm");
}

FeedbackPage::FeedbackPage(const ControlCenterContext& context, QWidget* parent)
    : VantrelPage(context.preferences, QStringLiteral("Trackpad"), std::nullopt, kMaxWidth, parent),
      context_(context) {
    addContent(makeMasterCard());
    QWidget* preview = makePreviewCard();
    QWidget* previewRow = enginePill_->parentWidget();
    const QMargins padding = previewRow->parentWidget()->layout()->contentsMargins();
    cardPair_ = new CardPair(preview, makeStrengthCard(), [previewRow, padding] {
        return previewRow->sizeHint().width() + padding.left() + padding.right();
    });
    addContent(cardPair_);
    addContent(makeGestureCard());
    addContent(makeInterfaceCard());

    showEngine();
    showPermission();
    showStrength();
    connect(&context_.feedback, &FeedbackEngine::isListeningChanged, this, &FeedbackPage::showEngine);
    connect(&context_.feedback, &FeedbackEngine::pulseCountChanged, this, &FeedbackPage::showEngine);
    connect(&context_.permissions, &PermissionCenter::statesChanged, this, &FeedbackPage::showPermission);
    VantrelPreferences& preferences = context_.preferences;
    preferences.onChange(VantrelPreferences::Setting::feedbackEnabled, this, [this] { showPermission(); });
    preferences.onChange(VantrelPreferences::Setting::feedbackStrength, this, [this] { showStrength(); });
    preferences.onChange(VantrelPreferences::Setting::accent, this, [this] {
        showEngine();
        static_cast<VantrelButton*>(previewButton_)
            ->setButtonStyle(
                std::make_shared<VantrelPillButtonStyle>(accentOf(context_.preferences), &context_.haptics));
        for (StrengthChoice* choice : strengthChoices_) choice->update();
    });
}

SettingsCard* FeedbackPage::makeMasterCard() {
    VantrelPreferences& preferences = context_.preferences;
    masterCard_ = new SettingsCard(
        preferences, context_.appearance, QStringLiteral("Trackpad feedback"), QStringLiteral("Off"),
        QStringLiteral("Input Monitoring lets Vantrel notice gestures while another app is active. Vantrel "
                       "observes the gesture event and does not read the text you type."));
    auto* content = new QWidget(masterCard_);
    auto* stack = new QVBoxLayout(content);
    stack->setContentsMargins(0, 0, 0, 0);
    stack->setSpacing(16);

    masterSwitch_ = new VantrelSwitch(&context_.haptics);
    masterSwitch_->setMotion(&context_.motion);
    VantrelPreferences* store = &preferences;
    masterSwitch_->bind({.get = [store] { return store->feedbackEnabled(); },
                         .set = [this](bool on) { setFeedbackEnabled(on); },
                         .observe =
                             [store](const QObject* owner, std::function<void()> action) {
                                 store->onChange(VantrelPreferences::Setting::feedbackEnabled, owner,
                                                 std::move(action));
                             }});
    stack->addWidget(new FeatureRow(preferences, QStringLiteral("rectangle.and.hand.point.up.left"),
                                    accentOf(preferences), QStringLiteral("Use trackpad feedback"),
                                    QStringLiteral("One master switch for gesture feedback across macOS"),
                                    masterSwitch_, content));

    notice_ = new QWidget(content);
    auto* noticeStack = new QVBoxLayout(notice_);
    noticeStack->setContentsMargins(0, 0, 0, 0);
    noticeStack->setSpacing(16);
    noticeStack->addWidget(new PageDivider(0.24, 0, notice_));
    auto* noticeRow = new QWidget(notice_);
    auto* line = new QHBoxLayout(noticeRow);
    line->setContentsMargins(0, 0, 0, 0);
    line->setSpacing(12);
    line->addWidget(new HazardBadge(QStringLiteral("Input Monitoring required"), noticeRow), 0,
                    Qt::AlignVCenter);
    auto* hint = new VantrelLabel(QStringLiteral("Allow access before testing global gestures."),
                                  VantrelType::caption(), VantrelTheme::secondaryText(), noticeRow);
    hint->setWordWrap(true);
    line->addWidget(hint, 1, Qt::AlignVCenter);
    auto* allow = new VantrelButton(QStringLiteral("Allow…"), std::make_shared<VantrelSecondaryButtonStyle>(),
                                    noticeRow);
    allow->setMotion(&context_.motion);
    allowButton_ = allow;
    line->addWidget(allow, 0, Qt::AlignVCenter);
    PermissionCenter* permissions = &context_.permissions;
    connect(allow, &QAbstractButton::clicked, this, [permissions] { requestInputMonitoring(*permissions); });
    noticeStack->addWidget(noticeRow);
    stack->addWidget(notice_);

    masterCard_->addContent(content);
    return masterCard_;
}

QWidget* FeedbackPage::makePreviewCard() {
    VantrelPreferences& preferences = context_.preferences;
    auto* content = new QWidget;
    auto* stack = new QVBoxLayout(content);
    stack->setContentsMargins(20, 20, 20, 20);
    stack->setSpacing(18);
    previewSurface_ = new PreviewSurface(preferences, content);
    stack->addWidget(previewSurface_);

    auto* row = new QWidget(content);
    auto* line = new QHBoxLayout(row);
    line->setContentsMargins(0, 0, 0, 0);
    line->setSpacing(10);
    enginePill_ = new MetricPill(QStringLiteral("Engine"), QStringLiteral("Off"),
                                 QStringLiteral("dot.radiowaves.left.and.right"), accentOf(preferences), row);
    line->addWidget(enginePill_, 0, Qt::AlignVCenter);
    pulsesPill_ = new MetricPill(QStringLiteral("Session pulses"), QStringLiteral("0"),
                                 QStringLiteral("waveform"), accentOf(preferences), row);
    line->addWidget(pulsesPill_, 0, Qt::AlignVCenter);
    line->addStretch(1);
    auto* preview = new VantrelButton(
        QStringLiteral("Preview"),
        std::make_shared<VantrelPillButtonStyle>(accentOf(preferences), &context_.haptics), row);
    preview->setMotion(&context_.motion);
    previewButton_ = preview;
    line->addWidget(preview, 0, Qt::AlignVCenter);
    connect(preview, &QAbstractButton::clicked, this, &FeedbackPage::previewScroll);
    stack->addWidget(row);

    auto* card = new GlassCard(preferences, 0, content);
    card->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    return card;
}

SettingsCard* FeedbackPage::makeStrengthCard() {
    strengthCard_ = new SettingsCard(
        context_.preferences, context_.appearance, QStringLiteral("Strength"), std::nullopt,
        QStringLiteral(
            "macOS provides fixed haptic patterns rather than true amplitude control. These choices "
            "select a restrained, balanced, or more decisive finite pattern."));
    strengthCard_->setFixedWidth(int(kStrengthCardWidth));
    auto* content = new QWidget(strengthCard_);
    auto* stack = new QVBoxLayout(content);
    stack->setContentsMargins(0, 0, 0, 0);
    stack->setSpacing(10);
    for (const StrengthText& strength : kStrengths) {
        auto* choice = new StrengthChoice(context_.preferences, QString::fromUtf8(strength.title),
                                          strength.value, QString::fromUtf8(strength.symbol), content);
        const double value = strength.value;
        connect(choice, &QAbstractButton::clicked, this, [this, value] { chooseStrength(value); });
        strengthChoices_ << choice;
        stack->addWidget(choice);
    }
    strengthCard_->addContent(content);
    return strengthCard_;
}

SettingsCard* FeedbackPage::makeGestureCard() {
    auto* card = new SettingsCard(
        context_.preferences, context_.appearance, QStringLiteral("Gesture haptics"),
        QStringLiteral("Finite, haptic-only responses for the gestures you enable"),
        QStringLiteral(
            "Each gesture uses its selected feel. Vantrel rate-limits responses so one action cannot "
            "turn into a buzz, and it never adds sound to Trackpad feedback."));
    gestureRows_ = new QWidget(card);
    auto* stack = new QVBoxLayout(gestureRows_);
    stack->setContentsMargins(0, 0, 0, 0);
    stack->setSpacing(0);
    for (const GestureText& gesture : kGestures) {
        if (gesture.trigger != kGestures[0].trigger) stack->addWidget(new PageDivider(0.24, 0, gestureRows_));
        stack->addWidget(makeGestureRow(gesture.trigger));
    }
    auto* fade = new QGraphicsOpacityEffect(gestureRows_);
    fade->setOpacity(kUnusableOpacity);
    gestureRows_->setGraphicsEffect(fade);
    card->addContent(gestureRows_);
    return card;
}

QWidget* FeedbackPage::makeGestureRow(FeedbackTrigger trigger) {
    const GestureText& text =
        *std::find_if(std::begin(kGestures), std::end(kGestures),
                      [trigger](const GestureText& each) { return each.trigger == trigger; });
    VantrelPreferences& preferences = context_.preferences;
    VantrelPreferences* store = &preferences;
    const QString title = QString::fromUtf8(text.title);

    auto* controls = new QWidget;
    auto* line = new QHBoxLayout(controls);
    line->setContentsMargins(0, 0, 0, 0);
    line->setSpacing(10);
    QStringList titles;
    QList<HapticStyle> styles;
    for (HapticStyle style : allCasesOf<HapticStyle>()) {
        titles << vantrel::title(style);
        styles << style;
    }
    // A feel is chosen quietly: its preview is the answer.
    auto* picker = new VantrelMenuPicker(title, titles, context_.menus, nullptr, controls);
    picker->setFixedWidth(int(kPickerWidth));
    FeedbackEngine* engine = &context_.feedback;
    picker->bind(SettingBinding<HapticStyle>{
                     .get = [store, trigger] { return store->feedbackStyle(trigger); },
                     .set =
                         [store, engine, trigger](HapticStyle style) {
                             store->setFeedbackStyle(style, trigger);
                             engine->preview(style);
                         },
                     .observe =
                         [store](const QObject* owner, std::function<void()> action) {
                             store->onChange(VantrelPreferences::Setting::feedbackTriggerStyles, owner,
                                             action);
                             store->onChange(VantrelPreferences::Setting::feedbackHapticStyle, owner, action);
                         }},
                 styles);
    stylePickers_[trigger] = picker;
    line->addWidget(picker, 0, Qt::AlignVCenter);

    auto* toggle = new VantrelSwitch(&context_.haptics, controls);
    toggle->setMotion(&context_.motion);
    toggle->bind({.get = [store, trigger] { return store->isFeedbackTriggerEnabled(trigger); },
                  .set = [this, trigger](bool on) { setTriggerEnabled(trigger, on); },
                  .observe =
                      [store](const QObject* owner, std::function<void()> action) {
                          store->onChange(VantrelPreferences::Setting::feedbackTriggers, owner,
                                          std::move(action));
                      }});
    triggerSwitches_[trigger] = toggle;
    line->addWidget(toggle, 0, Qt::AlignVCenter);

    auto* row = new FeatureRow(preferences, QString::fromUtf8(text.symbol), accentOf(preferences), title,
                               QString::fromUtf8(text.subtitle), controls);
    // The row names the pair; each control keeps its own name.
    picker->setAccessibleName(title);
    toggle->setAccessibleName(title);
    return paddedVertically(row, 10);
}

SettingsCard* FeedbackPage::makeInterfaceCard() {
    VantrelPreferences& preferences = context_.preferences;
    auto* card =
        new SettingsCard(preferences, context_.appearance, QStringLiteral("Vantrel controls"), std::nullopt,
                         QStringLiteral("This controls feedback produced by Vantrel's own buttons and "
                                        "surfaces. It does not require Input Monitoring."));
    interfaceSwitch_ = new VantrelSwitch(&context_.haptics);
    interfaceSwitch_->setMotion(&context_.motion);
    interfaceSwitch_->bind(
        VANTREL_PREFERENCE_BINDING(preferences, interfaceHapticsEnabled, InterfaceHapticsEnabled));
    card->addContent(new FeatureRow(
        preferences, QStringLiteral("switch.2"), accentOf(preferences), QStringLiteral("Interface feedback"),
        QStringLiteral("Meaningful buttons, toggles, notch changes, and Dock actions"), interfaceSwitch_,
        card));
    return card;
}

void FeedbackPage::setFeedbackEnabled(bool on) {
    VantrelPreferences& preferences = context_.preferences;
    FeedbackEngine& engine = context_.feedback;
    preferences.setFeedbackEnabled(on);
    if (on) {
        // Started whether or not access is granted: the engine listens as soon as it is.
        context_.permissions.system().requestListenEventAccess();
        engine.setPreferences(&preferences);
        engine.start();
    } else {
        engine.stop();
    }
}

void FeedbackPage::setTriggerEnabled(FeedbackTrigger trigger, bool on) {
    VantrelPreferences& preferences = context_.preferences;
    FeedbackEngine& engine = context_.feedback;
    preferences.setFeedbackTrigger(trigger, on);
    // The engine decides which gestures it watches when it starts: a restart applies the new set.
    engine.setPreferences(&preferences);
    engine.stop();
    if (preferences.feedbackEnabled()) engine.start();
    if (on) engine.preview(preferences.feedbackStyle(trigger));
}

void FeedbackPage::chooseStrength(double value) {
    context_.preferences.setFeedbackStrength(value);
    previewScroll();
}

void FeedbackPage::previewScroll() {
    context_.feedback.preview(context_.preferences.feedbackStyle(FeedbackTrigger::scroll));
}

void FeedbackPage::showEngine() {
    const bool listening = context_.feedback.isListening();
    masterCard_->setSubtitle(listening ? QStringLiteral("Listening for enabled gestures")
                                       : QStringLiteral("Off"));
    enginePill_->setValue(listening ? QStringLiteral("Listening") : QStringLiteral("Off"));
    enginePill_->setColor(listening ? accentOf(context_.preferences) : VantrelTheme::dormant().resolve(this));
    pulsesPill_->setValue(QString::number(context_.feedback.pulseCount()));
    pulsesPill_->setColor(accentOf(context_.preferences));
    // "Listening" is wider than "Off".
    static_cast<CardPair*>(cardPair_)->arrange();
}

void FeedbackPage::showPermission() {
    const bool allowed = context_.permissions.inputMonitoring() == PermissionState::allowed;
    notice_->setVisible(!allowed);
    const bool usable = allowed && context_.preferences.feedbackEnabled();
    gestureRows_->setEnabled(usable);
    gestureRows_->graphicsEffect()->setEnabled(!usable);
}

double FeedbackPage::gestureOpacity() const {
    const auto* fade = static_cast<const QGraphicsOpacityEffect*>(gestureRows_->graphicsEffect());
    return fade->isEnabled() ? fade->opacity() : 1.0;
}

void FeedbackPage::showStrength() {
    const QString band = strengthBand(context_.preferences.feedbackStrength());
    for (StrengthChoice* choice : strengthChoices_) choice->setSelected(choice->text() == band);
}

bool FeedbackPage::event(QEvent* event) {
    // The dormant grey of a stopped engine differs between the appearances.
    if (event->type() == VantrelTheme::colorSchemeChangeEvent()) showEngine();
    return VantrelPage::event(event);
}

} // namespace vantrel
