#pragma once

#include "kit/VantrelTheme.h"

#include <QWidget>

namespace vantrel {

// The card behind a notice laid over a view: a rounded rectangle filled with one colour and edged
// with a one-point line of another, both resolved in the card's appearance.
class NoticeCard : public QWidget {
public:
    struct Look {
        AdaptiveColor fill;
        AdaptiveColor edge;
        double radius = 0;
    };

    explicit NoticeCard(Look look, QWidget* parent = nullptr);

    const Look& look() const { return look_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    Look look_;
};

} // namespace vantrel
