#include "core/PreferenceEnums.h"
#include "core/VantrelHaptics.h"
#include "core/VantrelPreferences.h"
#include "kit/VantrelTheme.h"
#include "modules/AlarmController.h"
#include "modules/BookmarksStore.h"
#include "modules/CalendarStore.h"
#include "modules/FileShelfStore.h"
#include "modules/FocusTimer.h"
#include "modules/ModuleTestSupport.h"
#include "modules/NotificationSignalStore.h"
#include "notch/NotchBookmarksView.h"
#include "notch/NotchCalendarView.h"
#include "notch/NotchFilesView.h"
#include "notch/NotchFocusView.h"
#include "notch/NotchPresentationTier.h"
#include "notch/NotchSurfaceLayout.h"
#include "platform/linux/PosixFileManager.h"
#include "support/ContactSheet.h"
#include "support/FakeCalendarService.h"
#include "support/FakeOpenPanel.h"
#include "support/RecordingHapticPerformer.h"
#include "support/RecordingMenuPresenter.h"
#include "support/RecordingSharingService.h"
#include "support/RecordingSoundPlayer.h"
#include "support/RecordingUserDefaults.h"
#include "support/RecordingWorkspace.h"
#include "support/UtcTime.h"

#include <QCoreApplication>
#include <QFile>
#include <QPainter>
#include <QScrollArea>
#include <gtest/gtest.h>

using namespace vantrel;
using namespace vantrel::test;

namespace {

// The calendar, focus, files and bookmarks tabs with sample data, at the size their tier gives
// them on the smallest and the largest panel, in both looks, on one sheet for a person to look at.
struct TabsSheet : DataFolderTest {
    const QColor accent{255, 69, 58};
    FakeCalendarService calendarService;
    RecordingWorkspace workspace;
    CalendarStore calendar{calendarService, clock, scheduler, QTimeZone::utc(),
                           QLocale(QLocale::English, QLocale::UnitedStates)};
    RecordingUserDefaults defaults;
    VantrelPreferences preferences{defaults};
    RecordingHapticPerformer performer;
    RecordingSoundPlayer sounds;
    AlarmController alarm{preferences, performer, sounds, scheduler};
    NotificationSignalStore alerts{preferences, clock};
    FocusTimer focus{defaults, TimerAlarm(alarm, alerts, preferences), clock, scheduler};
    PosixFileManager posixFiles;
    RecordingSharingService sharing;
    ManualScheduler hapticScheduler{clock};
    VantrelHaptics haptics{preferences, performer, hapticScheduler};
    FileShelfStore shelf{defaults, posixFiles, clock, scheduler, workspace, sharing, haptics};
    FakeOpenPanel openPanel;
    BookmarksStore bookmarks{persistence, workspace, openPanel};
    RecordingMenuPresenter menus;

    static inline std::vector<std::pair<QString, QImage>> sheet;

    static QSizeF contentSize(NotchSize size, NotchTab tab) {
        const QSize panel = expanded(size, presentationTier(tab));
        return NotchSurfaceLayout::contentRows(QSizeF(panel), true, 32, tab).content.size();
    }

