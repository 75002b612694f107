#include "control-center/KeyboardCleaningOverlay.h"

#include "control-center/KeyboardCleaningInk.h"
#include "core/VantrelPreferences.h"
#include "kit/FocusHandOff.h"
#include "kit/KitPaint.h"
#include "kit/TabularFigures.h"
#include "kit/VantrelButton.h"
#include "kit/VantrelGlyph.h"
#include "kit/VantrelMotion.h"
#include "kit/VantrelPillButtonStyle.h"
#include "kit/VantrelShadow.h"
#include "kit/VantrelTheme.h"
#include "kit/VantrelType.h"
#include "services/KeyboardCleaningController.h"

#include <QAbstractButton>
#include <QFontMetricsF>
#include <QGraphicsOpacityEffect>
#include <QPainter>
#include <QPainterPath>
#include <QVariantAnimation>
#include <algorithm>
#include <cmath>

namespace vantrel {

namespace {

constexpr double kCardMargin = 72;
constexpr double kToolbarHeight = 58;
constexpr double kStatusWidth = 278;
constexpr double kDivider = 1;

QColor white(double opacity) {
    return QColor::fromRgbF(1, 1, 1, float(opacity));
}
QColor black(double opacity) {
    return QColor::fromRgbF(0, 0, 0, float(opacity));
}

QFont font(double size, QFont::Weight weight, double letterSpacing = 0) {
    QFont f = VantrelType::font(size, weight);
    if (letterSpacing != 0) f.setLetterSpacing(QFont::AbsoluteSpacing, letterSpacing);
    return f;
}
QFont untitledFont() {
    return font(9, QFont::Bold, 1.4);
}
QFont headingFont() {
    return font(27, QFont::Bold);
}
QFont descriptionFont() {
    return font(12.5, QFont::Medium);
}
QFont footerFont() {
    return font(10.5, QFont::Medium);
}
QFont titleFont() {
    return font(12.5, QFont::DemiBold);
}
QFont subtitleFont() {
    return font(9.5, QFont::Medium);
}
QFont lockFont() {
    return font(9, QFont::Bold, 1.35);
}
// Qt 6.4 cannot ask the font for tabular digits; the number sits centred in its fixed frame, so
// a changing width does not move it.
QFont numberFont() {
    return font(42, QFont::Bold);
}
QFont rowTitleFont() {
    return font(11.5, QFont::DemiBold);
}
QFont rowDetailFont() {
    return font(9.5, QFont::Medium);
}
QFont chordFont() {
    return font(9.5, QFont::DemiBold);
}

double lineHeight(const QFont& f) {
    return QFontMetricsF(f).height();
}

const QString kDescription = QStringLiteral(
    "Clean freely. Every key press becomes a temporary mark on this canvas instead of reaching your apps.");
const QString kFooter = QStringLiteral("Vantrel counts presses, but never reads or stores the keys.");

// The toolbar's close control: an "xmark" on a faint circle.
class CloseButton final : public QAbstractButton {
public:
    explicit CloseButton(QWidget* parent) : QAbstractButton(parent) {
        setToolTip(QStringLiteral("End keyboard cleaning"));
        setAccessibleName(QStringLiteral("End keyboard cleaning"));
        setCursor(Qt::PointingHandCursor);
        setFocusPolicy(Qt::NoFocus);
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(Qt::NoPen);
        painter.setBrush(white(0.075));
        painter.drawEllipse(QRectF(rect()));
        VantrelGlyph::paint(painter, QRectF(rect()), u"xmark", white(0.82), 12, QFont::DemiBold);
    }
};

// The blurred shadow of a rounded rectangle of `size`, recoloured, with `reach` points around it.
QImage shadowImage(QSizeF size, double radius, double blur, const QColor& color, int reach) {
    QPainterPath shape;
    shape.addRoundedRect(QRectF(QPointF(reach, reach), size), radius, radius);
    QImage image = VantrelShadow::blurredMask(
        shape, QSize(int(std::ceil(size.width())) + 2 * reach, int(std::ceil(size.height())) + 2 * reach),
        blur);
    QPainter painter(&image);
    painter.setCompositionMode(QPainter::CompositionMode_SourceIn);
    painter.fillRect(image.rect(), color);
    return image;
}

void paintRowTexts(QPainter& painter, const KeyboardCleaningOverlay::StatusRow& row) {
    painter.setFont(rowTitleFont());
    painter.setPen(Qt::white);
    TabularFigures::draw(painter, row.titleRect, Qt::AlignLeft | Qt::AlignVCenter, row.title);
    painter.setFont(rowDetailFont());
    painter.setPen(white(0.42));
    painter.drawText(
        row.detailRect, Qt::AlignLeft | Qt::AlignVCenter,
        QFontMetricsF(rowDetailFont()).elidedText(row.detail, Qt::ElideRight, row.detailRect.width()));
}

} // namespace

KeyboardCleaningOverlay::Layout KeyboardCleaningOverlay::Layout::make(QSizeF size, int remainingSeconds,
                                                                      int sessionDuration,
                                                                      int blockedKeyCount,
                                                                      QSizeF endButtonSize) {
    Layout l;
    const double cardWidth = std::clamp(size.width() - kCardMargin, 820.0, 1120.0);
    const double cardHeight = std::clamp(size.height() - kCardMargin, 520.0, 680.0);
    l.card = QRectF((size.width() - cardWidth) / 2, (size.height() - cardHeight) / 2, cardWidth, cardHeight);

    l.toolbar = QRectF(l.card.left() + 20, l.card.top(), cardWidth - 40, kToolbarHeight);
    for (std::size_t i = 0; i < l.dots.size(); ++i)
        l.dots[i] = QRectF(l.toolbar.left() + double(i) * (11 + 8), l.toolbar.center().y() - 5.5, 11, 11);
    l.closeButton = QRectF(l.toolbar.right() - 32, l.toolbar.center().y() - 16, 32, 32);
    const double titleHeight = lineHeight(titleFont()), subtitleHeight = lineHeight(subtitleFont());
    const double titleTop = l.toolbar.center().y() - (titleHeight + 2 + subtitleHeight) / 2;
    l.titleLine = QRectF(l.toolbar.left(), titleTop, l.toolbar.width(), titleHeight);
    l.subtitleLine = QRectF(l.toolbar.left(), titleTop + titleHeight + 2, l.toolbar.width(), subtitleHeight);

    const double bodyTop = l.toolbar.bottom() + kDivider;
    l.status = QRectF(l.card.right() - kStatusWidth, bodyTop, kStatusWidth, l.card.bottom() - bodyTop);
    l.document =
        QRectF(l.card.left(), bodyTop, l.status.left() - kDivider - l.card.left(), l.status.height());
    l.sheet = l.document.adjusted(24, 24, -24, -24);
    l.sheetContent = l.sheet.adjusted(38, 38, -38, -38);

    const QRectF& content = l.sheetContent;
    l.badge = QRectF(content.right() - 30, content.top(), 30, 30);
    l.untitled =
        QRectF(content.left(), content.top(), l.badge.left() - content.left(), lineHeight(untitledFont()));
    l.heading =
        QRectF(content.left(), l.untitled.bottom() + 5, l.untitled.width(), lineHeight(headingFont()));
    const double headerBottom = std::max(l.heading.bottom(), l.badge.bottom());
    const double descriptionHeight =
        QFontMetricsF(descriptionFont())
            .boundingRect(QRectF(0, 0, content.width(), 1e6), Qt::TextWordWrap, kDescription)
            .height();
    l.description = QRectF(content.left(), headerBottom + 18, content.width(), descriptionHeight);
    const double inkTop = l.description.bottom() + 25;
    // The marks' canvas is 155 to 220 high; its well reaches 18 further on every side.
    constexpr double kWell = 2 * KeyboardCleaningInk::kInset;
    const double canvasHeight = std::clamp(content.bottom() - 18 - 17 - inkTop - kWell, 155.0, 220.0);
    l.ink = QRectF(content.left(), inkTop, content.width(), canvasHeight + kWell);
    l.footerGlyph = QRectF(content.left(), l.ink.bottom() + 18, 17, 17);
    l.footerText = QRectF(l.footerGlyph.right() + 7, l.footerGlyph.top(),
                          content.right() - l.footerGlyph.right() - 7, 17);

    const QRectF column = l.status.adjusted(24, 24, -24, -24);
    l.lockTitle = QRectF(column.left(), column.top(), column.width(), lineHeight(lockFont()));
    l.ring = QRectF(column.center().x() - 59, l.lockTitle.bottom() + 28, 118, 118);
    double rowTop = l.ring.bottom() + 28;
    const std::array<std::array<QString, 3>, 3> rows{{
        {QStringLiteral("keyboard"), QStringLiteral("Keyboards paused"),
         QStringLiteral("Built-in and external")},
        {QStringLiteral("hand.point.up.left"), QStringLiteral("Trackpad active"),
         QStringLiteral("You can still click")},
        {QStringLiteral("xmark.circle"), QString::number(blockedKeyCount) + QStringLiteral(" blocked"),
         blockedKeyCount == 1 ? QStringLiteral("Temporary press") : QStringLiteral("Temporary presses")},
    }};
    const double rowTitleHeight = lineHeight(rowTitleFont()), rowDetailHeight = lineHeight(rowDetailFont());
    const double rowHeight = std::max(30.0, rowTitleHeight + 2 + rowDetailHeight);
    for (std::size_t i = 0; i < rows.size(); ++i) {
        StatusRow& row = l.rows[i];
        row.symbol = rows[i][0];
        row.title = rows[i][1];
        row.detail = rows[i][2];
        const double top = rowTop + 8;
        const double middle = top + rowHeight / 2;
        row.icon = QRectF(column.left(), middle - 15, 30, 30);
        const double textTop = middle - (rowTitleHeight + 2 + rowDetailHeight) / 2;
        const double textLeft = row.icon.right() + 11;
        row.titleRect = QRectF(textLeft, textTop, column.right() - textLeft, rowTitleHeight);
        row.detailRect =
            QRectF(textLeft, textTop + rowTitleHeight + 2, column.right() - textLeft, rowDetailHeight);
        rowTop = top + rowHeight + 8;
    }
    // Its own width, centred in a frame as wide as the column.
    const double endWidth = std::min(endButtonSize.width(), column.width());
    l.endButton = QRectF(column.center().x() - endWidth / 2, column.bottom() - endButtonSize.height(),
                         endWidth, endButtonSize.height());
    const double chordHeight = lineHeight(chordFont());
    l.chord = QRectF(column.left(), l.endButton.top() - 10 - chordHeight, column.width(), chordHeight);

    l.ringFraction = std::clamp(double(remainingSeconds) / std::max(sessionDuration, 1), 0.0, 1.0);
    l.remainingText = QString::number(remainingSeconds);
    return l;
}

KeyboardCleaningOverlay::KeyboardCleaningOverlay(const Context& context, QWidget* parent)
    : QWidget(parent), context_(context) {
    setObjectName(QStringLiteral("keyboard-cleaning-overlay"));
    setAccessibleName(QStringLiteral("Keyboard cleaning in progress"));
    // While shown it takes every click in the window; nothing beneath can be used.
    setAttribute(Qt::WA_NoMousePropagation);
    ink_ = new KeyboardCleaningInk(context_.clock, context_.scheduler, this);
    close_ = new CloseButton(this);
    end_ = new VantrelButton(QStringLiteral("End Now"),
                             std::make_shared<VantrelPillButtonStyle>(accent(), &context_.haptics), this);
    end_->setObjectName(QStringLiteral("end-keyboard-cleaning"));
    end_->setMotion(&context_.motion);
    const auto endSession = [this] {
        context_.controller.stop(KeyboardCleaningController::StopReason::userRequested);
    };
    connect(close_, &QAbstractButton::clicked, this, endSession);
    connect(end_, &QAbstractButton::clicked, this, endSession);

    connect(&context_.controller, &KeyboardCleaningController::changed, this,
            &KeyboardCleaningOverlay::refresh);
    context_.preferences.onChange(VantrelPreferences::Setting::accent, this, [this] {
        end_->setButtonStyle(std::make_shared<VantrelPillButtonStyle>(accent(), &context_.haptics));
        refresh();
    });
    connect(&context_.motion, &VantrelMotion::prefersReducedMotionChanged, this,
            &KeyboardCleaningOverlay::refresh);
    numberTransition_ = new QVariantAnimation(this);
    numberTransition_->setStartValue(0.0);
    numberTransition_->setEndValue(1.0);
    connect(numberTransition_, &QVariantAnimation::valueChanged, this, [this] { update(); });
    connect(numberTransition_, &QVariantAnimation::finished, this, [this] {
        leavingNumber_.clear();
        update();
    });
    setGraphicsEffect(new QGraphicsOpacityEffect(this));
    static_cast<QGraphicsOpacityEffect*>(graphicsEffect())->setOpacity(0);
    refresh();
}

KeyboardCleaningOverlay::~KeyboardCleaningOverlay() = default;

QColor KeyboardCleaningOverlay::accent() const {
    return VantrelTheme::accent(context_.preferences.accent());
}

void KeyboardCleaningOverlay::setOpacity(double opacity) {
    if (opacity_ == opacity) return;
    opacity_ = opacity;
    updateVisibility();
    if (opacity < 1) {
        auto* effect = qobject_cast<QGraphicsOpacityEffect*>(graphicsEffect());
        if (!effect) {
            effect = new QGraphicsOpacityEffect(this);
            setGraphicsEffect(effect);
        }
        effect->setOpacity(opacity);
    } else {
        setGraphicsEffect(nullptr);
    }
    update();
}

KeyboardCleaningOverlay::Layout KeyboardCleaningOverlay::currentLayout() const {
    const KeyboardCleaningController& c = context_.controller;
    return Layout::make(size(), c.remainingSeconds(), c.sessionDuration(), c.blockedKeyCount(),
                        QSizeF(end_->sizeHint()));
}

void KeyboardCleaningOverlay::refresh() {
    const KeyboardCleaningController& c = context_.controller;
    ink_->setMarkCount(std::clamp(c.blockedKeyCount(), 0, KeyboardCleaningInk::kMostMarks));
    ink_->setAccent(accent());
    ink_->setReduceMotion(context_.motion.prefersReducedMotion());
    ink_->setBlinking(c.isActive());
    setAccessibleDescription(QStringLiteral("%1 seconds remaining").arg(c.remainingSeconds()));
    const QString number = QString::number(c.remainingSeconds());
    if (number != shownNumber_) {
        // Only a running session's seconds roll; the idle values come back at once.
        const std::optional<VantrelAnimation> roll =
            c.isActive() && !shownNumber_.isEmpty()
                ? context_.motion.resolve(VantrelMotion::Kind::transition, VantrelAnimation::easeOut(0.3))
                : std::nullopt;
        numberTransition_->stop();
        if (roll) {
            leavingNumber_ = shownNumber_;
            roll->run(*numberTransition_, 0.0, 1.0);
        } else {
            leavingNumber_.clear();
        }
        shownNumber_ = number;
    }
    updateVisibility();
    update();
}

void KeyboardCleaningOverlay::updateVisibility() {
    // Hidden, the canvas is out of reach of the pointer and of accessibility alike. It is there
    // from the moment a session begins, while it fades in, and until it has faded out.
    const bool shown = context_.controller.isActive() || opacity_ > 0;
    // The window's own focus, not the application's: the keyboard guard's grab takes the keys
    // from the window for the session, and they often come back only after the canvas has gone.
    // Meanwhile the application has no focus at all, while the window keeps the control that
    // takes it again when the keys come back.
    QWidget* focus = window()->focusWidget();
    if (shown && isHidden()) {
        // Everything beneath is out of reach while the canvas shows: the focus comes to "End Now"
        // and goes back, once the canvas has gone, to the control that had it.
        opener_ = focus && !isAncestorOf(focus) ? focus : nullptr;
        setVisible(true);
        if (opener_) KitPaint::passFocus(opener_, end_);
        return;
    }
    if (!shown && !isHidden() && focus && isAncestorOf(focus) && FocusHandOff::canTake(opener_))
        FocusHandOff::give({focus, KitPaint::focusCameByClick(focus)}, opener_);
    setVisible(shown);
    // The painted layer is the size of the window: not kept while nothing shows it.
    if (!shown) still_ = QImage();
}

void KeyboardCleaningOverlay::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    layoutChildren();
}

