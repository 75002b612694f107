#include "platform/linux/QtPasteboard.h"

#include <QClipboard>
#include <QMimeData>

namespace vantrel {

QtPasteboard::QtPasteboard(QClipboard* clipboard, bool announcesChanges, QObject* parent)
    : QObject(parent), clipboard_(clipboard), announcesChanges_(announcesChanges) {
    connect(clipboard_, &QClipboard::changed, this, [this](QClipboard::Mode mode) {
        // The primary selection changes with every mouse selection; only the clipboard counts.
        if (mode != QClipboard::Clipboard) return;
        ++changeCount_;
        if (announcesChanges_ && listener_) listener_();
    });
}

bool QtPasteboard::platformAnnouncesChanges(const QString& platformName) {
    return platformName == u"xcb";
}

void QtPasteboard::setChangeListener(std::function<void()> listener) {
    listener_ = std::move(listener);
}

QStringList QtPasteboard::types() const {
    const QMimeData* data = clipboard_->mimeData(QClipboard::Clipboard);
    if (!data) return {};
    QStringList formats = data->formats();
    // A password manager marks a secret with the hint "secret"; other values of the hint (such
    // as "accepted") are not a request to keep the text out of histories.
    if (formats.contains(QLatin1String(kPasswordManagerHint)) &&
        data->data(QLatin1String(kPasswordManagerHint)).trimmed() == "secret")
        formats.append(QLatin1String(kConcealedType));
    return formats;
}

std::optional<QString> QtPasteboard::string() const {
    const QMimeData* data = clipboard_->mimeData(QClipboard::Clipboard);
    if (!data || !data->hasText()) return std::nullopt;
    return data->text();
}

void QtPasteboard::writeString(const QString& text) {
    const std::int64_t before = changeCount_;
    clipboard_->setText(text, QClipboard::Clipboard);
    // Qt reports our own write at once on the platforms we know; where it would not, count the
    // write here so the caller still sees the counter move past its own change.
    if (changeCount_ == before) ++changeCount_;
}

} // namespace vantrel
