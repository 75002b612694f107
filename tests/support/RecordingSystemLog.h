#pragma once

#include "platform/SystemLog.h"

#include <QStringList>
#include <vector>

namespace vantrel::test {

class RecordingSystemLog final : public SystemLog {
public:
    struct Line {
        LogLevel level;
        QString subsystem;
        QString category;
        QString message;
    };

    void log(LogLevel level, const QString& subsystem, const QString& category,
             const QString& message) override {
        lines_.push_back({level, subsystem, category, message});
    }

    const std::vector<Line>& lines() const { return lines_; }
    QStringList messages(const QString& category = {}) const {
        QStringList out;
        for (const auto& l : lines_)
            if (category.isEmpty() || l.category == category) out.append(l.message);
        return out;
    }
    void clear() { lines_.clear(); }

private:
    std::vector<Line> lines_;
};

} // namespace vantrel::test
