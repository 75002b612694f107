#include "dock/TrashDockButton.h"

#include "kit/GlyphCatalogue.h"
#include "platform/AlertPresenter.h"
#include "platform/SystemLog.h"
#include "platform/Trash.h"
#include "platform/WorkQueue.h"
#include "platform/Workspace.h"

#include <QDir>
#include <QDropEvent>
#include <QMimeData>
#include <QPainter>
#include <QPainterPath>
#include <QUrl>

namespace vantrel {

TrashDockButton::TrashDockButton(const DockViewContext& context, QWidget* parent)
    : DockTile(context, parent) {
    setAcceptDrops(true);
    describe();
}

void TrashDockButton::setEmpty(bool empty) {
    // The Trash is read every few seconds; a reading that finds it as it was changes nothing.
    if (empty == isEmpty_) return;
    isEmpty_ = empty;
    describe();
    Q_EMIT needsDisplay();
}

void TrashDockButton::describe() {
    setToolTip(QString::fromUtf8(isEmpty_ ? "Trash \u2014 empty" : "Trash \u2014 has items"));
    setAccessibleName(QString::fromUtf8(isEmpty_ ? "Trash, empty" : "Trash, has items"));
}

void TrashDockButton::refresh() {
    QString failure;
    const bool hasItems = context_.trash.hasItems(&failure);
    readFailure_ = failure;
    setEmpty(!hasItems);
}

void TrashDockButton::showEvent(QShowEvent* event) {
    DockTile::showEvent(event);
    refresh();
    QPointer<TrashDockButton> self(this);
    poll_ = ScheduledTask(context_.scheduler,
                          context_.scheduler.scheduleRepeating(Seconds(kPollSeconds), Seconds(0), [self] {
                              if (self) self->refresh();
                          }));
}

void TrashDockButton::hideEvent(QHideEvent* event) {
    DockTile::hideEvent(event);
    poll_.cancel();
}

void TrashDockButton::openTrash() {
    if (context_.workspace.open(QUrl(QStringLiteral("trash:///")))) return;
    context_.workspace.open(QUrl::fromLocalFile(context_.trash.filesFolder()));
}

void TrashDockButton::emptyTrash() {
    if (emptying_ || !context_.trashQueue) return;
    const std::optional<int> answer =
        context_.alerts.run({.style = AlertPresenter::Style::warning,
                             .messageText = QStringLiteral("Permanently delete the items in the Trash?"),
                             .informativeText = {},
                             .buttons = {QStringLiteral("Empty Trash"), QStringLiteral("Cancel")}});
    if (answer != 0) return;
    emptying_ = true;
    // A large Trash takes seconds to delete: never on the main thread.
    context_.trashQueue->async(
        [&trash = context_.trash, quitting = context_.quitting, results = results_.handle(), this] {
            QString error;
            const bool complete = trash.empty(&error, [quitting] { return quitting && quitting->load(); });
            results.post([this, complete, error] { emptied(complete, error); });
        });
}

void TrashDockButton::emptied(bool complete, const QString& error) {
    emptying_ = false;
    if (complete) {
        status_.clear();
    } else {
        status_ = error.isEmpty() ? QStringLiteral("The Trash could not be emptied.") : error;
        context_.log.log(LogLevel::error, QStringLiteral("com.vantrel.mac"), QStringLiteral("Dock"),
                         QStringLiteral("Emptying the Trash failed: ") + status_);
    }
    refresh();
}

bool TrashDockButton::drop(const QStringList& paths) {
    if (paths.isEmpty()) return true;
    const QString trashFolder = QDir::cleanPath(context_.trash.filesFolder());
    int moved = 0;
    for (const QString& path : paths) {
        if (QDir::cleanPath(path) == trashFolder) continue;
        QString error;
        if (context_.trash.moveToTrash(path, &error))
            ++moved;
        else
            context_.log.log(LogLevel::info, QStringLiteral("com.vantrel.mac"), QStringLiteral("Dock"),
                             QStringLiteral("Could not move an item to the Trash: ") + error);
    }
    if (moved >= 1) {
        if (context_.playHaptic) context_.playHaptic(HapticSurface::dock);
        refresh();
    }
    return moved == paths.size();
}

void TrashDockButton::dragEnterEvent(QDragEnterEvent* event) {
    if (event->mimeData()->hasUrls()) event->acceptProposedAction();
}

void TrashDockButton::dragMoveEvent(QDragMoveEvent* event) {
    if (event->mimeData()->hasUrls()) event->acceptProposedAction();
}

void TrashDockButton::dropEvent(QDropEvent* event) {
    QStringList paths;
    for (const QUrl& url : event->mimeData()->urls())
        if (url.isLocalFile()) paths.append(url.toLocalFile());
    if (paths.isEmpty()) {
        event->ignore();
        return;
    }
    const bool ok = drop(paths);
    event->setDropAction(Qt::MoveAction);
    if (ok)
        event->accept();
    else
        event->ignore();
}

DockMenu TrashDockButton::menu() {
    DockMenu menu;
    QPointer<TrashDockButton> self(this);
    menu.add(QStringLiteral("Open Trash"), [self] {
        if (self) self->openTrash();
    });
    menu.add(
        QString::fromUtf8("Empty Trash\u2026"),
        [self] {
            if (self) self->emptyTrash();
        },
        !isEmpty_ && !emptying_ && context_.trashQueue);
    QStringList notes;
    if (emptying_)
        notes.append(QString::fromUtf8("Emptying the Trash\u2026"));
    else if (!status_.isEmpty())
        notes.append(status_);
    if (!readFailure_.isEmpty() && !notes.contains(readFailure_)) notes.append(readFailure_);
    if (!notes.isEmpty()) menu.addDivider();
    for (const QString& note : notes) menu.add(note, {}, false);
    return menu;
}

void TrashDockButton::paintIcon(QPainter& painter) const {
    const QRectF icon = iconRect();
    const double s = icon.width();
    QPainterPath square;
    square.addRoundedRect(icon, 11, 11);
    painter.fillPath(square, QColor::fromRgbF(1, 1, 1, isEmpty_ ? 0.05f : 0.1f));
    const QRectF glyph(icon.center().x() - s * 0.31, icon.center().y() - s * 0.31, s * 0.62, s * 0.62);
    GlyphCatalogue::paint(painter, isEmpty_ ? u"trash" : u"trash.fill", glyph,
                          isEmpty_ ? QColor::fromRgbF(1, 1, 1, 0.55f) : QColor(Qt::white), QFont::Medium);
}

} // namespace vantrel
