#include "settings/TintEditor.h"

#include "core/VantrelPreferences.h"
#include "kit/KeyActivation.h"
#include "kit/KitPaint.h"
#include "kit/VantrelButton.h"
#include "kit/VantrelLabel.h"
#include "kit/VantrelPillButtonStyle.h"
#include "kit/VantrelTheme.h"
#include "kit/VantrelType.h"
#include "platform/ColorPicker.h"
#include "settings/TintEditorModel.h"

#include <QFontMetricsF>
#include <QHBoxLayout>
#include <QPainter>
#include <QPainterPath>
#include <QVariantAnimation>

namespace vantrel {

namespace {

// The accent pill at the small control size: the same fill and press, a smaller label and padding.
class SmallPillStyle final : public VantrelButtonStyle {
public:
    SmallPillStyle(QColor tint, VantrelHaptics* haptics) : pill_(tint, haptics) {}
    ButtonLook look(double pressed, ColorScheme scheme) const override {
        ButtonLook look = pill_.look(pressed, scheme);
        look.font = VantrelType::font(11, QFont::Bold);
        look.horizontalPadding = 11;
        look.verticalPadding = 5;
        look.shape = VantrelConcentricGeometry::nestedRectangle(7);
        return look;
    }
    std::optional<VantrelAnimation> pressAnimation() const override { return pill_.pressAnimation(); }
    void pressBegan() const override { pill_.pressBegan(); }

private:
    VantrelPillButtonStyle pill_;
};

QColor mix(const QColor& from, const QColor& to, double t) {
    const auto at = [t](double a, double b) { return float(a + (b - a) * t); };
    return QColor::fromRgbF(at(from.redF(), to.redF()), at(from.greenF(), to.greenF()),
                            at(from.blueF(), to.blueF()), at(from.alphaF(), to.alphaF()));
}

QFont textButtonFont() {
    QFont font = VantrelType::caption();
    font.setWeight(QFont::DemiBold);
    return font;
}

} // namespace

ColorWell::ColorWell(QWidget* parent) : QAbstractButton(parent) {
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::StrongFocus);
    KitPaint::watchFocusReason(this);
    KeyActivation::pressOnReturn(this);
}

void ColorWell::setColor(const QColor& color) {
    if (color == color_) return;
    color_ = color;
    update();
}

void ColorWell::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const ColorScheme scheme = KitPaint::scheme(this);
    const QRectF frame = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    QPainterPath outer;
    outer.addRoundedRect(frame, 6, 6);
    painter.fillPath(outer, VantrelTheme::elevated().resolve(scheme));
    painter.setPen(QPen(VantrelTheme::border().resolve(scheme), 1));
    painter.drawPath(outer);
    QPainterPath swatch;
    swatch.addRoundedRect(frame.adjusted(3.5, 3.5, -3.5, -3.5), 3.5, 3.5);
    painter.fillPath(swatch, color_);
    KitPaint::paintFocusRingOf(painter, this, 6);
}

TextButton::TextButton(const QString& text, QWidget* parent) : QAbstractButton(parent) {
    setText(text);
    setAccessibleName(text);
    setFont(textButtonFont());
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::StrongFocus);
    KitPaint::watchFocusReason(this);
    KeyActivation::pressOnReturn(this);
}

void TextButton::setColor(const QColor& color) {
    if (color == color_) return;
    color_ = color;
    update();
}

QSize TextButton::sizeHint() const {
    const QFontMetricsF metrics(font());
    return QSize(int(std::ceil(metrics.horizontalAdvance(text()))) + 4, int(std::ceil(metrics.height())) + 4);
}

void TextButton::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.setFont(font());
    QColor color = color_;
    if (isDown()) color = VantrelTheme::withOpacity(color, 0.6);
    if (!isEnabled()) color = VantrelTheme::withOpacity(color, 0.4);
    painter.setPen(color);
    painter.drawText(rect(), Qt::AlignCenter, text());
    KitPaint::paintFocusRingOf(painter, this, 7);
}

