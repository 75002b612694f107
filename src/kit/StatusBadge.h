#pragma once

#include "platform/SystemAppearance.h"

#include <QColor>
#include <QWidget>

namespace vantrel {

class VantrelPreferences;

// What a status badge draws for its state.
struct StatusBadgeLook {
    QString text;
    QColor textColor; // the accent when on, else dormant
    QColor fill;      // the accent at 0.11 when on, else elevated
    QColor stroke;    // the accent at 0.24 when on, else border

    static constexpr double kPaddingH = 9;
    static constexpr double kPaddingV = 4.5;
    static constexpr double kStroke = 0.65;
    static constexpr double kTracking = 0.25;

    static StatusBadgeLook of(bool enabled, const QString& onText, const QString& offText,
                              const QColor& accent, ColorScheme scheme);
};

// A small capsule reading one of two texts by an on/off state: in the accent when on, dormant
// when off. The accent is read from the settings each time it is drawn.
class StatusBadge : public QWidget {
    Q_OBJECT
public:
    StatusBadge(VantrelPreferences& preferences, bool enabled, const QString& onText, const QString& offText,
                QWidget* parent = nullptr);

    // The state shown ("enabled"; named apart from QWidget's own enabled state).
    bool badgeEnabled() const { return enabled_; }
    void setBadgeEnabled(bool enabled);
    StatusBadgeLook look() const;

    static QFont font(); // 9, bold, tracking 0.25

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    VantrelPreferences& preferences_;
    bool enabled_;
    QString onText_;
    QString offText_;
};

} // namespace vantrel
