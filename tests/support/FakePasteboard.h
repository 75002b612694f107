#pragma once

#include "platform/Pasteboard.h"

#include <vector>

namespace vantrel::test {

// A clipboard in memory. `copyFromElsewhere` plays another program's copy; `writes` records what
// the component itself put on it, and the read counters show whether it looked at the content.
class FakePasteboard final : public Pasteboard {
public:
    std::int64_t changeCount() const override { return changeCount_; }
    QStringList types() const override {
        ++typeReads;
        return types_;
    }
    std::optional<QString> string() const override {
        ++stringReads;
        return text_;
    }
    void writeString(const QString& text) override {
        writes.push_back(text);
        set(QStringList{QStringLiteral("text/plain")}, text);
    }

    void copyFromElsewhere(const QString& text, QStringList extraTypes = {}) {
        extraTypes.prepend(QStringLiteral("text/plain"));
        set(extraTypes, text);
    }
    // Content with no text form, such as an image.
    void copyWithoutText(QStringList types) { set(std::move(types), std::nullopt); }

    std::vector<QString> writes;
    mutable int typeReads = 0;
    mutable int stringReads = 0;

private:
    void set(QStringList types, std::optional<QString> text) {
        types_ = std::move(types);
        text_ = std::move(text);
        ++changeCount_;
    }

    std::int64_t changeCount_ = 1;
    QStringList types_;
    std::optional<QString> text_;
};

} // namespace vantrel::test
