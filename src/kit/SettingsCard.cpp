#include "kit/SettingsCard.h"

#include "core/VantrelPreferences.h"
#include "kit/VantrelConcentricGeometry.h"
#include "kit/VantrelHelpButton.h"
#include "kit/VantrelLabel.h"
#include "kit/VantrelShadow.h"
#include "kit/VantrelType.h"
#include "platform/SystemAppearance.h"

#include <QHBoxLayout>
#include <QLinearGradient>
#include <QPainter>
#include <QVBoxLayout>
#include <cmath>

namespace vantrel {

using L = SettingsCardLayout;
using VantrelTheme::withOpacity;

// The card's inside: it draws the accent dot, the rule and the contrast outline over the glass.
class SettingsCard::Body final : public QWidget {
public:
    explicit Body(SettingsCard& card) : card_(card) {}

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        const ColorScheme scheme = VantrelTheme::colorScheme(this);
        const QWidget* header = card_.header_;

        // The dot sits 5 below the top of the text column, beside the title.
        const QPointF dotOrigin(header->x() + L::kHeaderSide, header->y() + L::kHeaderSide + L::kDotTop);
        painter.setPen(Qt::NoPen);
        painter.setBrush(VantrelTheme::accent(card_.store_.accent()));
        painter.drawEllipse(QRectF(dotOrigin, QSizeF(L::kDot, L::kDot)));

        const double ruleY = card_.ruleY();
        const QColor border = VantrelTheme::border().resolve(scheme);
        QLinearGradient rule(0, 0, width(), 0);
        rule.setColorAt(0, border);
        rule.setColorAt(0.5, withOpacity(border, 0.24));
        rule.setColorAt(1, Qt::transparent);
        painter.fillRect(QRectF(0, ruleY, width(), L::kRule), rule);

        if (const auto outline = outlineColor(card_.appearance_.increasedContrast(), scheme)) {
            const double radius = card_.look().cornerRadius;
            QPen pen(*outline, L::kOutlineWidth);
            pen.setMiterLimit(10);
            // The stroke is centred on the card's edge, as a shape's stroke is.
            painter.strokePath(VantrelConcentricGeometry::containerShape(radius).path(QRectF(rect())), pen);
        }
    }

private:
    SettingsCard& card_;
};

SettingsCard::SettingsCard(VantrelPreferences& preferences, SystemAppearance& appearance,
                           const QString& title, std::optional<QString> subtitle, std::optional<QString> help,
                           QWidget* parent)
    : GlassCard(preferences, 0, nullptr, parent), store_(preferences), appearance_(appearance),
      body_(new Body(*this)), header_(new QWidget(body_)), textColumn_(new QVBoxLayout),
      title_(new VantrelLabel(title, VantrelType::sectionTitle(), VantrelLabel::primary(), header_)),
      contentLayout_(new QVBoxLayout) {
    title_->setHeadingLevel(2);

    auto* headerRow = new QHBoxLayout(header_);
    headerRow->setContentsMargins(int(L::kHeaderSide + L::kDot + L::kHeaderSpacing), int(L::kHeaderSide),
                                  int(L::kHeaderSide), int(L::kHeaderBottom));
    headerRow->setSpacing(int(L::kHeaderSpacing));
    textColumn_->setSpacing(int(L::kTextSpacing));
    textColumn_->setContentsMargins(0, 0, 0, 0);
    textColumn_->addWidget(title_);
    headerRow->addLayout(textColumn_, 0);
    if (help) {
        help_ = new VantrelHelpButton(preferences, appearance, title, *help, header_);
        headerRow->addWidget(help_, 0, Qt::AlignTop);
    }
    headerRow->addStretch(1);
    setSubtitle(subtitle);

    auto* column = new QVBoxLayout(body_);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    column->addWidget(header_);
    const int pad = int(L::kContentPadding);
    // The rule takes its 0.7 points of the first pixel row under the header.
    contentLayout_->setContentsMargins(pad, pad + 1, pad, pad);
    contentLayout_->setSpacing(0);
    column->addLayout(contentLayout_);
    setContent(body_);

    connect(&appearance_, &SystemAppearance::changed, this, [this] {
        update();
        body_->update();
    });
}

void SettingsCard::addContent(QWidget* content) {
    contentLayout_->addWidget(content);
}

QString SettingsCard::title() const {
    return title_->text();
}

void SettingsCard::setSubtitle(const std::optional<QString>& subtitle) {
    if (!subtitle) {
        delete subtitle_;
        return;
    }
    if (!subtitle_) {
        subtitle_ =
            new VantrelLabel(QString(), VantrelType::caption(), VantrelTheme::secondaryText(), header_);
        subtitle_->setWordWrap(true);
        textColumn_->addWidget(subtitle_);
    }
    subtitle_->setText(*subtitle);
}

double SettingsCard::ruleY() const {
    return header_->geometry().bottom() + 1;
}

QColor SettingsCard::underlayColor(bool reduceTransparency, ColorScheme scheme) {
    return withOpacity(VantrelTheme::surface().resolve(scheme), reduceTransparency ? 1.0 : 0.0);
}

std::optional<QColor> SettingsCard::outlineColor(bool increasedContrast, ColorScheme scheme) {
    if (!increasedContrast) return std::nullopt;
    return withOpacity(VantrelTheme::primary(scheme), L::kOutlineOpacity);
}

void SettingsCard::paintEvent(QPaintEvent* event) {
    const ColorScheme scheme = VantrelTheme::colorScheme(this);
    const QColor underlay = underlayColor(appearance_.reduceTransparency(), scheme);
    if (underlay.alpha() > 0) {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.fillPath(VantrelConcentricGeometry::containerShape(look().cornerRadius).path(QRectF(rect())),
                         underlay);
    }
    GlassCard::paintEvent(event);
}

} // namespace vantrel
