#include "kit/VantrelSliderRow.h"

#include "kit/VantrelLabel.h"
#include "kit/VantrelSlider.h"
#include "kit/VantrelType.h"

#include <QKeyEvent>
#include <QRegularExpression>
#include <QSlider>
#include <algorithm>
#include <cmath>
#include <optional>

namespace vantrel {

namespace {
constexpr int kContinuousTicks = 1000;
constexpr double kRowHeight = 24;

// The read-out in the monospaced design, so its figures keep their places as the value changes.
QFont valueFont(double pixelSize) {
    return VantrelType::monospaced(pixelSize, QFont::Normal);
}
} // namespace

SliderRowLayout SliderRowLayout::of(const QSizeF& size, const SliderRowStyle& style) {
    const double height = size.height();
    const double lead = style.titleWidth > 0 ? style.titleWidth + style.spacing : 0;
    const double sliderWidth = std::max(0.0, size.width() - lead - style.valueWidth - style.spacing);
    const double sliderX = lead;
    return {
        QRectF(0, 0, style.titleWidth, height),
        QRectF(sliderX, 0, sliderWidth, height),
        QRectF(sliderX + sliderWidth + style.spacing, 0, style.valueWidth, height),
    };
}

VantrelSliderRow::VantrelSliderRow(const QString& title, double minimum, double maximum, ValueText valueText,
                                   SliderRowStyle style, QWidget* parent)
    : QWidget(parent), minimum_(minimum), maximum_(std::max(minimum, maximum)),
      valueText_(std::move(valueText)), style_(style),
      title_(new VantrelLabel(title, VantrelType::font(style.titlePixelSize, style.titleWeight),
                              VantrelLabel::primary(), this)),
      slider_(new VantrelSlider(Qt::Horizontal, this)),
      value_label_(
          new VantrelLabel(QString(), valueFont(style.valuePixelSize), VantrelTheme::secondaryText(), this)),
      value_(minimum) {
    title_->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    value_label_->setAlignment(style.valueAlignment | Qt::AlignVCenter);
    slider_->setRange(0, ticks());
    slider_->setAccessibleName(title);
    connect(slider_, &QSlider::valueChanged, this, &VantrelSliderRow::sliderMoved);
    slider_->installEventFilter(this);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    setValue(minimum);
}

int VantrelSliderRow::ticks() const {
    if (style_.step <= 0) return kContinuousTicks;
    return std::max(1, int(std::lround((maximum_ - minimum_) / style_.step)));
}

double VantrelSliderRow::valueAt(int position) const {
    if (style_.step > 0) return std::min(maximum_, minimum_ + position * style_.step);
    return minimum_ + (maximum_ - minimum_) * position / kContinuousTicks;
}

int VantrelSliderRow::positionOf(double value) const {
    if (maximum_ <= minimum_) return 0;
    value = std::isnan(value) ? minimum_ : std::clamp(value, minimum_, maximum_);
    return int(std::lround((value - minimum_) / (maximum_ - minimum_) * ticks()));
}

void VantrelSliderRow::setValue(double value) {
    // The read-out tells the value as stored, also one outside the slider's range (a system
    // setting made elsewhere); only the knob stops at the end of its track.
    value_ = value;
    value_label_->setText(valueText());
    slider_->setAccessibleDescription(valueText());
    syncing_ = true;
    slider_->setValue(positionOf(value_));
    syncing_ = false;
}

QString VantrelSliderRow::valueText() const {
    return valueText_ ? valueText_(value_) : QString();
}

void VantrelSliderRow::sliderMoved(int position) {
    if (syncing_) return;
    const double value = valueAt(position);
    if (value == value_) return;
    value_ = value;
    value_label_->setText(valueText());
    slider_->setAccessibleDescription(valueText());
    Q_EMIT edited(value);
}

void VantrelSliderRow::bind(SettingBinding<double> binding) {
    setValue(binding.get());
    binding.observe(this, [this, get = binding.get] { setValue(get()); });
    connect(this, &VantrelSliderRow::edited, this, [set = binding.set](double value) { set(value); });
}

VantrelSliderRow::ValueText VantrelSliderRow::oneDecimal(const QString& suffix) {
    return [suffix](double value) { return QString::asprintf("%.1f", value) + suffix; };
}

QSize VantrelSliderRow::sizeHint() const {
    return QSize(int(style_.titleWidth + style_.valueWidth + 2 * style_.spacing + 160), int(kRowHeight));
}

namespace {

// The first figure in `text` ("48.0" of "48.0pt"), if any.
std::optional<double> figureOf(const QString& text) {
    static const QRegularExpression figure(QStringLiteral("-?\\d+(?:[.,]\\d+)?"));
    const QRegularExpressionMatch match = figure.match(text);
    if (!match.hasMatch()) return std::nullopt;
    bool ok = false;
    const double value = match.captured().replace(QLatin1Char(','), QLatin1Char('.')).toDouble(&ok);
    return ok ? std::optional<double>(value) : std::nullopt;
}

} // namespace

double VantrelSliderRow::keyUnit() const {
    const double range = maximum_ - minimum_;
    if (style_.step > 0) return style_.step;
    if (valueText_) {
        const std::optional<double> low = figureOf(valueText_(minimum_));
        const std::optional<double> high = figureOf(valueText_(maximum_));
        if (low && high && *high != *low) return range / std::abs(*high - *low);
    }
    return range / 100;
}

bool VantrelSliderRow::moveByKey(int key) {
    double next = value_;
    if (key == Qt::Key_Home) {
        next = minimum_;
    } else if (key == Qt::Key_End) {
        next = maximum_;
    } else {
        const int units = VantrelSlider::unitsOf(key, slider_->isRightToLeft());
        const double unit = keyUnit();
        if (units == 0 || !(unit > 0)) return false;
        const double from = std::isfinite(value_) ? std::clamp(value_, minimum_, maximum_) : minimum_;
        next = minimum_ + VantrelSlider::unitsAfter((from - minimum_) / unit, units) * unit;
    }
    next = std::clamp(next, minimum_, maximum_);
    if (next != value_) {
        setValue(next);
        Q_EMIT edited(next);
    }
    return true;
}

bool VantrelSliderRow::eventFilter(QObject* watched, QEvent* event) {
    // The keys move the value in the read-out's units, not in the slider's positions.
    if (watched == slider_ && event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if ((key->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier && moveByKey(key->key())) {
            key->accept();
            return true;
        }
    }
    // A wheel turned over the slider scrolls the page it sits on: a setting must not change (and
    // be saved) because a page scrolled past it under the pointer. Left unaccepted, the event
    // goes on to the scroll area.
    if (watched == slider_ && event->type() == QEvent::Wheel) {
        event->ignore();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void VantrelSliderRow::resizeEvent(QResizeEvent*) {
    const SliderRowLayout layout = SliderRowLayout::of(QSizeF(size()), style_);
    title_->setGeometry(layout.title.toRect());
    slider_->setGeometry(layout.slider.toRect());
    value_label_->setGeometry(layout.value.toRect());
}

} // namespace vantrel
