#pragma once

#include <QWidget>

namespace vantrel {

// A hairline across a card, in the primary colour's separator tone at a given opacity, with room
// above and below it.
class PageDivider final : public QWidget {
    Q_OBJECT
public:
    PageDivider(double opacity, double padding, QWidget* parent = nullptr);

    double opacity() const { return opacity_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    double opacity_;
    double padding_;
};

} // namespace vantrel
