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
// confirm button takes what is chosen. From the keyboard the arrow keys move a ringed current row,
// Space chooses it and Return confirms as the confirm button does, taking the current row when
// nothing is chosen.
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
    // The icons of `applications` for the rows of the same entries: the desktop's icons may come
    // in only after the chooser opened.
    void takeIcons(const std::vector<InstalledApplication>& applications);

    // What tests look at and click.
    QListWidget* list() const { return list_; }
    VantrelButton* confirmButton() const { return confirm_; }
    VantrelButton* cancelButton() const { return cancel_; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    class RowDelegate;

    // Takes what is chosen, or else the current row.
    void confirm();

    QListWidget* list_;
    VantrelButton* confirm_;
    VantrelButton* cancel_;
    // The list opens with the keyboard's focus on its first row, which is shown until a click.
    bool showsCurrent_ = true;
};

} // namespace vantrel
