#include "dock/DockReorderDropDelegate.h"

#include "dock/DockContentStore.h"

#include <QMimeData>

namespace vantrel {

DockReorderDropDelegate::DockReorderDropDelegate(DockShortcut item, DockContentStore& content,
                                                 std::optional<DockShortcut>& dragging,
                                                 std::function<void()> playControlsHaptic)
    : item_(std::move(item)), content_(content), dragging_(dragging), haptic_(std::move(playControlsHaptic)) {
}

QMimeData* DockReorderDropDelegate::mimeData(const DockShortcut& item) {
    auto* data = new QMimeData;
    const QString id = item.id.toString(QUuid::WithoutBraces).toUpper();
    data->setData(kMimeType, id.toUtf8());
    data->setText(id);
    return data;
}

bool DockReorderDropDelegate::accepts(const QMimeData& data, const std::optional<DockShortcut>& dragging) {
    if (!dragging || !data.hasFormat(kMimeType)) return false;
    return QUuid::fromString(QString::fromUtf8(data.data(kMimeType)).trimmed()) == dragging->id;
}

void DockReorderDropDelegate::dropEntered() {
    if (!dragging_ || dragging_->id == item_.id) return;
    if (content_.move(*dragging_, item_) && haptic_) haptic_();
}

bool DockReorderDropDelegate::performDrop() {
    dragging_.reset();
    if (haptic_) haptic_();
    return true;
}

} // namespace vantrel
