#pragma once

#include <QString>
#include <functional>

namespace vantrel {

// One entry of the command palette.
struct VantrelCommand {
    QString id;
    QString title;
    QString subtitle;
    // The name of the symbol drawn beside it.
    QString symbol;
    // Blank-separated search words.
    QString keywords;
    std::function<void()> action;
};

} // namespace vantrel
