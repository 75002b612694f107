#include "kit/VantrelHelpButton.h"

#include "core/VantrelPreferences.h"
#include "kit/KeyActivation.h"
#include "kit/KitPaint.h"
#include "kit/OutlineWindowShape.h"
#include "kit/VantrelGlyph.h"
#include "kit/VantrelLabel.h"
#include "kit/VantrelTheme.h"
#include "kit/VantrelType.h"
#include "platform/SystemAppearance.h"

#include <QKeyEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPainterPathStroker>

namespace vantrel {

using VantrelTheme::withOpacity;

namespace {

constexpr double kOutlineWidth = 0.75;

// The outline's stroke is centred half a pixel inside the window's edge.
QRectF paintedFrame(const QRect& window) {
    return QRectF(window).adjusted(0.5, 0.5, -0.5, -0.5);
}

} // namespace

VantrelHelpPopover::VantrelHelpPopover(const QString& text, QWidget* parent, CompositorState* compositor)
    : QWidget(parent, Qt::Popup | Qt::FramelessWindowHint),
      label_(new VantrelLabel(text, VantrelType::font(12, QFont::Medium), VantrelLabel::primary(), this)),
      shape_(new OutlineWindowShape(*this, OutlineWindowShape::WhileCompositing::outlineCoverage)) {
    setAttribute(Qt::WA_TranslucentBackground);
    // The click that closes the popover on its own button must not open it again at once.
    setAttribute(Qt::WA_NoMouseReplay);
    label_->setWordWrap(true);
    label_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    const int pad = int(kPadding);
    const int textWidth = int(kTextWidth);
    label_->setGeometry(pad, kArrow + pad, textWidth, label_->heightForWidth(textWidth));
    resize(textWidth + 2 * pad, kArrow + label_->height() + 2 * pad);
    // What the bubble paints, its outline's stroke included.
    const QPainterPath bubble = bubbleShape(paintedFrame(rect()));
    QPainterPathStroker stroke;
    stroke.setWidth(kOutlineWidth);
    shape_->setOutline(bubble.united(stroke.createStroke(bubble)));
    shape_->setCompositorState(compositor);
    connect(shape_, &OutlineWindowShape::compositingChanged, this, [this] {
        // A window made while no compositor ran is drawn without transparency of its own: the
        // bubble closes, and the next one opens in a new window.
        close();
        destroy(true, true);
    });
    // The popover takes the appearance of the window it opens from.
    if (parent) VantrelTheme::setColorScheme(this, VantrelTheme::colorScheme(parent));
}

void VantrelHelpPopover::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}

void VantrelHelpPopover::closeEvent(QCloseEvent* event) {
    QWidget::closeEvent(event);
    Q_EMIT closed();
}

QPainterPath VantrelHelpPopover::bubbleShape(const QRectF& frame) {
    const QRectF bubble = frame.adjusted(0, kArrow, 0, 0);
    QPainterPath shape;
    shape.addRoundedRect(bubble, kRadius, kRadius);
    const double middle = bubble.center().x();
    QPainterPath arrow;
    arrow.moveTo(middle - kArrow - 1, bubble.top() + 1);
    arrow.lineTo(middle, frame.top());
    arrow.lineTo(middle + kArrow + 1, bubble.top() + 1);
    arrow.closeSubpath();
    return shape.united(arrow);
}

void VantrelHelpPopover::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const ColorScheme scheme = VantrelTheme::colorScheme(this);
    painter.setPen(QPen(VantrelTheme::border().resolve(scheme), kOutlineWidth));
    painter.setBrush(VantrelTheme::surface().resolve(scheme));
    painter.drawPath(bubbleShape(paintedFrame(rect())));
}

VantrelHelpButton::VantrelHelpButton(VantrelPreferences& preferences, SystemAppearance& appearance,
                                     const QString& title, const QString& text, QWidget* parent)
    : QAbstractButton(parent), preferences_(preferences), appearance_(appearance), text_(text) {
    const QString label = QStringLiteral("Help for ") + title;
    setToolTip(label);
    setAccessibleName(label);
    setAccessibleDescription(QStringLiteral("Shows more information"));
    // Reached with the keyboard; a click does not take focus, as on the desktop it comes from.
    setFocusPolicy(Qt::TabFocus);
    KitPaint::watchFocusReason(this);
    KeyActivation::pressOnReturn(this);
    setAttribute(Qt::WA_Hover);
    setCursor(Qt::PointingHandCursor);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    setFixedSize(kSide, kSide);
    connect(this, &QAbstractButton::clicked, this, &VantrelHelpButton::togglePopover);
    connect(&appearance_, &SystemAppearance::changed, this, qOverload<>(&QWidget::update));
}

double VantrelHelpButton::focusRingWidth() const {
    return appearance_.increasedContrast() ? 3 : 2;
}

void VantrelHelpButton::togglePopover() {
    if (isPresented()) {
        popover_->close();
        return;
    }
    if (!popover_) {
        popover_ = new VantrelHelpPopover(text_, this, appearance_.compositor());
        connect(popover_, &VantrelHelpPopover::closed, this, qOverload<>(&QWidget::update));
    }
    VantrelTheme::setColorScheme(popover_, VantrelTheme::colorScheme(this));
    // Under the button, its arrow edge on top, centred on the button.
    const QPoint anchor = mapToGlobal(QPoint(width() / 2, height()));
    popover_->move(anchor.x() - popover_->width() / 2, anchor.y() + 2);
    popover_->show();
    popover_->setFocus();
    update();
}

void VantrelHelpButton::enterEvent(QEnterEvent* event) {
    near_ = true;
    update();
    QAbstractButton::enterEvent(event);
}

void VantrelHelpButton::leaveEvent(QEvent* event) {
    near_ = false;
    update();
    QAbstractButton::leaveEvent(event);
}

bool VantrelHelpButton::isKeyboardFocused() const {
    return KitPaint::showsFocusRing(this);
}

void VantrelHelpButton::focusInEvent(QFocusEvent* event) {
    QAbstractButton::focusInEvent(event);
    update();
}

void VantrelHelpButton::focusOutEvent(QFocusEvent* event) {
    QAbstractButton::focusOutEvent(event);
    update();
}

void VantrelHelpButton::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const ColorScheme scheme = VantrelTheme::colorScheme(this);
    if (isGlyphVisible())
        VantrelGlyph::paint(painter, QRectF(rect()), u"questionmark.circle",
                            withOpacity(VantrelTheme::primary(scheme), 0.78), 12, QFont::DemiBold);
    if (isKeyboardFocused()) {
        // The accent is read now, not observed: the ring is drawn only while focused.
        const double width = focusRingWidth();
        QPen pen(
            KitPaint::ringColor(KitPaint::surfaceBehind(this), VantrelTheme::accent(preferences_.accent())),
            width);
        pen.setMiterLimit(10);
        painter.setPen(pen);
        painter.setBrush(Qt::NoBrush);
        // Inset by 1 on every side; the stroke is centred on that circle.
        painter.drawEllipse(QRectF(rect()).adjusted(1, 1, -1, -1));
    }
}

} // namespace vantrel
