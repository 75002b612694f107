#pragma once

#include <QColor>
#include <QIcon>
#include <QWidget>

namespace vantrel {

// The brand mark: the application's own icon, stretched to `size` by `size`. Decoration only:
// hidden from assistive technology and transparent to clicks. The accent is kept for callers
// that recolour their surroundings but is not drawn.
class VantrelMark final : public QWidget {
    Q_OBJECT
public:
    VantrelMark(double size, QColor accent, QWidget* parent = nullptr);

    double markSize() const { return size_; }
    QColor accent() const { return accent_; }
    void setAccent(const QColor& accent) { accent_ = accent; }

    // The running application's icon; when it has none, the mark drawn in its place.
    static QIcon applicationIcon();

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    double size_;
    QColor accent_;
};

} // namespace vantrel
