#pragma once

#include <QColor>
#include <QPointer>
#include <QString>
#include <QWidget>
#include <functional>

namespace vantrel {

// A colour chooser that opens beside a colour well without taking over the window: it reports
// each colour the user settles on while it stays open, and never asks for opacity.
class ColorPicker {
public:
    struct Request {
        QPointer<QWidget> anchor; // the well it belongs to; it stops reporting once the well is gone
        QColor initial;           // the colour it opens on
        QString title;            // the well's name
    };

    virtual ~ColorPicker() = default;
    // Opens the picker (or moves the open one) on `request`. `picked` hears every colour chosen
    // from then on, until the picker closes or another well opens it.
    virtual void open(const Request& request, std::function<void(const QColor& color)> picked) = 0;
};

} // namespace vantrel
