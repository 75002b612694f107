#pragma once

#include "dock/DockTile.h"
#include "platform/Scheduler.h"

#include <QStringList>

namespace vantrel {

// The Trash: an empty or a full can, read from the Trash every 5 seconds while shown; a click
// opens it, files dropped on it move to it, and its menu opens or empties it (after asking).
class TrashDockButton final : public DockTile {
    Q_OBJECT
public:
    static constexpr double kPollSeconds = 5;

    TrashDockButton(const DockViewContext& context, QWidget* parent = nullptr);

    bool isEmpty() const { return isEmpty_; }
    // Why the last "Empty Trash…" left something behind, shown at the foot of the menu; empty
    // once an emptying succeeds.
    const QString& status() const { return status_; }
    // Reads whether the Trash holds anything.
    void refresh();
    // The Trash in the file manager: the desktop's own Trash view, else its folder.
    void openTrash();
    // Asks, then deletes what the Trash holds and reads it again at once. What stays is reported
    // in the menu's status.
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

    bool isEmpty_ = true;
    QString status_;
    ScheduledTask poll_;
};

} // namespace vantrel
