#pragma once

#include <QString>
#include <QStringList>
#include <cstdint>
#include <optional>

namespace vantrel {

// The desktop's general clipboard, as the clipboard history sees it: a counter that moves on
// every change, the list of types of the current item, and its plain text.
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
};

} // namespace vantrel
