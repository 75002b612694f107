#include "platform/linux/QtColorPicker.h"

#include <QColorDialog>

namespace vantrel {

QColorDialog* QtColorPicker::dialog() const {
    return dialog_;
}

QtColorPicker::~QtColorPicker() {
    delete dialog_;
}

void QtColorPicker::open(const Request& request, std::function<void(const QColor& color)> picked) {
    if (!dialog_) {
        dialog_ = new QColorDialog;
        dialog_->setOption(QColorDialog::ShowAlphaChannel, false);
        // The well stays usable while the dialog is open: it answers through its signals.
        dialog_->setModal(false);
        dialog_->setWindowModality(Qt::NonModal);
        QObject::connect(dialog_, &QColorDialog::currentColorChanged, dialog_, [this](const QColor& color) {
            // A well that is gone (its page was left) hears nothing more.
            if (picked_ && anchor_ && color.isValid()) picked_(color);
        });
        QObject::connect(dialog_, &QDialog::finished, dialog_, [this] {
            picked_ = nullptr;
            anchor_ = nullptr;
        });
    }
    // The previous well stops hearing before the colour moves to the new one.
    picked_ = nullptr;
    anchor_ = request.anchor;
    dialog_->setWindowTitle(request.title);
    dialog_->setCurrentColor(request.initial);
    picked_ = std::move(picked);
    dialog_->show();
    dialog_->raise();
    dialog_->activateWindow();
}

} // namespace vantrel
