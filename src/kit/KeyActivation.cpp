#include "kit/KeyActivation.h"

#include <QAbstractButton>
#include <QKeyEvent>

namespace vantrel::KeyActivation {

namespace {

class ReturnPresses final : public QObject {
public:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::KeyPress) return false;
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() != Qt::Key_Return && key->key() != Qt::Key_Enter) return false;
        if ((key->modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier) return false;
        auto* button = qobject_cast<QAbstractButton*>(watched);
        if (!button || !button->isEnabled()) return false;
        if (!key->isAutoRepeat()) button->click();
        event->accept();
        return true;
    }
};

} // namespace

void pressOnReturn(QAbstractButton* button) {
    static ReturnPresses filter;
    button->installEventFilter(&filter);
}

} // namespace vantrel::KeyActivation