void KeyboardCleaningOverlay::layoutChildren() {
    const Layout l = currentLayout();
    ink_->setGeometry(l.ink.toAlignedRect());
    close_->setGeometry(l.closeButton.toAlignedRect());
    end_->setGeometry(l.endButton.toAlignedRect());
}

void KeyboardCleaningOverlay::paintEvent(QPaintEvent*) {
    const Layout l = currentLayout();
    const QColor tint = accent();
    const qreal ratio = devicePixelRatioF();
    const StillKey key{size(), ratio, tint.rgba(), l.chord};
    if (still_.isNull() || stillFor_ != key) {
        still_ = QImage((QSizeF(size()) * ratio).toSize(), QImage::Format_ARGB32_Premultiplied);
        still_.setDevicePixelRatio(ratio);
        still_.fill(Qt::transparent);
        QPainter still(&still_);
        paintStill(still, l, tint);
        stillFor_ = key;
    }
    QPainter painter(this);
    painter.drawImage(QPointF(0, 0), still_);
    painter.setRenderHint(QPainter::Antialiasing);

    // What a press or a second changes, all of it well inside the card's rounded corners.
    const QRectF circle = l.ring.adjusted(3.5, 3.5, -3.5, -3.5);
    if (l.ringFraction > 0) {
        QPen arc(tint, 7);
        arc.setCapStyle(Qt::RoundCap);
        painter.setPen(arc);
        painter.setBrush(Qt::NoBrush);
        // From the top, clockwise.
        painter.drawArc(circle, 90 * 16, -int(std::lround(l.ringFraction * 360 * 16)));
    }
    painter.setFont(numberFont());
    painter.setPen(white(0.92));
    const QRectF number(l.ring.center().x() - 38, l.ring.top(), 76, l.ring.height());
    if (leavingNumber_.isEmpty()) {
        TabularFigures::draw(painter, number, Qt::AlignCenter, l.remainingText);
    } else {
        // Counting down: the old number drops out below while the new one drops in from above.
        const double progress = numberTransition_->currentValue().toDouble();
        const double travel = QFontMetricsF(numberFont()).ascent() * 0.6;
        painter.setOpacity(1 - progress);
        TabularFigures::draw(painter, number.translated(0, progress * travel), Qt::AlignCenter,
                             leavingNumber_);
        painter.setOpacity(progress);
        TabularFigures::draw(painter, number.translated(0, (progress - 1) * travel), Qt::AlignCenter,
                             l.remainingText);
        painter.setOpacity(1);
    }
    paintRowTexts(painter, l.rows[2]);
}

