#pragma once

#include "platform/Pasteboard.h"

#include <QObject>

class QClipboard;

namespace vantrel {

// The desktop clipboard through QClipboard. Qt reports every change of the clipboard selection,
// also the ones made by other programs; counting those reports gives the change counter.
class QtPasteboard final : public QObject, public Pasteboard {
    Q_OBJECT
public:
    // The concealed-type marker the clipboard history refuses to record.
    static constexpr const char* kConcealedType = "org.nspasteboard.ConcealedType";
    // What KDE's clipboard and the password managers that follow it put beside a secret.
    static constexpr const char* kPasswordManagerHint = "x-kde-passwordManagerHint";

    explicit QtPasteboard(QClipboard* clipboard, QObject* parent = nullptr);

    std::int64_t changeCount() const override { return changeCount_; }
    QStringList types() const override;
    std::optional<QString> string() const override;
    void writeString(const QString& text) override;

private:
    QClipboard* clipboard_;
    std::int64_t changeCount_ = 0;
};

} // namespace vantrel
