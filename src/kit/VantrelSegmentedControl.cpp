#include "kit/VantrelSegmentedControl.h"

#include "core/VantrelHaptics.h"
#include "kit/KeyActivation.h"
#include "kit/KitPaint.h"
#include "kit/TextAdvance.h"
#include "kit/VantrelType.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>
#include <cmath>

namespace vantrel {

namespace {
const QFont& segmentFont() {
    static const QFont font = VantrelType::font(12, QFont::Medium);
    return font;
}

QColor trackColor(ColorScheme scheme) {
    return KitPaint::primary(scheme, scheme == ColorScheme::dark ? 0.09 : 0.06);
}

QColor plateColor(ColorScheme scheme) {
    return scheme == ColorScheme::dark ? QColor(255, 255, 255, 46) : QColor(Qt::white);
}

// One segment: its label, and keyboard focus. The control decides what a click selects.
class Segment final : public QAbstractButton {
public:
    Segment(const QString& text, QWidget* parent) : QAbstractButton(parent) {
        setText(text);
        setAccessibleName(text);
        setCheckable(true);
        setFocusPolicy(Qt::StrongFocus);
        KitPaint::watchFocusReason(this);
        KeyActivation::pressOnReturn(this);
        setCursor(Qt::PointingHandCursor);
    }

protected:
    void nextCheckState() override {}
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        const ColorScheme scheme = KitPaint::scheme(this);
        KitPaint::fadeIfDisabled(painter, this);
        painter.setFont(segmentFont());
        painter.setPen(KitPaint::primary(scheme, isChecked() ? 0.92 : 0.66));
        painter.drawText(QRectF(rect()).adjusted(4, 0, -4, 0), Qt::AlignCenter | Qt::TextSingleLine,
                         fontMetrics().elidedText(text(), Qt::ElideRight, width() - 8));
        // Inside the segment with two points of its ground outside it (the selected plate's
        // hairline runs along the edge), in the colour that stands out from that ground: the
        // track, and the plate while selected.
        if (KitPaint::showsFocusRing(this)) {
            QColor ground = KitPaint::composite(trackColor(scheme), KitPaint::surfaceBehind(this));
            if (isChecked()) ground = KitPaint::composite(plateColor(scheme), ground);
            QPainterPath ring;
            ring.addRoundedRect(QRectF(rect()).adjusted(3, 3, -3, -3), 4, 4);
            KitPaint::paintFocusRingOnFill(painter, ring, ground, this);
        }
    }
};
} // namespace

SegmentedLayout SegmentedLayout::of(const QRectF& bounds, const std::vector<double>& natural) {
    SegmentedLayout layout;
    layout.track = QRectF(bounds.left(), bounds.center().y() - kHeight / 2, bounds.width(), kHeight);
    if (natural.empty()) return layout;
    const QRectF inner = layout.track.adjusted(kInset, kInset, -kInset, -kInset);
    double total = 0;
    for (double width : natural) total += width;
    const double spare = (inner.width() - total) / double(natural.size());
    double x = inner.left();
    for (double width : natural) {
        const double w = spare >= 0 ? width + spare : (total > 0 ? width * inner.width() / total : 0);
        layout.segments.emplace_back(x, inner.top(), w, inner.height());
        x += w;
    }
    return layout;
}

std::vector<double> VantrelSegmentedControl::naturalWidths() const {
    const QFont font = segmentFont();
    std::vector<double> widths;
    for (const QString& option : options_)
        widths.push_back(std::ceil(TextAdvance::of(font, option)) + 2 * SegmentedLayout::kSegmentPadding);
    return widths;
}

VantrelSegmentedControl::VantrelSegmentedControl(const QString& label, const QStringList& options,
                                                 VantrelHaptics* haptics, QWidget* parent)
    : QWidget(parent), options_(options), haptics_(haptics) {
    setAccessibleName(label);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    for (int index = 0; index < options.size(); ++index) {
        auto* segment = new Segment(options[index], this);
        segment->setFont(segmentFont());
        connect(segment, &QAbstractButton::clicked, this, [this, index] { choose(index); });
        segments_.push_back(segment);
    }
}

void VantrelSegmentedControl::setSelectedIndex(int index) {
    if (index < 0 || index >= int(segments_.size())) index = -1;
    selected_ = index;
    for (std::size_t i = 0; i < segments_.size(); ++i) segments_[i]->setChecked(int(i) == index);
    update();
}

void VantrelSegmentedControl::choose(int index) {
    if (index == selected_) return;
    if (haptics_) haptics_->play(HapticSurface::controls);
    setSelectedIndex(index);
    Q_EMIT chosen(index);
}

QSize VantrelSegmentedControl::sizeHint() const {
    double total = 2 * SegmentedLayout::kInset;
    for (double width : naturalWidths()) total += width;
    return QSize(int(std::ceil(total)), int(SegmentedLayout::kHeight));
}

QSize VantrelSegmentedControl::minimumSizeHint() const {
    return QSize(int(options_.size()) * 28, int(SegmentedLayout::kHeight));
}

void VantrelSegmentedControl::resizeEvent(QResizeEvent*) {
    const SegmentedLayout layout = SegmentedLayout::of(QRectF(rect()), naturalWidths());
    for (std::size_t i = 0; i < segments_.size(); ++i) segments_[i]->setGeometry(layout.segments[i].toRect());
}

void VantrelSegmentedControl::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const SegmentedLayout layout = SegmentedLayout::of(QRectF(rect()), naturalWidths());
    const ColorScheme scheme = KitPaint::scheme(this);
    KitPaint::fadeIfDisabled(painter, this);
    painter.setPen(Qt::NoPen);
    painter.setBrush(trackColor(scheme));
    painter.drawRoundedRect(layout.track, SegmentedLayout::kRadius, SegmentedLayout::kRadius);
    if (selected_ < 0) return;
    // The selected segment is raised: a lighter plate with a hairline in the tint.
    const QRectF plate = layout.segments[std::size_t(selected_)];
    const double radius = SegmentedLayout::kRadius - SegmentedLayout::kInset;
    painter.setBrush(plateColor(scheme));
    QColor edge = KitPaint::tint(this);
    edge.setAlphaF(0.55f);
    painter.setPen(QPen(edge, 0.75));
    painter.drawRoundedRect(plate, radius, radius);
}

} // namespace vantrel
