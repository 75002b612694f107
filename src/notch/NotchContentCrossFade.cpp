#include "notch/NotchContentCrossFade.h"

#include "kit/VantrelMotion.h"

#include <QGraphicsOpacityEffect>
#include <QVariantAnimation>

namespace vantrel {

namespace {

QGraphicsOpacityEffect* opacityEffect(QWidget* view) {
    if (auto* effect = qobject_cast<QGraphicsOpacityEffect*>(view->graphicsEffect())) return effect;
    auto* effect = new QGraphicsOpacityEffect(view);
    effect->setOpacity(1);
    view->setGraphicsEffect(effect);
    return effect;
}

} // namespace

NotchContentCrossFade::NotchContentCrossFade(QObject* parent)
    : QObject(parent), animation_(new QVariantAnimation(this)) {
    VantrelAnimation::easeInOut(kSeconds).applyTo(*animation_);
    animation_->setStartValue(0.0);
    animation_->setEndValue(1.0);
    connect(animation_, &QVariantAnimation::valueChanged, this,
            [this](const QVariant& value) { apply(value.toDouble()); });
    connect(animation_, &QVariantAnimation::finished, this, &NotchContentCrossFade::finish);
}

NotchContentCrossFade::~NotchContentCrossFade() {
    animation_->stop();
}

void NotchContentCrossFade::start(QWidget* outgoing, QWidget* incoming) {
    animation_->stop();
    // A change that comes before the last one has ended: what was fading out goes at once.
    delete outgoing_;
    outgoing_ = outgoing;
    incoming_ = incoming;
    outgoingFrom_ = outgoing ? opacity(outgoing) : 1;
    if (outgoing) {
        // A view on its way out must not take a click meant for the one coming in.
        outgoing->setAttribute(Qt::WA_TransparentForMouseEvents);
        opacityEffect(outgoing);
    }
    if (incoming) opacityEffect(incoming);
    if (!outgoing && !incoming) return;
    apply(0);
    animation_->start();
}

double NotchContentCrossFade::opacity(const QWidget* view) {
    if (!view) return 0;
    if (auto* effect = qobject_cast<const QGraphicsOpacityEffect*>(view->graphicsEffect()))
        return effect->opacity();
    return 1;
}

void NotchContentCrossFade::apply(double progress) {
    if (outgoing_) opacityEffect(outgoing_)->setOpacity(outgoingFrom_ * (1 - progress));
    if (incoming_) opacityEffect(incoming_)->setOpacity(progress);
}

void NotchContentCrossFade::finish() {
    delete outgoing_;
    // Faded in, the view draws straight to the surface again instead of through the effect.
    if (incoming_) incoming_->setGraphicsEffect(nullptr);
    incoming_ = nullptr;
}

} // namespace vantrel
