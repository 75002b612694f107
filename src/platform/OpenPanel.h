#pragma once

#include <QPointer>
#include <QString>
#include <QStringList>
#include <QWidget>
#include <optional>

namespace vantrel {

struct OpenPanelRequest {
    QString title;
    // The text of the confirm button.
    QString prompt;
    // Offers installed applications only.
    bool applicationsOnly = false;
    // Offers folders only; files cannot be chosen.
    bool foldersOnly = false;
    // The window the panel opens over, whose appearance it takes; none: a window of its own.
    QPointer<QWidget> parent = nullptr;
};

// A modal file chooser.
class OpenPanel {
public:
    virtual ~OpenPanel() = default;
    // The chosen path; none when the user cancelled.
    virtual std::optional<QString> run(const OpenPanelRequest& request) = 0;
    // Several of what the request offers at once: the chosen paths in the order the panel lists
    // them; none when the user cancelled.
    virtual std::optional<QStringList> runMultiple(const OpenPanelRequest& request) = 0;
    // Several items at once, files and folders alike: the chosen paths in the order the panel
    // lists them; none when the user cancelled.
    virtual std::optional<QStringList> runForItems(const OpenPanelRequest& request) = 0;
};

} // namespace vantrel
