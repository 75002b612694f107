#pragma once

#include <QString>
#include <QStringList>
#include <cstdint>
#include <functional>
#include <optional>

namespace vantrel {

// The desktop's general clipboard, as the clipboard history sees it: a counter that moves on
// every change, the list of types of the current item, and its plain text. Some backends also
// announce each change as it happens; the others have to be asked from time to time.
class Pasteboard {
public:
    virtual ~Pasteboard() = default;

    // Grows by at least one whenever the content changes, by this process or by another.
    virtual std::int64_t changeCount() const = 0;
    // The types the current item is offered in. Markers that other programs set to keep their
    // content out of histories (a password manager's secret, for one) appear here too.
    virtual QStringList types() const = 0;
    // The item's plain text, or none when it has no text form.
    virtual std::optional<QString> string() const = 0;
    // Replaces whatever is on the clipboard with `text` as plain text.
    virtual void writeString(const QString& text) = 0;

    // Whether the listener below hears of every change, so that nobody needs to poll.
    virtual bool announcesChanges() const { return false; }
    // The one listener told, on the main thread, after the counter has moved; an empty function
    // removes it. Backends that do not announce changes never call it.
    virtual void setChangeListener(std::function<void()> listener) { (void)listener; }
};

} // namespace vantrel