TintEditor::TintEditor(TintEditorModel& model, VantrelPreferences& preferences, VantrelHaptics& haptics,
                       VantrelMotion& motion, ColorPicker& picker, QWidget* parent)
    : QWidget(parent), model_(model), preferences_(preferences), haptics_(haptics), motion_(motion),
      picker_(picker), resetTransition_(new QVariantAnimation(this)) {
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(10);

    well_ = new ColorWell(this);
    well_->setObjectName(QStringLiteral("well"));
    well_->setAccessibleName(model_.texts().wellLabel);
    connect(well_, &QAbstractButton::clicked, this, &TintEditor::openPicker);
    row->addWidget(well_, 0, Qt::AlignVCenter);

    status_ = new VantrelLabel(QString(), VantrelType::caption(), VantrelTheme::secondaryText(), this);
    status_->setObjectName(QStringLiteral("status"));
    status_->setFixedWidth(88);
    status_->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    row->addWidget(status_, 0, Qt::AlignVCenter);

    save_ = new VantrelButton(
        QStringLiteral("Save color"),
        std::make_shared<SmallPillStyle>(VantrelTheme::accent(preferences_.accent()), &haptics_), this);
    save_->setObjectName(QStringLiteral("saveColor"));
    save_->setMotion(&motion);
    connect(save_, &QAbstractButton::clicked, this, [this] { model_.save(); });
    row->addWidget(save_, 0, Qt::AlignVCenter);

    cancel_ = new TextButton(QStringLiteral("Cancel"), this);
    cancel_->setObjectName(QStringLiteral("cancel"));
    connect(cancel_, &QAbstractButton::clicked, this, [this] { model_.cancel(); });
    row->addWidget(cancel_, 0, Qt::AlignVCenter);

    reset_ = new TextButton(QStringLiteral("Reset"), this);
    reset_->setObjectName(QStringLiteral("reset"));
    reset_->setToolTip(model_.texts().resetHelp);
    reset_->setAccessibleDescription(model_.texts().resetHelp);
    connect(reset_, &QAbstractButton::clicked, this, &TintEditor::resetClicked);
    connect(resetTransition_, &QVariantAnimation::valueChanged, this, [this](const QVariant& value) {
        resetProgress_ = value.toDouble();
        sync();
    });
    connect(resetTransition_, &QVariantAnimation::finished, this, &TintEditor::endResetTransition);
    row->addWidget(reset_, 0, Qt::AlignVCenter);
    row->addStretch(1);

    connect(&model_, &TintEditorModel::changed, this, &TintEditor::sync);
    // The stored tint, its switch and the accent may change from anywhere.
    connect(&preferences_, &VantrelPreferences::changed, this, [this](VantrelPreferences::Setting setting) {
        if (setting == VantrelPreferences::Setting::accent) applyAccent();
        sync();
    });
    applyAccent();
}

void TintEditor::applyAccent() {
    const QColor accent = VantrelTheme::accent(preferences_.accent());
    save_->setButtonStyle(std::make_shared<SmallPillStyle>(accent, &haptics_));
    save_->setAccessibleName(model_.texts().saveLabel);
    reset_->setColor(accent);
    sync();
}

void TintEditor::resetClicked() {
    const QColor before = well_->color();
    // The buttons Reset takes away, drawn as they are now, fade out where they stood; the row
    // itself takes its new shape at once, so nothing else moves.
    // A control shown a moment ago may not have been placed yet.
    layout()->activate();
    // Only the control itself, over nothing: the row's background stays the row's.
    const auto snapshot = [ratio = devicePixelRatioF()](QWidget* control) {
        QImage image(control->size() * ratio, QImage::Format_ARGB32_Premultiplied);
        image.setDevicePixelRatio(ratio);
        image.fill(Qt::transparent);
        control->render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
        return FadingControl{image, control->pos()};
    };
    std::vector<FadingControl> shown;
    for (QWidget* control :
         {static_cast<QWidget*>(save_), static_cast<QWidget*>(cancel_), static_cast<QWidget*>(reset_)}) {
        if (control->isVisibleTo(this)) shown.push_back(snapshot(control));
    }
    // The status changes its text: the old one fades out as the new one fades in, so neither
    // shows at full strength beside the fading buttons.
    FadingControl oldStatus = snapshot(status_);
    model_.reset();
    const std::optional<VantrelAnimation> animation =
        resetAnimation_ ? motion_.resolve(VantrelMotion::Kind::transition, *resetAnimation_) : std::nullopt;
    if (!animation || animation->duration <= 0) return;
    resetTransition_->stop();
    wellBefore_ = before;
    fading_ = std::move(shown);
    fadingStatus_ = std::move(oldStatus);
    resetProgress_ = 0;
    animation->run(*resetTransition_, 0.0, 1.0);
    sync();
}

void TintEditor::endResetTransition() {
    resetProgress_ = 1;
    fading_.clear();
    fadingStatus_.reset();
    sync();
}

void TintEditor::paintEvent(QPaintEvent*) {
    if (fading_.empty() && !fadingStatus_) return;
    QPainter painter(this);
    painter.setOpacity(fadingOpacity());
    const auto draw = [&painter](const FadingControl& control) {
        painter.drawImage(QRectF(control.position, control.image.deviceIndependentSize()), control.image);
    };
    for (const FadingControl& control : fading_) draw(control);
    if (fadingStatus_) draw(*fadingStatus_);
}

void TintEditor::sync() {
    // A colour picked while Reset fades brings its buttons back whole, in place of the fading ones.
    if (!fading_.empty() && (model_.offersSave() || model_.offersReset())) {
        resetTransition_->stop();
        fading_.clear();
        fadingStatus_.reset();
        resetProgress_ = 1;
    }
    const bool fadingWell = resetProgress_ < 1 && !model_.pending();
    well_->setColor(fadingWell ? mix(wellBefore_, model_.wellColor(), resetProgress_) : model_.wellColor());
    status_->setText(model_.statusText());
    const AdaptiveColor secondary = VantrelTheme::secondaryText();
    const QColor accent = VantrelTheme::accent(preferences_.accent());
    status_->setColor(model_.statusIsAccented() ? AdaptiveColor{accent, accent} : secondary, statusOpacity());
    cancel_->setColor(secondary.resolve(this));
    save_->setVisible(model_.offersSave());
    cancel_->setVisible(model_.offersSave());
    reset_->setVisible(model_.offersReset());
    update();
}

void TintEditor::openPicker() {
    const QPointer<TintEditorModel> model(&model_);
    picker_.open({.anchor = well_, .initial = model_.wellColor(), .title = model_.texts().wellLabel},
                 [model](const QColor& color) {
                     if (model) model->setPending(color);
                 });
}

} // namespace vantrel
