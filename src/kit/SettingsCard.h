#pragma once

#include "kit/GlassCard.h"
#include "kit/VantrelLabel.h"

#include <QPointer>
#include <optional>

class QVBoxLayout;

namespace vantrel {

class SystemAppearance;
class VantrelHelpButton;

// Where a settings card puts its header, rule and content, for its width.
struct SettingsCardLayout {
    static constexpr double kHeaderSide = 20; // horizontal padding of the header, and its top
    static constexpr double kHeaderBottom = 16;
    static constexpr double kDot = 5; // the accent dot, 5 by 5
    static constexpr double kDotTop = 5;
    static constexpr double kHeaderSpacing = 9; // dot, texts, help button
    static constexpr double kTextSpacing = 3;   // title, subtitle
    static constexpr double kRule = 0.7;
    static constexpr double kContentPadding = 20;
    static constexpr double kOutlineWidth = 1.4;
    static constexpr double kOutlineOpacity = 0.46;
};

// A titled card grouping related settings on a page: an accent dot, the title, an optional
// subtitle and an optional help button over a rule, then the content. Its radius follows the
// corner style; under reduced transparency an opaque surface lies behind the glass, and under
// increased contrast a 1.4-point outline in the primary colour is drawn over it.
class SettingsCard : public GlassCard {
    Q_OBJECT
public:
    SettingsCard(VantrelPreferences& preferences, SystemAppearance& appearance, const QString& title,
                 std::optional<QString> subtitle = std::nullopt, std::optional<QString> help = std::nullopt,
                 QWidget* parent = nullptr);

    // The content, padded by 20 on every side; the card takes ownership. Several may be added,
    // one under the other.
    void addContent(QWidget* content);
    QVBoxLayout* contentLayout() const { return contentLayout_; }

    QString title() const;
    // The subtitle may be live: it is replaced, shown or removed at any time.
    void setSubtitle(const std::optional<QString>& subtitle);

    VantrelLabel* titleLabel() const { return title_; }
    VantrelLabel* subtitleLabel() const { return subtitle_; } // null while there is none
    VantrelHelpButton* helpButton() const { return help_; }   // null without help text
    // The y of the rule under the header, in the card's coordinates.
    double ruleY() const;

    // The card's fill behind the glass: `surface` opaque under reduced transparency, else clear.
    static QColor underlayColor(bool reduceTransparency, ColorScheme scheme);
    // The outline over the card: the primary colour at 0.46 under increased contrast, else none.
    static std::optional<QColor> outlineColor(bool increasedContrast, ColorScheme scheme);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    class Body;

    VantrelPreferences& store_;
    SystemAppearance& appearance_;
    Body* body_;
    QWidget* header_;
    QVBoxLayout* textColumn_;
    VantrelLabel* title_;
    QPointer<VantrelLabel> subtitle_;
    VantrelHelpButton* help_ = nullptr;
    QVBoxLayout* contentLayout_;
};

} // namespace vantrel
