#include "notch/NotchTabContent.h"

#include "core/QAObserver.h"
#include "kit/VantrelMotion.h"
#include "notch/CameraMirrorView.h"
#include "notch/NotchBookmarksView.h"
#include "notch/NotchCalendarView.h"
#include "notch/NotchClipboardView.h"
#include "notch/NotchFilesView.h"
#include "notch/NotchFocusView.h"
#include "notch/NotchNotesView.h"
#include "notch/NotchStateView.h"
#include "notch/NotchSurfaceLayout.h"
#include "notch/NotchSurfaceView.h"
#include "notch/NotchSystemView.h"
#include "notch/NotchTimersView.h"

namespace vantrel::NotchTabContent {

QWidget* make(NotchTab tab, const NotchTabContext& context, QWidget* parent) {
    if (tab == NotchTab::home) return nullptr;
    switch (tab) {
    case NotchTab::clipboard: {
        auto* clipboard =
            new NotchClipboardView(context.surface.clipboard, context.accent, context.surface.menus, parent);
        clipboard->setFileNotices(context.surface.fileNotices);
        return clipboard;
    }
    case NotchTab::note: {
        auto* notes = new NotchNotesView(context.surface.notes, context.accent, context.surface.clock,
                                         context.haptics, parent);
        notes->setFileNotices(context.surface.fileNotices);
        return notes;
    }
    case NotchTab::calendar:
        return new NotchCalendarView(context.surface.calendar, context.surface.workspace, context.accent,
                                     context.haptics, parent);
    case NotchTab::focus:
        return new NotchFocusView(context.surface.focus, context.accent, context.haptics, parent);
    case NotchTab::files: {
        auto* files = new NotchFilesView(context.surface.fileShelf, context.surface.menus, context.accent,
                                         context.isDropTarget && context.isDropTarget(), context.haptics,
                                         VantrelMotion::sharedIfInstalled(), parent);
        // The drop card follows a drag over the surface while the tab shows.
        if (auto* surface = qobject_cast<NotchSurfaceView*>(parent))
            QObject::connect(surface, &NotchSurfaceView::fileDragTargetedChanged, files,
                             &NotchFilesView::setDropTarget);
        return files;
    }
    case NotchTab::bookmarks: {
        auto* bookmarks = new NotchBookmarksView(context.surface.bookmarks, context.surface.menus,
                                                 context.accent, context.haptics, parent);
        bookmarks->setFileNotices(context.surface.fileNotices);
        return bookmarks;
    }
    case NotchTab::timers:
        return new NotchTimersView(context.surface.stopwatch, context.surface.menus, context.accent, parent);
    case NotchTab::system:
        return new NotchSystemView(context.surface.systemMonitor, context.accent, parent);
    case NotchTab::mirror:
        return new CameraMirrorView({context.surface.permissions, context.surface.preferences,
                                     context.surface.camera, context.surface.qaObserver},
                                    context.accent, context.haptics, parent);
    default:
        break;
    }
    // Placeholder until the tab's own view exists: the tab's symbol and name.
    return new NotchStateView(symbol(tab), NotchSurfaceLayout::tabTitle(tab), QString(), context.accent,
                              std::nullopt, {}, context.haptics, parent);
}

} // namespace vantrel::NotchTabContent
