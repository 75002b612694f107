#pragma once

#include "platform/Trash.h"
#include "support/CallLog.h"

#include <QSet>
#include <QStringList>
#include <functional>

namespace vantrel::test {

// A Trash in memory: what was moved in, paths that refuse to move, an empty that can fail and a
// listing that can.
// Requests go to `log` when one is set ("trash.move <path>", "trash.empty").
class FakeTrash final : public Trash {
public:
    QString filesFolder() const override { return folder; }
    bool hasItems(QString* failure = nullptr) const override {
        if (failure) *failure = readFailure;
        return readFailure.isEmpty() && !items.isEmpty();
    }
    bool moveToTrash(const QString& path, QString* error = nullptr) override {
        if (log) log->add(QStringLiteral("trash.move ") + path);
        if (refused.contains(path)) {
            if (error) *error = QStringLiteral("refused");
            return false;
        }
        items.append(path);
        return true;
    }
    bool empty(QString* error = nullptr, const std::function<bool()>& stopRequested = {}) override {
        if (log) log->add(QStringLiteral("trash.empty"));
        if (heldEmpty) return heldEmpty(stopRequested);
        if (emptyFails) {
            if (error) *error = QStringLiteral("busy");
            return false;
        }
        items.clear();
        return true;
    }

    QString folder = QStringLiteral("/home/user/.local/share/Trash/files");
    QStringList items;
    QSet<QString> refused;
    bool emptyFails = false;
    // Set: an emptying that takes long, run in place of the real one with its stop request.
    std::function<bool(const std::function<bool()>& stopRequested)> heldEmpty;
    // Set: the Trash cannot be listed, for this reason.
    QString readFailure;
    CallLog* log = nullptr;
};

} // namespace vantrel::test