void KeyboardCleaningOverlay::paintStill(QPainter& painter, const Layout& l, const QColor& tint) {
    painter.setRenderHint(QPainter::Antialiasing);

    painter.fillRect(QRectF(QPointF(0, 0), QSizeF(size())), black(0.72));

    // The card's shadow: black at 0.56, radius 42, 20 points down.
    constexpr int kCardReach = 84;
    if (shadowFor_ != l.card.size()) {
        shadow_ = shadowImage(l.card.size(), 22, 42, black(0.56), kCardReach);
        shadowFor_ = l.card.size();
    }
    painter.drawImage(l.card.topLeft() + QPointF(-kCardReach, 20 - kCardReach), shadow_);

    QPainterPath card;
    card.addRoundedRect(l.card, 22, 22);
    painter.save();
    painter.setClipPath(card);
    painter.fillRect(l.card, QColor::fromRgbF(0.075f, 0.079f, 0.089f));

    // Toolbar: the three dots and the two title lines.
    const std::array<QColor, 3> dots{QColor::fromRgbF(1.0f, 0.38f, 0.34f, 0.88f),
                                     QColor::fromRgbF(1.0f, 0.75f, 0.25f, 0.88f),
                                     QColor::fromRgbF(0.3f, 0.8f, 0.39f, 0.88f)};
    painter.setPen(Qt::NoPen);
    for (std::size_t i = 0; i < dots.size(); ++i) {
        painter.setBrush(dots[i]);
        painter.drawEllipse(l.dots[i]);
    }
    painter.setFont(titleFont());
    painter.setPen(white(0.9));
    painter.drawText(l.titleLine, Qt::AlignHCenter | Qt::AlignVCenter, QStringLiteral("Cleaning Canvas"));
    painter.setFont(subtitleFont());
    painter.setPen(white(0.46));
    painter.drawText(l.subtitleLine, Qt::AlignHCenter | Qt::AlignVCenter,
                     QStringLiteral("Temporary · nothing is saved"));

    const QColor divider = white(0.16 * 0.34 * 3);
    painter.fillRect(QRectF(l.card.left(), l.toolbar.bottom(), l.card.width(), kDivider), divider);
    painter.fillRect(QRectF(l.document.right(), l.document.top(), kDivider, l.document.height()), divider);

    // The document column: a faint wash, and the paper sheet with its shadow.
    painter.fillRect(l.document, white(0.018));
    constexpr int kSheetReach = 40;
    if (sheetShadowFor_ != l.sheet.size()) {
        sheetShadow_ = shadowImage(l.sheet.size(), 14, 20, black(0.25), kSheetReach);
        sheetShadowFor_ = l.sheet.size();
    }
    painter.drawImage(l.sheet.topLeft() + QPointF(-kSheetReach, 10 - kSheetReach), sheetShadow_);
    QPainterPath sheet;
    sheet.addRoundedRect(l.sheet, 14, 14);
    painter.fillPath(sheet, QColor::fromRgbF(0.965f, 0.957f, 0.935f));
    painter.setPen(QPen(white(0.62), 0.8));
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(sheet);

    painter.setFont(untitledFont());
    painter.setPen(black(0.34));
    painter.drawText(l.untitled, Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("UNTITLED"));
    painter.setFont(headingFont());
    painter.setPen(black(0.82));
    painter.drawText(l.heading, Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Your keyboard is paused"));
    painter.setPen(Qt::NoPen);
    painter.setBrush(VantrelTheme::withOpacity(tint, 0.1));
    painter.drawEllipse(l.badge);
    VantrelGlyph::paint(painter, l.badge, u"lock.fill", tint, 13, QFont::DemiBold);
    painter.setFont(descriptionFont());
    painter.setPen(black(0.47));
    painter.drawText(l.description, Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, kDescription);
    VantrelGlyph::paint(painter, l.footerGlyph, u"eye.slash", black(0.36), 10, QFont::DemiBold);
    painter.setFont(footerFont());
    painter.setPen(black(0.39));
    painter.drawText(l.footerText, Qt::AlignLeft | Qt::AlignVCenter, kFooter);

    // The status column.
    painter.setFont(lockFont());
    painter.setPen(white(0.38));
    painter.drawText(l.lockTitle, Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("KEYBOARD LOCK"));
    const QRectF circle = l.ring.adjusted(3.5, 3.5, -3.5, -3.5);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(white(0.08), 7));
    painter.drawEllipse(circle);
    // The arc and the seconds go over the track with every paint.
    for (std::size_t i = 0; i < l.rows.size(); ++i) {
        const StatusRow& row = l.rows[i];
        QPainterPath tile;
        tile.addRoundedRect(row.icon, 9, 9);
        painter.fillPath(tile, VantrelTheme::withOpacity(tint, 0.1));
        VantrelGlyph::paint(painter, row.icon, row.symbol, tint, 12, QFont::DemiBold);
        // The count row's texts change with every press.
        if (i + 1 < l.rows.size()) paintRowTexts(painter, row);
    }
    painter.setFont(chordFont());
    painter.setPen(white(0.4));
    painter.drawText(l.chord, Qt::AlignHCenter | Qt::AlignVCenter,
                     QStringLiteral("Control–Option–Command–Escape"));
    painter.restore();

    painter.setPen(QPen(white(0.18), 0.8));
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(card);
}

} // namespace vantrel