    void SetUp() override {
        CalendarEvent offsite;
        offsite.identifier = "offsite";
        offsite.title = "Team offsite";
        offsite.startDate = utc("2026-01-05T00:00:00Z");
        offsite.endDate = utc("2026-01-06T00:00:00Z");
        offsite.isAllDay = true;
        CalendarEvent review{
            "review", "Design review", utc("2026-01-05T10:30:00Z"), utc("2026-01-05T11:15:00Z"), false, {}};
        CalendarEvent markup{
            "markup", "<b>1:1</b> with Sam", utc("2026-01-05T15:00:00Z"), utc("2026-01-05T15:30:00Z"), false,
            {}};
        calendarService.stored = {offsite, review, markup};
        calendar.refresh();

        focus.updateDuration(25);
        focus.start();
        scheduler.advance(Seconds(7 * 60 + 30));
        focus.pause();
        focus.start();

        QList<QUrl> urls;
        for (auto [name, size] : {std::pair{"Quarterly report.pdf", qint64(84'000)},
                                  std::pair{"screen-recording-2026-01-05.mov", qint64(524'288'001)},
                                  std::pair{"notes.txt", qint64(3)}, std::pair{"logo.svg", qint64(900)}}) {
            QFile f(home.writeFile(QString::fromLatin1(name), "abc"));
            EXPECT_TRUE(f.resize(size));
            urls << QUrl::fromLocalFile(f.fileName());
        }
        shelf.add(urls);
        QFile::remove(urls[2].toLocalFile());
        shelf.add({urls[3]});
        shelf.clearLargeFileNotice();

        for (auto [title, address] :
             {std::pair{"", "example.com"}, std::pair{"Docs", "docs.example.org"},
              std::pair{"<i>Status</i>", "status.example.net"}, std::pair{"Mail", "mail.example.com"},
              std::pair{"", "news.example.com"}})
            bookmarks.addWebsite(QString::fromLatin1(title), QString::fromLatin1(address));
        bookmarks.addWebsite("", "ftp://files.example.com");
    }

    static void TearDownTestSuite() {
        saveContactSheet(sheet,
                         QStringLiteral(VANTREL_BINARY_DIR "/notch-tabs-calendar-focus-files-bookmarks.png"));
    }

    // The view on the look's own backdrop, padded as the surface pads its content.
    QImage render(QWidget& view, NotchTab tab, NotchSize size, ColorScheme scheme) {
        view.resize(contentSize(size, tab).toSize());
        VantrelTheme::setColorScheme(&view, scheme);
        view.show();
        QCoreApplication::processEvents();
        QImage image(view.size() + QSize(28, 28), QImage::Format_ARGB32_Premultiplied);
        image.fill(scheme == ColorScheme::dark ? QColor(0, 0, 0) : QColor(226, 230, 236));
        view.render(&image, QPoint(14, 14), QRegion(), QWidget::DrawChildren);
        sheet.emplace_back(QStringLiteral("%1  %2  %3 x %4  %5")
                               .arg(rawValue(tab), rawValue(size))
                               .arg(view.width())
                               .arg(view.height())
                               .arg(scheme == ColorScheme::dark ? "midnight" : "crystal"),
                           image);
        return image;
    }
};

// White at a small opacity over black: a grey of about that many 255ths.
bool isFaintWhite(QRgb pixel, double opacity) {
    const double expected = opacity * 255;
    return std::abs(qRed(pixel) - expected) <= 3 && qRed(pixel) == qGreen(pixel) &&
           qGreen(pixel) == qBlue(pixel);
}

bool isAccent(QRgb pixel) {
    return qRed(pixel) > 200 && qGreen(pixel) < 140 && qBlue(pixel) < 130;
}

constexpr std::array kSizes{std::pair{NotchSize::small, ColorScheme::dark},
                            std::pair{NotchSize::large, ColorScheme::dark},
                            std::pair{NotchSize::large, ColorScheme::light}};

} // namespace

TEST_F(TabsSheet, CalendarWithTodaysEvents) {
    EXPECT_EQ(contentSize(NotchSize::small, NotchTab::calendar), QSizeF(692, 317));
    for (auto [size, scheme] : kSizes) {
        NotchCalendarView view(calendar, workspace, accent);
        const QImage image = render(view, NotchTab::calendar, size, scheme);
        const QRectF first = NotchCalendarView::rowRects(view.width(), 1)[0];
        const auto row = NotchCalendarView::rowLayout(first);
        EXPECT_TRUE(isAccent(image.pixel((row.bar.center() + QPointF(14, 14 + view.bodyTop())).toPoint())));
        if (scheme == ColorScheme::dark) {
            EXPECT_TRUE(isFaintWhite(
                image.pixel(
                    QPointF(first.center().x() + 14, first.top() + 14 + view.bodyTop() + 4).toPoint()),
                0.055));
        }
    }
}

TEST_F(TabsSheet, FocusRunning) {
    for (auto [size, scheme] : kSizes) {
        NotchFocusView view(focus, accent);
        const QImage image = render(view, NotchTab::focus, size, scheme);
        const QRectF ring = view.currentLayout().ring.translated(14, 14);
        // The arc starts at the top and has run past the right-hand side (a bit under a third).
        EXPECT_TRUE(isAccent(image.pixel(QPointF(ring.center().x() + 3, ring.top()).toPoint())));
        EXPECT_TRUE(isAccent(image.pixel(QPointF(ring.right(), ring.center().y()).toPoint())));
        EXPECT_FALSE(isAccent(image.pixel(QPointF(ring.left(), ring.center().y()).toPoint())));
    }
}

TEST_F(TabsSheet, FilesWithABadgeAndAMovedFileThenTheDropCard) {
    for (auto [size, scheme] : kSizes) {
        NotchFilesView view(shelf, menus, accent, false);
        render(view, NotchTab::files, size, scheme);
    }
    shelf.clear();
    NotchFilesView resting(shelf, menus, accent, false);
    render(resting, NotchTab::files, NotchSize::small, ColorScheme::dark);
    NotchFilesView targeted(shelf, menus, accent, true);
    const QImage image = render(targeted, NotchTab::files, NotchSize::small, ColorScheme::dark);
    const QRectF card = targeted.cardRect().translated(14, 14);
    int dashes = 0;
    for (int x = int(card.center().x()) - 20; x < int(card.center().x()) + 20; ++x)
        for (int y : {int(card.top()), int(card.top()) + 1})
            if (QColor(image.pixel(x, y)).hueF() < 0.05 && qRed(image.pixel(x, y)) > 90) {
                ++dashes;
                break;
            }
    EXPECT_GT(dashes, 12) << "the dashed accent border";
    EXPECT_LT(dashes, 34) << "with gaps";
    for (int x = int(card.center().x()) - 20; x < int(card.center().x()) + 20; ++x)
        EXPECT_FALSE(isAccent(image.pixel(x, int(card.top()) + 3))) << "one point wide";
}

TEST_F(TabsSheet, BookmarksWithAMessage) {
    for (auto [size, scheme] : kSizes) {
        NotchBookmarksView view(bookmarks, menus, accent);
        const QImage image = render(view, NotchTab::bookmarks, size, scheme);
        const auto layout = view.currentLayout();
        const QRectF grid = layout.grid.translated(14, 14);
        if (scheme == ColorScheme::dark) {
            const QRectF field = layout.nameField.translated(14, 14);
            EXPECT_TRUE(
                isFaintWhite(image.pixel(QPointF(field.center().x(), field.top() + 3).toPoint()), 0.06));
            EXPECT_TRUE(
                isFaintWhite(image.pixel(QPointF(grid.left() + 70, grid.top() + 3).toPoint()), 0.055));
        }
        // The first cell's globe, in the accent.
        int accentPixels = 0;
        for (int x = int(grid.left()) + 10; x < int(grid.left()) + 40; ++x)
            for (int y = int(grid.top()) + 10; y < int(grid.top()) + 40; ++y)
                if (isAccent(image.pixel(x, y))) ++accentPixels;
        EXPECT_GT(accentPixels, 20);
    }
}

TEST_F(TabsSheet, TenEventsScrollUnderAThinIndicatorThatTakesNoWidth) {
    decltype(calendarService.stored) events;
    for (int i = 0; i < 10; ++i) {
        const QByteArray hour = QByteArray::number(10 + i);
        events.push_back({QStringLiteral("e%1").arg(i),
                          QStringLiteral("Meeting %1").arg(i + 1),
                          utc(("2026-01-05T" + hour + ":00:00Z").constData()),
                          utc(("2026-01-05T" + hour + ":30:00Z").constData()),
                          false,
                          {}});
    }
    calendarService.stored = events;
    calendar.refresh();
    ASSERT_EQ(calendar.events().size(), 10u);
    NotchCalendarView view(calendar, workspace, accent);
    const QImage image = render(view, NotchTab::calendar, NotchSize::small, ColorScheme::dark);
    QScrollArea* list = view.eventList();
    ASSERT_NE(list, nullptr);
    const QRect area(list->mapTo(&view, QPoint(14, 14)), list->size());
    ASSERT_GT(list->widget()->height(), list->height()) << "ten rows are more than the tab shows";

    // No scroll bar track down the list's edge: every column there has black between the rows.
    for (int x = area.right() - 20; x <= area.right(); ++x) {
        int lit = 0;
        for (int y = area.top(); y <= area.bottom(); ++y)
            if (QColor(image.pixel(x, y)).lightness() > 30) ++lit;
        EXPECT_LT(lit, area.height() * 3 / 4) << "a full-height bar at x " << x;
    }
    // The rows keep the list's whole width: the second row's own fill reaches its last column.
    const QRectF second = NotchCalendarView::rowRects(list->width(), 2)[1];
    EXPECT_TRUE(isFaintWhite(image.pixel(area.right(), area.top() + int(second.center().y())), 0.055));
}
