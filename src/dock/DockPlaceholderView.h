#pragma once

#include <QWidget>

namespace vantrel {

// What the Dock panel shows until its tiles are drawn: the Dock's rounded translucent slab with a
// plain row of empty tile places, as many as fit.
class DockPlaceholderView final : public QWidget {
    Q_OBJECT
public:
    explicit DockPlaceholderView(QWidget* parent = nullptr);

    // The empty tile places that fit the current size.
    int placeCount() const;

protected:
    void paintEvent(QPaintEvent* event) override;
};

} // namespace vantrel
