#pragma once

#include "modules/CalendarItem.h"
#include "notch/NotchStateView.h"
#include "platform/CalendarService.h"

#include <QAbstractButton>
#include <QColor>
#include <QDate>
#include <QPointer>
#include <QScrollArea>
#include <QStringList>
#include <QWidget>
#include <optional>
#include <vector>

class QLocale;
class QTimeZone;

namespace vantrel {

class CalendarStore;
class VantrelHaptics;
class Workspace;

// The calendar tab of the open notch: today's date and briefing over today's events, or the
// state that asks for access, sends the user to the settings or offers to try again.
class NotchCalendarView final : public QWidget {
    Q_OBJECT
public:
    // Header.
    static constexpr double kDateSize = 18;
    static constexpr double kBriefingSize = 11;
    static constexpr int kBriefingLines = 2;
    static constexpr double kHeaderSpacing = 2;
    static constexpr double kBodySpacing = 12;
    // Event rows.
    static constexpr double kRowSpacing = 8;
    static constexpr double kRowPadding = 11;
    static constexpr double kRowInnerSpacing = 11;
    static constexpr double kRowRadius = 13;
    static constexpr double kBarWidth = 4;
    static constexpr double kBarHeight = 40;
    static constexpr double kTitleSize = 12.5;
    static constexpr double kTimeSize = 10.5;
    static constexpr double kTextSpacing = 3;

    // What the body shows, tested in this order.
    enum class Body { error, access, events };
    static Body body(const std::optional<QString>& errorMessage, CalendarAuthorizationStatus status);
    // Denied and restricted access can only be changed in the settings.
    static bool calendarNeedsSettings(CalendarAuthorizationStatus status);

    struct StateTexts {
        QString symbol;
        QString title;
        QString message;
        std::optional<QString> actionTitle;
    };
    // The state view of each body but a non-empty event list.
    static StateTexts errorTexts(const QString& errorMessage);
    static StateTexts accessTexts(bool needsSettings);
    static StateTexts emptyTexts();

    // "Monday, December 7": the wide weekday, month and day in the locale's order, no year.
    static QString dateTitle(const QDate& date, const QLocale& locale);
    // "All day", or the short start and end times joined by " – ".
    static QString timeLine(const CalendarItem& item, const QTimeZone& zone, const QLocale& locale);

    // Where the event rows sit in a list `width` wide, top down.
    static std::vector<QRectF> rowRects(double width, int count);
    // The pieces of one row.
    struct RowLayout {
        QRectF bar;
        QRectF title;
        QRectF time;
    };
    static RowLayout rowLayout(const QRectF& row);

    NotchCalendarView(CalendarStore& store, Workspace& workspace, QColor accent,
                      VantrelHaptics* haptics = nullptr, QWidget* parent = nullptr);

    Body currentBody() const { return body_; }
    // The state view that stands for the body (also the empty list's); null while events show.
    NotchStateView* stateView() const { return stateView_; }
    // The scrolling list of events; null unless the body is the event list.
    QScrollArea* eventList() const { return list_; }
    // The texts of the header as drawn now.
    QString dateText() const;
    QStringList briefingLines() const;
    // The body's top edge.
    double bodyTop() const;

    // The access state's action: the Calendars pane of the settings while access is denied or
    // restricted, else a request for access.
    void calendarAction();
    // "Try Again".
    void retry();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void rebuild();
    void placeBody();

    CalendarStore& store_;
    Workspace& workspace_;
    QColor accent_;
    VantrelHaptics* haptics_;
    Body body_ = Body::events;
    QPointer<QWidget> bodyWidget_;
    QPointer<NotchStateView> stateView_;
    QPointer<QScrollArea> list_;
};

} // namespace vantrel
