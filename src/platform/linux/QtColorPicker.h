#pragma once

#include "platform/ColorPicker.h"

#include <QPointer>

class QColorDialog;

namespace vantrel {

// The colour chooser as one non-modal QColorDialog without an alpha channel, shared by every
// well: opening it again hands it to the new well.
class QtColorPicker final : public ColorPicker {
public:
    QtColorPicker() = default;
    ~QtColorPicker() override;
    QtColorPicker(const QtColorPicker&) = delete;
    QtColorPicker& operator=(const QtColorPicker&) = delete;

    void open(const Request& request, std::function<void(const QColor& color)> picked) override;

    // The dialog while one exists (for tests).
    QColorDialog* dialog() const;

private:
    QPointer<QColorDialog> dialog_;
    QPointer<QWidget> anchor_;
    std::function<void(const QColor&)> picked_;
};

} // namespace vantrel
