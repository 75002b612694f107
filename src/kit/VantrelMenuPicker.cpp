#include "kit/VantrelMenuPicker.h"
#include "kit/KeyActivation.h"

#include "core/VantrelHaptics.h"
#include "kit/KitPaint.h"
#include "kit/VantrelGlyph.h"
#include "kit/VantrelType.h"
#include "platform/MenuPresenter.h"

#include <QPainter>
#include <QPointer>

namespace vantrel {

namespace {
const QFont& pickerFont() {
    static const QFont font = VantrelType::font(12, QFont::Medium);
    return font;
}
constexpr double kPaddingLeading = 10;
constexpr double kChevronArea = 22;
} // namespace

VantrelMenuPicker::VantrelMenuPicker(const QString& label, const QStringList& options, MenuPresenter& menus,
                                     VantrelHaptics* haptics, QWidget* parent)
    : QAbstractButton(parent), label_(label), options_(options), menus_(menus), haptics_(haptics) {
    setAccessibleName(label);
    setFont(pickerFont());
    setFocusPolicy(Qt::StrongFocus);
    KitPaint::watchFocusReason(this);
    KeyActivation::pressOnReturn(this);
    setCursor(Qt::PointingHandCursor);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    connect(this, &QAbstractButton::clicked, this, &VantrelMenuPicker::openMenu);
}

void VantrelMenuPicker::setCurrentIndex(int index) {
    if (index < 0 || index >= options_.size()) index = -1;
    current_ = index;
    setText(index < 0 ? QString() : options_[index]);
    setAccessibleDescription(text());
    updateGeometry();
    update();
}

void VantrelMenuPicker::openMenu() {
    // The answer may come after the picker is gone (its page closed under the menu).
    QPointer<VantrelMenuPicker> self(this);
    menus_.present({this, options_, current_, {}}, [self](int index) {
        if (self) self->choose(index);
    });
}

void VantrelMenuPicker::choose(int index) {
    if (index < 0 || index >= options_.size() || index == current_) return;
    if (haptics_) haptics_->play(HapticSurface::controls);
    setCurrentIndex(index);
    Q_EMIT chosen(index);
}

QSize VantrelMenuPicker::sizeHint() const {
    const QFontMetrics metrics(pickerFont());
    int widest = 0;
    for (const QString& option : options_) widest = std::max(widest, metrics.horizontalAdvance(option));
    return QSize(int(kPaddingLeading + widest + kChevronArea + 4), int(kHeight));
}

void VantrelMenuPicker::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const ColorScheme scheme = KitPaint::scheme(this);
    KitPaint::fadeIfDisabled(painter, this);
    const QRectF frame = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    painter.setPen(QPen(KitPaint::primary(scheme, scheme == ColorScheme::dark ? 0.14 : 0.12), 0.75));
    painter.setBrush(
        KitPaint::primary(scheme, isDown() ? 0.12 : (scheme == ColorScheme::dark ? 0.08 : 0.04)));
    painter.drawRoundedRect(frame, kRadius, kRadius);

    painter.setPen(KitPaint::primary(scheme, 0.86));
    const QRectF textRect(kPaddingLeading, 0, width() - kPaddingLeading - kChevronArea, height());
    painter.drawText(textRect, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                     fontMetrics().elidedText(text(), Qt::ElideRight, int(textRect.width())));

    // Up and down chevrons: a menu, not an action.
    const QRectF chevrons(width() - kChevronArea, 0, kChevronArea, height());
    VantrelGlyph::paint(painter, chevrons, u"chevron.up.chevron.down", KitPaint::primary(scheme, 0.7), 11,
                        QFont::DemiBold);
    KitPaint::paintFocusRingOf(painter, this, kRadius);
}

} // namespace vantrel
