#include "kit/VantrelButton.h"

#include "kit/FocusHalo.h"
#include "kit/KeyActivation.h"
#include "kit/KitPaint.h"
#include "kit/TextAdvance.h"
#include "kit/VantrelGlyph.h"

#include <QFontMetricsF>
#include <QLinearGradient>
#include <QPainter>
#include <QVariantAnimation>
#include <cmath>

namespace vantrel {

VantrelButton::VantrelButton(const QString& text, std::shared_ptr<const VantrelButtonStyle> style,
                             QWidget* parent)
    : QAbstractButton(parent), style_(std::move(style)), animation_(new QVariantAnimation(this)) {
    setText(text);
    setFocusPolicy(Qt::StrongFocus);
    KitPaint::watchFocusReason(this);
    KeyActivation::pressOnReturn(this);
    setAttribute(Qt::WA_Hover);
    connect(animation_, &QVariantAnimation::valueChanged, this,
            [this](const QVariant& v) { setProgress(v.toDouble()); });
    connect(this, &QAbstractButton::pressed, this, [this] { pressedChanged(true); });
    connect(this, &QAbstractButton::released, this, [this] { pressedChanged(false); });
    shadow_ = new VantrelShadow(this, [this](const QRectF& rect) {
        const ButtonLook look = currentLook();
        return look.shape.path(rect);
    });
    // A button drawn as its label alone is as wide as its label: its ring goes round the outside.
    const ButtonLook rest = style_->look(0, ColorScheme::light);
    if (rest.fillStart.alpha() == 0 && rest.fillEnd.alpha() == 0 &&
        (rest.outlineWidth <= 0 || rest.outline.alpha() == 0))
        FocusHalo::install(this);
    applyStyle();
}

VantrelButton::~VantrelButton() {
    delete shadow_;
}

void VantrelButton::setButtonStyle(std::shared_ptr<const VantrelButtonStyle> style) {
    if (!style) return;
    style_ = std::move(style);
    applyStyle();
}

void VantrelButton::applyStyle() {
    const ButtonLook look = currentLook();
    setSizePolicy(look.fillsWidth ? QSizePolicy::Expanding : QSizePolicy::Fixed, QSizePolicy::Fixed);
    if (shadow_) {
        shadow_->setLook(look.shadow);
        shadow_->invalidateShape();
    }
    updateGeometry();
    update();
}

ButtonLook VantrelButton::currentLook() const {
    return style_->look(progress_, VantrelTheme::colorScheme(this));
}

void VantrelButton::pressedChanged(bool pressed) {
    if (pressed) style_->pressBegan();
    const double target = pressed ? 1.0 : 0.0;
    std::optional<VantrelAnimation> animation = style_->pressAnimation();
    if (motion_) animation = motion_->resolve(VantrelMotion::Kind::flourish, animation);
    animation_->stop();
    if (!animation || animation->duration <= 0) {
        setProgress(target);
        return;
    }
    animation->run(*animation_, progress_, target);
}

void VantrelButton::setProgress(double progress) {
    progress_ = progress;
    if (shadow_) shadow_->setLook(currentLook().shadow);
    update();
}

QSizeF VantrelButton::fittingSize(const QString& text, const ButtonLook& look) {
    const QFontMetricsF metrics(look.font);
    return {TextAdvance::of(look.font, text) + 2 * look.horizontalPadding,
            metrics.height() + 2 * look.verticalPadding};
}

ButtonLayout VantrelButton::layout(const QSizeF& size, const ButtonLook& look) {
    const QRectF frame(QPointF(), size);
    return {frame, frame.adjusted(look.horizontalPadding, look.verticalPadding, -look.horizontalPadding,
                                  -look.verticalPadding)};
}

namespace {
constexpr double kGlyphSpacing = 7;
}

void VantrelButton::setLeadingGlyph(const QString& systemName, double pointSize, double frame) {
    glyph_ = systemName;
    glyphPointSize_ = pointSize;
    glyphFrame_ = frame;
    updateGeometry();
    update();
}

QSize VantrelButton::sizeHint() const {
    QSizeF size = fittingSize(text(), currentLook());
    if (!glyph_.isEmpty()) size.rwidth() += glyphFrame_ + kGlyphSpacing;
    return {int(std::ceil(size.width())), int(std::ceil(size.height()))};
}

void VantrelButton::paintEvent(QPaintEvent*) {
    const ButtonLook look = currentLook();
    // The appearance may have changed on an ancestor since the last paint; the shadow follows.
    if (shadow_) shadow_->setLook(look.shadow);
    const ButtonLayout l = layout(size(), look);
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    // A button that cannot be pressed now fades back.
    KitPaint::fadeIfDisabled(painter, this);
    const QPointF centre = l.frame.center();
    painter.translate(centre);
    painter.scale(look.scale, look.scale);
    painter.translate(-centre);

    const QPainterPath shape = look.shape.path(l.frame);
    QLinearGradient fill(l.frame.topLeft(), l.frame.bottomRight());
    fill.setColorAt(0, look.fillStart);
    fill.setColorAt(1, look.fillEnd);
    // At rest the fill is kept as an image once it is painted again unchanged: blended, it gives
    // the values filling the outline does, at a fraction of the cost. While pressed, scaled or
    // faded, it is filled directly.
    const double ratio = painter.device() ? painter.device()->devicePixelRatio() : 1.0;
    const Fill wanted{size(), look.shape, look.fillStart, look.fillEnd, ratio};
    if (look.scale != 1 || painter.opacity() != 1) {
        painter.fillPath(shape, fill);
    } else if (!(filled_ == wanted)) {
        filled_ = wanted;
        fillImage_ = QImage();
        painter.fillPath(shape, fill);
    } else {
        if (fillImage_.isNull()) {
            fillImage_ = QImage((QSizeF(size()) * ratio).toSize(), QImage::Format_ARGB32_Premultiplied);
            fillImage_.setDevicePixelRatio(ratio);
            fillImage_.fill(Qt::transparent);
            QPainter image(&fillImage_);
            image.setRenderHint(QPainter::Antialiasing);
            image.fillPath(shape, fill);
        }
        painter.drawImage(0, 0, fillImage_);
    }
    if (look.outlineWidth > 0) painter.strokePath(shape, QPen(look.outline, look.outlineWidth));

    paintLabel(painter, look, l);
    if (KitPaint::showsFocusRing(this) && !KitPaint::ringDrawnOutside(this)) {
        // Inside the shape, with a point of the fill left outside it: the ring stands out from
        // the fill on both sides, whatever the surface round the button is.
        const QColor middle = QColor::fromRgbF((look.fillStart.redF() + look.fillEnd.redF()) / 2,
                                               (look.fillStart.greenF() + look.fillEnd.greenF()) / 2,
                                               (look.fillStart.blueF() + look.fillEnd.blueF()) / 2,
                                               (look.fillStart.alphaF() + look.fillEnd.alphaF()) / 2);
        // Further in past an outline, which may be in the tint itself.
        const bool outlined = look.outlineWidth > 0 && look.outline.alpha() > 0;
        const double inset = 2 + (outlined ? std::ceil(look.outlineWidth) : 0);
        KitPaint::paintFocusRingOnFill(
            painter, look.shape.path(l.frame.adjusted(inset, inset, -inset, -inset)), middle, this);
    }
}

void VantrelButton::paintLabel(QPainter& painter, const ButtonLook& look, const ButtonLayout& l) const {
    painter.setFont(look.font);
    painter.setPen(look.foreground);
    QRectF textRect = l.labelRect;
    if (!glyph_.isEmpty()) {
        // Glyph and text stay together, centred as one.
        const double lead = glyphFrame_ + kGlyphSpacing;
        const double textWidth =
            std::min(TextAdvance::of(look.font, text()), std::max(0.0, l.labelRect.width() - lead));
        const double left = l.labelRect.center().x() - (lead + textWidth) / 2;
        const QRectF glyphFrame(left, l.labelRect.center().y() - glyphFrame_ / 2, glyphFrame_, glyphFrame_);
        VantrelGlyph::paint(painter, glyphFrame, glyph_, look.foreground, glyphPointSize_, QFont::DemiBold);
        textRect = QRectF(left + lead, l.labelRect.top(), textWidth, l.labelRect.height());
    }
    painter.drawText(textRect, Qt::AlignCenter | Qt::TextSingleLine,
                     TextAdvance::elidedRight(look.font, text(), textRect.width()));
}

} // namespace vantrel
