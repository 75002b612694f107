#include "kit/FeatureRow.h"

#include "kit/TextAdvance.h"
#include "kit/VantrelIcon.h"
#include "kit/VantrelLabel.h"
#include "kit/VantrelType.h"

#include <QFontMetricsF>
#include <cmath>

namespace vantrel {

namespace {
// What a layout would give the control: its size hint within its minimum and maximum sizes.
QSize preferredSize(const QWidget* control) {
    return control->sizeHint().expandedTo(control->minimumSize()).boundedTo(control->maximumSize());
}
} // namespace

FeatureRow::FeatureRow(VantrelPreferences& preferences, const QString& symbol, const IconColor& color,
                       const QString& title, const QString& subtitle, QWidget* trailing, QWidget* parent)
    : QWidget(parent), icon_(new VantrelIcon(preferences, symbol, color, FeatureRowLayout::kIconSize, this)),
      title_(new VantrelLabel(title, VantrelType::label(), VantrelLabel::primary(), this)),
      subtitle_(new VantrelLabel(subtitle, VantrelType::caption(), VantrelTheme::secondaryText(), this)),
      trailing_(trailing) {
    subtitle_->setWordWrap(true);
    subtitle_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    title_->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    if (trailing_) {
        trailing_->setParent(this);
        // Each row pairs its own title with its own control.
        trailing_->setAccessibleName(title);
        trailing_->setAccessibleDescription(subtitle);
    }
    QSizePolicy policy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    policy.setHeightForWidth(true);
    setSizePolicy(policy);
}

FeatureRowLayout FeatureRow::layoutFor(double width) const {
    FeatureRowLayout::Measures measures;
    measures.titleWidth = std::ceil(TextAdvance::of(title_->font(), title_->text()));
    measures.titleHeight = title_->sizeHint().height();
    const VantrelLabel* subtitle = subtitle_;
    measures.subtitleHeight = [subtitle](double w) { return double(subtitle->heightForWidth(int(w))); };
    measures.control = trailing_ ? QSizeF(preferredSize(trailing_)) : QSizeF();
    return FeatureRowLayout::of(width, measures);
}

int FeatureRow::heightForWidth(int width) const {
    return int(std::ceil(layoutFor(width).height));
}

QSize FeatureRow::sizeHint() const {
    const int width = int(FeatureRowLayout::kWideMinimumWidth);
    return QSize(width, heightForWidth(width));
}

QSize FeatureRow::minimumSizeHint() const {
    return QSize(0, int(FeatureRowLayout::kMinimumHeight));
}

void FeatureRow::resizeEvent(QResizeEvent*) {
    const FeatureRowLayout layout = layoutFor(width());
    icon_->move(layout.icon.topLeft().toPoint());
    title_->setGeometry(layout.title.toAlignedRect());
    subtitle_->setGeometry(layout.subtitle.toAlignedRect());
    if (trailing_) trailing_->setGeometry(layout.control.toRect());
}

} // namespace vantrel
