#pragma once

#include <QWidget>

namespace vantrel {

// A one-point horizontal rule between the rows of a settings card: the system's separator tone
// at an opacity, resolved for the appearance it is drawn in.
class PageDivider final : public QWidget {
    Q_OBJECT
public:
    explicit PageDivider(double opacity, QWidget* parent = nullptr);

    double opacity() const { return opacity_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    double opacity_;
};

} // namespace vantrel
