#pragma once

#include "control-center/HomeActions.h"
#include "control-center/HomePage.h"
#include "control-center/HomeUtilityPanel.h"
#include "modules/ClipboardStore.h"
#include "modules/FileShelfStore.h"
#include "modules/NotesStore.h"
#include "support/ControlCenterHarness.h"

#include <QImage>
#include <QPainter>
#include <QUrl>

namespace vantrel::test {

// The stores of the control-center harness with what the home page shows filled in
// through the stores' own operations: permissions, clipboard copies, notes and shelf files.
struct HomeHarness {
    ControlCenterHarness c;
    ControlCenterContext context = c.context();
    HomePageContext& home = context.home;

    // Every permission granted, or `allowed` of the four in the page's order.
    void grant(bool accessibility, bool inputMonitoring, bool camera, bool calendar) {
        c.h.permissionSystem.accessibilityTrusted = accessibility;
        c.h.permissionSystem.listenEventAccess = inputMonitoring;
        c.h.permissionSystem.capture =
            camera ? CaptureAuthorizationStatus::authorized : CaptureAuthorizationStatus::denied;
        c.h.calendarStatus =
            calendar ? CalendarAuthorizationStatus::fullAccess : CalendarAuthorizationStatus::denied;
        c.stores.permissions.refresh();
    }
    // Another program copies `text`; the history takes it in.
    void copy(const QString& text) {
        c.h.pasteboard.copyFromElsewhere(text);
        c.stores.clipboard.captureIfNeeded();
        c.h.clock.advance(Seconds(1));
    }
    // A real image file in the temporary home, `color` all over.
    QString image(const QString& name, QColor color, QSize size = QSize(64, 40)) {
        QImage picture(size, QImage::Format_ARGB32);
        picture.fill(color);
        QPainter painter(&picture);
        painter.fillRect(QRect(0, 0, size.width() / 2, size.height() / 2), color.darker(160));
        painter.end();
        const QString path = c.h.home.root() + QLatin1Char('/') + name;
        picture.save(path, "PNG");
        return path;
    }
    QString file(const QString& name, const QByteArray& bytes = "data") {
        return c.h.home.writeFile(name, bytes);
    }
    void shelve(const QStringList& paths) {
        QList<QUrl> urls;
        for (const QString& path : paths) urls.append(QUrl::fromLocalFile(path));
        c.stores.fileShelf.add(urls);
    }
    // A note with `title` and `body`, added through the store and left selected.
    QUuid note(const QString& title, const QString& body) {
        NotesStore& notes = c.stores.notes;
        notes.add(std::nullopt);
        notes.updateSelected(title + (body.isEmpty() ? QString() : QStringLiteral("\n") + body));
        return *notes.selectedID();
    }
};

} // namespace vantrel::test
