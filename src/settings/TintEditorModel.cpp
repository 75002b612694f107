#include "settings/TintEditorModel.h"

#include "core/VantrelHaptics.h"

namespace vantrel {

TintEditorModel::TintEditorModel(Texts texts, Storage storage, VantrelHaptics& haptics, QObject* parent)
    : QObject(parent), texts_(std::move(texts)), storage_(std::move(storage)), haptics_(haptics) {}

QColor TintEditorModel::color(const BackgroundTint& tint) {
    return QColor::fromRgbF(float(tint.red), float(tint.green), float(tint.blue), 1.0f);
}

QColor TintEditorModel::wellColor() const {
    return pending_ ? *pending_ : color(storage_.tint());
}

QString TintEditorModel::statusText() const {
    if (pending_) return QStringLiteral("Unsaved");
    if (isEnabled()) return QStringLiteral("Saved color");
    return texts_.defaultStatus;
}

void TintEditorModel::setPendingValue(std::optional<QColor> value) {
    if (pending_ == value) return;
    pending_ = std::move(value);
    Q_EMIT changed();
}

void TintEditorModel::setPending(const QColor& color) {
    if (!color.isValid()) return;
    setPendingValue(color);
}

void TintEditorModel::save() {
    if (!pending_) return;
    haptics_.play(HapticSurface::controls);
    const BackgroundTint tint = BackgroundTint::fromColor(*pending_);
    storage_.setTint(tint);
    storage_.setEnabled(true);
    setPendingValue(std::nullopt);
}

void TintEditorModel::cancel() {
    setPendingValue(std::nullopt);
}

void TintEditorModel::reset() {
    haptics_.play(HapticSurface::controls);
    setPendingValue(std::nullopt);
    storage_.setEnabled(false);
}

} // namespace vantrel
