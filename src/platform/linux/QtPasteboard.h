#pragma once

#include "platform/Pasteboard.h"

#include <QObject>

class QClipboard;

namespace vantrel {

// The desktop clipboard through QClipboard. Qt reports every change of the clipboard selection,
// also the ones made by other programs; counting those reports gives the change counter. Only
// on X11 do the reports of other programs' copies arrive while we are in the background (Wayland
// sends them to the focused window alone), so only there are they announced to the listener.
class QtPasteboard final : public QObject, public Pasteboard {
    Q_OBJECT
public:
    // The concealed-type marker the clipboard history refuses to record.
    static constexpr const char* kConcealedType = "org.nspasteboard.ConcealedType";
    // What KDE's clipboard and the password managers that follow it put beside a secret.
    static constexpr const char* kPasswordManagerHint = "x-kde-passwordManagerHint";

    // `announcesChanges`: whether Qt's reports cover every change; see platformAnnouncesChanges().
    QtPasteboard(QClipboard* clipboard, bool announcesChanges, QObject* parent = nullptr);

    // Whether Qt's platform plugin of that name reports other programs' copies as they happen.
    static bool platformAnnouncesChanges(const QString& platformName);

    std::int64_t changeCount() const override { return changeCount_; }
    QStringList types() const override;
    std::optional<QString> string() const override;
    void writeString(const QString& text) override;
    bool announcesChanges() const override { return announcesChanges_; }
    void setChangeListener(std::function<void()> listener) override;

private:
    QClipboard* clipboard_;
    const bool announcesChanges_;
    std::int64_t changeCount_ = 0;
    std::function<void()> listener_;
};

} // namespace vantrel
