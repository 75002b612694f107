#pragma once

#include "platform/Pasteboard.h"

#include <functional>
#include <vector>

namespace vantrel::test {

// A clipboard in memory. `copyFromElsewhere` plays another program's copy (`text` none: content with no text
// form, such as an image); `writes` records what the component itself put on it, and the read
// counters show whether it looked at the content. With `announces` set it tells its listener of
// every change, as the X11 clipboard does; `announce` repeats an announcement with no change.
class FakePasteboard final : public Pasteboard {
public:
    std::int64_t changeCount() const override { return changeCount_; }
    QStringList types() const override { return ++typeReads, types_; }
    std::optional<QString> string() const override { return ++stringReads, text_; }
    void writeString(const QString& text) override {
        writes.push_back(text);
        copyFromElsewhere(text);
    }
    void copyFromElsewhere(std::optional<QString> text, const QStringList& extraTypes = {}) {
        types_ = QStringList{text ? QStringLiteral("text/plain") : QStringLiteral("image/png")} + extraTypes;
        text_ = std::move(text);
        ++changeCount_;
        announce();
    }
    bool announcesChanges() const override { return announces; }
    void setChangeListener(std::function<void()> listener) override { listener_ = std::move(listener); }
    void announce() {
        if (announces && listener_) listener_();
    }
    bool hasListener() const { return static_cast<bool>(listener_); }

    bool announces = false;
    std::vector<QString> writes;
    mutable int typeReads = 0;
    mutable int stringReads = 0;

private:
    std::int64_t changeCount_ = 1;
    QStringList types_;
    std::optional<QString> text_;
    std::function<void()> listener_;
};

} // namespace vantrel::test
