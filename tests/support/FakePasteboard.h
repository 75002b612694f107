#pragma once

#include "platform/Pasteboard.h"

#include <vector>

namespace vantrel::test {

// A clipboard in memory. `copyFromElsewhere` plays another program's copy (`text` none: content with no text
// form, such as an image); `writes` records what the component itself put on it, and the read
// counters show whether it looked at the content.
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
    }

    std::vector<QString> writes;
    mutable int typeReads = 0;
    mutable int stringReads = 0;

private:
    std::int64_t changeCount_ = 1;
    QStringList types_;
    std::optional<QString> text_;
};

} // namespace vantrel::test
