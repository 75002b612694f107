#pragma once

#include <QString>
#include <functional>

namespace vantrel {

// The user's Trash: whether it holds anything, moving files into it and emptying it.
class Trash {
public:
    virtual ~Trash() = default;

    // The folder that holds the trashed items themselves.
    virtual QString filesFolder() const = 0;
    // Whether the Trash holds any entry, hidden ones too. A missing Trash holds nothing; so does
    // one that cannot be listed, with the reason in `failure` when given.
    virtual bool hasItems(QString* failure = nullptr) const = 0;
    // Moves what is at `path` to the Trash, noting where it came from. False, with the reason in
    // `error` when given, when it stayed where it was.
    virtual bool moveToTrash(const QString& path, QString* error = nullptr) = 0;
    // Deletes everything in the Trash for good. False, with the reason, when something stayed.
    // Called off the main thread, while the other members may be called on it. `stopRequested`
    // is asked as it goes (between its readings, before each entry): once it answers true the
    // emptying ends there, and every item left is still whole in the Trash.
    virtual bool empty(QString* error = nullptr, const std::function<bool()>& stopRequested = {}) = 0;
};

} // namespace vantrel
