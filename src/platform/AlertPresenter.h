#pragma once

#include <QString>
#include <QStringList>
#include <optional>

namespace vantrel {

// A modal question with a few answers.
class AlertPresenter {
public:
    enum class Style { informational, warning, critical };
    struct Request {
        Style style = Style::informational;
        // Plain text, shown as given.
        QString messageText;
        QString informativeText;
        // The first is the default answer; a "Cancel" answers Escape.
        QStringList buttons;
    };

    virtual ~AlertPresenter() = default;
    // The index of the chosen button; none when the alert was closed without an answer.
    virtual std::optional<int> run(const Request& request) = 0;
};

} // namespace vantrel
