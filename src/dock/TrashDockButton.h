#pragma once

#include "dock/DockTile.h"
#include "platform/ResultPort.h"
#include "platform/Scheduler.h"

#include <QStringList>

namespace vantrel {

// The Trash: an empty or a full can, read from the Trash every 5 seconds while shown; a click
// opens it, files dropped on it move to it, and its menu opens or empties it (after asking). The
// emptying runs on the context's Trash queue; the menu says so meanwhile, and afterwards what
// stayed. A Trash that cannot be read says why in the menu.
class TrashDockButton final : public DockTile {
    Q_OBJECT
public:
    static constexpr double kPollSeconds = 5;

    TrashDockButton(const DockViewContext& context, QWidget* parent = nullptr);

    bool isEmpty() const { return isEmpty_; }
    bool isEmptying() const { return emptying_; }
    // Why the last "Empty Trash…" left something behind, shown at the foot of the menu; empty
    // once an emptying succeeds.
    const QString& status() const { return status_; }
    // Reads whether the Trash holds anything, and why it cannot be read when it cannot.
    void refresh();
    // The Trash in the file manager: the desktop's own Trash view, else its folder.
    void openTrash();
    // Asks, then has the queue delete what the Trash holds, and reads it again as soon as that
    // ends. What stays is reported in the menu's status.
    void emptyTrash();
    // Moves the dropped paths to the Trash (never the Trash itself). True only when every one
    // moved; when any moved, the dock haptic plays and the can is read again.
    bool drop(const QStringList& paths);

    DockMenu menu() override;
    void activate() override { openTrash(); }

protected:
    void paintIcon(QPainter& painter) const override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void setEmpty(bool empty);
    void describe();
    void emptied(bool complete, const QString& error);

    bool isEmpty_ = true;
    bool emptying_ = false;
    QString status_;
    QString readFailure_;
    ScheduledTask poll_;
    ResultPort results_;
};

} // namespace vantrel
