#pragma once

#include "kit/VantrelTheme.h"
#include "platform/Workspace.h"

#include <QDialog>
#include <vector>

class QListWidget;

namespace vantrel {

class VantrelButton;

// The installed applications by name and icon, in the look of the window it opens over: a click
// chooses a row or lets it go again, so several are chosen without a modifier key, and the
// confirm button takes what is chosen.
class ApplicationChooser final : public QDialog {
    Q_OBJECT
public:
    struct Options {
        QString title;
        // The text of the confirm button.
        QString prompt;
        // Several at once, or one.
        bool multiple = true;
        ColorScheme scheme = ColorScheme::light;
        QColor accent;
    };

    ApplicationChooser(std::vector<InstalledApplication> applications, const Options& options,
                       QWidget* parent = nullptr);

    // The paths of the chosen entries, in the order listed.
    QStringList chosenPaths() const;

    // What tests look at and click.
    QListWidget* list() const { return list_; }
    VantrelButton* confirmButton() const { return confirm_; }
    VantrelButton* cancelButton() const { return cancel_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    class RowDelegate;

    QListWidget* list_;
    VantrelButton* confirm_;
    VantrelButton* cancel_;
};

} // namespace vantrel
