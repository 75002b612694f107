#include "notch/NotchCalendarView.h"

#include "core/ClockText.h"
#include "kit/FocusHandOff.h"
#include "kit/KitPaint.h"
#include "kit/RebuiltRows.h"
#include "kit/VantrelScrollIndicator.h"
#include "kit/VantrelTheme.h"
#include "kit/VantrelType.h"
#include "modules/CalendarStore.h"
#include "notch/NotchStateView.h"
#include "platform/Workspace.h"

#include <QFontMetricsF>
#include <QKeyEvent>
#include <QLocale>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QRegularExpression>
#include <QScrollArea>
#include <QTimeZone>
#include <QUrl>
#include <algorithm>

namespace vantrel {

namespace {

const QString kCalendarSettings =
    QStringLiteral("x-apple.systempreferences:com.apple.preference.security?Privacy_Calendars");

QFont dateFont() {
    return VantrelType::font(NotchCalendarView::kDateSize, QFont::Bold);
}
QFont briefingFont() {
    return VantrelType::font(NotchCalendarView::kBriefingSize, QFont::Normal);
}
QFont titleFont() {
    return VantrelType::font(NotchCalendarView::kTitleSize, QFont::DemiBold);
}
QFont timeFont() {
    return VantrelType::font(NotchCalendarView::kTimeSize, QFont::Normal);
}

// The rows keep the keyboard's row in view themselves. A plain scroll area would also bring its
// whole list into view as Tab leaves it, and a list taller than the view would jump to its middle.
class RowsScrollArea final : public QScrollArea {
public:
    using QScrollArea::QScrollArea;

protected:
    bool focusNextPrevChild(bool next) override { return QWidget::focusNextPrevChild(next); }
};

// A scroll area that draws nothing of its own, so the notch surface shows through.
QScrollArea* clearScrollArea(QWidget* parent) {
    auto* area = new RowsScrollArea(parent);
    area->setFocusPolicy(Qt::NoFocus); // the rows inside take the keyboard
    area->setFrameShape(QFrame::NoFrame);
    area->setWidgetResizable(true);
    area->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    area->setAutoFillBackground(false);
    area->viewport()->setAutoFillBackground(false);
    VantrelScrollIndicator::install(area);
    return area;
}

// Today's events, one painted row each. The list takes the keyboard focus as one stop of the Tab
// chain and walks its rows as a desktop list does: the arrows move to the row above or below,
// Page Up and Page Down by a screenful, Home and End (with or without Ctrl) to the first and last
// row, and the scroll area follows the row the keyboard is on. A click selects its row, and the
// keys go on from there; the row opens nothing.
class EventRows final : public QWidget {
    static inline const QColor kRowFill = QColor::fromRgbF(1, 1, 1, 0.055f);
    static constexpr double kSelectedOpacity = 0.22;

public:
    EventRows(const CalendarStore& store, QColor accent, QScrollArea* area)
        : QWidget(area), store_(store), accent_(accent), area_(area) {
        setAutoFillBackground(false);
        // An empty day has no row to go to.
        setFocusPolicy(store.events().empty() ? Qt::NoFocus : Qt::StrongFocus);
        KitPaint::watchFocusReason(this);
        setAccessibleName(QStringLiteral("Today\u2019s events"));
        updateDescription();
    }

    int currentRow() const { return current_; }

    // Today's events changed: the keyboard stays on the event it was on, or on the one that took
    // its place when that event went, and the list keeps the focus while it has a row.
    void eventsChanged() {
        QStringList keys;
        for (const CalendarItem& item : store_.events()) keys << item.id;
        current_ = int(RebuiltRows::keptIndex(currentKey_, current_, keys).value_or(0));
        setFocusPolicy(keys.isEmpty() ? Qt::NoFocus : Qt::StrongFocus);
        // Measured again for the scroll area.
        area_->setWidgetResizable(true);
        if (keys.isEmpty() && hasFocus()) FocusHandOff::pass(this, nullptr, window());
        if (hasFocus())
            showCurrent();
        else
            updateDescription();
        update();
    }

    QSize sizeHint() const override {
        const auto rows = NotchCalendarView::rowRects(width(), int(store_.events().size()));
        return QSize(200, rows.empty() ? 0 : int(std::ceil(rows.back().bottom())));
    }
    QSize minimumSizeHint() const override { return QSize(0, sizeHint().height()); }

protected:
    void focusInEvent(QFocusEvent* event) override {
        QWidget::focusInEvent(event);
        showCurrent();
    }
    void focusOutEvent(QFocusEvent* event) override {
        QWidget::focusOutEvent(event);
        clicked_ = false;
        update();
    }
    void mousePressEvent(QMouseEvent* event) override {
        const auto rows = NotchCalendarView::rowRects(width(), int(store_.events().size()));
        for (std::size_t i = 0; i < rows.size(); ++i)
            if (rows[i].contains(event->position())) {
                current_ = int(i);
                clicked_ = true;
                showCurrent();
            }
        QWidget::mousePressEvent(event);
    }
    void keyPressEvent(QKeyEvent* event) override {
        const int count = int(store_.events().size());
        if (count == 0) {
            QWidget::keyPressEvent(event);
            return;
        }
        const Qt::KeyboardModifiers modifiers = event->modifiers() & ~Qt::KeypadModifier;
        const bool plain = modifiers == Qt::NoModifier;
        int row = current_;
        switch (event->key()) {
        case Qt::Key_Up:
            if (!plain) return QWidget::keyPressEvent(event);
            row -= 1;
            break;
        case Qt::Key_Down:
            if (!plain) return QWidget::keyPressEvent(event);
            row += 1;
            break;
        case Qt::Key_PageUp:
            if (!plain) return QWidget::keyPressEvent(event);
            row -= rowsPerPage();
            break;
        case Qt::Key_PageDown:
            if (!plain) return QWidget::keyPressEvent(event);
            row += rowsPerPage();
            break;
        case Qt::Key_Home:
            if (modifiers & ~Qt::ControlModifier) return QWidget::keyPressEvent(event);
            row = 0;
            break;
        case Qt::Key_End:
            if (modifiers & ~Qt::ControlModifier) return QWidget::keyPressEvent(event);
            row = count - 1;
            break;
        default:
            QWidget::keyPressEvent(event);
            return;
        }
        event->accept();
        current_ = std::clamp(row, 0, count - 1);
        showCurrent();
    }
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        const ColorScheme scheme = VantrelTheme::colorScheme(this);
        const auto& events = store_.events();
        const auto rows = NotchCalendarView::rowRects(width(), int(events.size()));
        for (std::size_t i = 0; i < rows.size(); ++i) {
            const CalendarItem& item = events[i];
            const QRectF& row = rows[i];
            painter.setPen(Qt::NoPen);
            // The row the keys are on shows as selected once a click put them there; reached by
            // the keyboard, it has the ring instead.
            const bool selected = int(i) == current_ && hasFocus() && clicked_;
            painter.setBrush(selected ? VantrelTheme::withOpacity(accent_, kSelectedOpacity) : kRowFill);
            painter.drawRoundedRect(row, NotchCalendarView::kRowRadius, NotchCalendarView::kRowRadius);
            const auto l = NotchCalendarView::rowLayout(row);
            painter.setBrush(accent_);
            painter.drawRoundedRect(l.bar, l.bar.width() / 2, l.bar.width() / 2);
            // Titles are the user's own text: drawn as written, never read as markup.
            painter.setPen(VantrelTheme::primary(scheme));
            painter.setFont(titleFont());
            painter.drawText(
                l.title, Qt::AlignLeft | Qt::AlignVCenter,
                QFontMetricsF(titleFont()).elidedText(item.title, Qt::ElideRight, l.title.width()));
            painter.setPen(VantrelTheme::secondaryText().resolve(scheme));
            painter.setFont(timeFont());
            const QString time = NotchCalendarView::timeLine(item, store_.zone(), store_.locale());
            painter.drawText(l.time, Qt::AlignLeft | Qt::AlignVCenter,
                             QFontMetricsF(timeFont()).elidedText(time, Qt::ElideRight, l.time.width()));
            if (int(i) == current_ && KitPaint::showsFocusRing(this))
                KitPaint::paintFocusRingInside(
                    painter, row, NotchCalendarView::kRowRadius,
                    KitPaint::ringColor(KitPaint::composite(kRowFill, KitPaint::surfaceBehind(this)),
                                        accent_));
        }
    }

private:
    // How many rows the visible part of the list holds, at least one.
    int rowsPerPage() const {
        const double step = 2 * NotchCalendarView::kRowPadding + NotchCalendarView::kBarHeight +
                            NotchCalendarView::kRowSpacing;
        return std::max(1, int((area_->viewport()->height() + NotchCalendarView::kRowSpacing) / step));
    }
    // Scrolls the keyboard's row into view and draws its ring.
    void showCurrent() {
        const int count = int(store_.events().size());
        current_ = count == 0 ? 0 : std::clamp(current_, 0, count - 1);
        const auto rows = NotchCalendarView::rowRects(width(), count);
        if (current_ < int(rows.size())) {
            const QRect row = rows[std::size_t(current_)].toAlignedRect();
            // The ring reaches into the spacing around the row.
            const int margin = int(NotchCalendarView::kRowSpacing / 2);
            area_->ensureVisible(row.center().x(), row.center().y(), 0, row.height() / 2 + margin);
        }
        updateDescription();
        update();
    }
    void updateDescription() {
        const auto& events = store_.events();
        if (current_ < 0 || current_ >= int(events.size())) return;
        const CalendarItem& item = events[std::size_t(current_)];
        currentKey_ = item.id;
        setAccessibleDescription(item.title + QStringLiteral(", ") +
                                 NotchCalendarView::timeLine(item, store_.zone(), store_.locale()));
    }

    const CalendarStore& store_;
    QColor accent_;
    QScrollArea* area_;
    int current_ = 0;
    // Whether a click put the keys on a row, since the list last lost them.
    bool clicked_ = false;
    // The event the keyboard is on.
    QString currentKey_;
};

} // namespace

NotchCalendarView::Body NotchCalendarView::body(const std::optional<QString>& errorMessage,
                                                CalendarAuthorizationStatus status) {
    if (errorMessage) return Body::error;
    if (status != CalendarAuthorizationStatus::fullAccess) return Body::access;
    return Body::events;
}

bool NotchCalendarView::calendarNeedsSettings(CalendarAuthorizationStatus status) {
    return status == CalendarAuthorizationStatus::denied || status == CalendarAuthorizationStatus::restricted;
}

NotchCalendarView::StateTexts NotchCalendarView::errorTexts(const QString& errorMessage) {
    return {QStringLiteral("calendar.badge.exclamationmark"), QStringLiteral("Calendar could not load"),
            errorMessage, QStringLiteral("Try Again")};
}

NotchCalendarView::StateTexts NotchCalendarView::accessTexts(bool needsSettings) {
    if (needsSettings)
        return {QStringLiteral("calendar.badge.exclamationmark"), QStringLiteral("Calendar access is off"),
                QStringLiteral("Allow Vantrel in Privacy & Security to show today\u2019s events."),
                QStringLiteral("Open Settings")};
    return {QStringLiteral("calendar.badge.exclamationmark"), QStringLiteral("Connect Calendar"),
            QStringLiteral("Vantrel reads today\u2019s events on this Mac to build your briefing."),
            QStringLiteral("Allow Calendar")};
}

NotchCalendarView::StateTexts NotchCalendarView::emptyTexts() {
    return {QStringLiteral("checkmark.circle"), QStringLiteral("Nothing else today"),
            QStringLiteral("Enjoy the breathing room."), std::nullopt};
}

QString NotchCalendarView::dateTitle(const QDate& date, const QLocale& locale) {
    // The locale's long date without its year, so the order and punctuation stay the locale's.
    QString format = locale.dateFormat(QLocale::LongFormat);
    static const QRegularExpression year(QStringLiteral("[\\s,.\\-/]*y+[\\x{5E74}\\x{B144}.]?"));
    format.remove(year);
    format = format.trimmed();
    while (!format.isEmpty() && (format.back() == u',' || format.back() == u'/' || format.back() == u'-'))
        format.chop(1);
    while (!format.isEmpty() && (format.front() == u',' || format.front().isSpace())) format.remove(0, 1);
    if (format.isEmpty()) format = QStringLiteral("dddd, MMMM d");
    return locale.toString(date, format);
}

QString NotchCalendarView::timeLine(const CalendarItem& item, const QTimeZone& zone, const QLocale& locale) {
    if (item.isAllDay) return QStringLiteral("All day");
    const auto time = [&](WallTime t) {
        return ClockText::hoursAndMinutes(locale, toQDateTime(t).toTimeZone(zone).time());
    };
    return time(item.startDate) + QStringLiteral(" \u2013 ") + time(item.endDate);
}

std::vector<QRectF> NotchCalendarView::rowRects(double width, int count) {
    std::vector<QRectF> rows;
    const double height = 2 * kRowPadding + kBarHeight;
    for (int i = 0; i < count; ++i)
        rows.emplace_back(0, i * (height + kRowSpacing), std::max(width, 0.0), height);
    return rows;
}

NotchCalendarView::RowLayout NotchCalendarView::rowLayout(const QRectF& row) {
    RowLayout l;
    l.bar = QRectF(row.left() + kRowPadding, row.center().y() - kBarHeight / 2, kBarWidth, kBarHeight);
    const double textLeft = l.bar.right() + kRowInnerSpacing;
    const double textWidth = std::max(row.right() - kRowPadding - textLeft, 0.0);
    const double titleHeight = QFontMetricsF(titleFont()).height();
    const double timeHeight = QFontMetricsF(timeFont()).height();
    const double top = row.center().y() - (titleHeight + kTextSpacing + timeHeight) / 2;
    l.title = QRectF(textLeft, top, textWidth, titleHeight);
    l.time = QRectF(textLeft, l.title.bottom() + kTextSpacing, textWidth, timeHeight);
    return l;
}

NotchCalendarView::NotchCalendarView(CalendarStore& store, Workspace& workspace, QColor accent,
                                     VantrelHaptics* haptics, QWidget* parent)
    : QWidget(parent), store_(store), workspace_(workspace), accent_(accent), haptics_(haptics) {
    setAccessibleName(QStringLiteral("Calendar"));
    connect(&store_, &CalendarStore::eventsChanged, this, &NotchCalendarView::rebuild);
    connect(&store_, &CalendarStore::authorizationStatusChanged, this, &NotchCalendarView::rebuild);
    connect(&store_, &CalendarStore::errorMessageChanged, this, &NotchCalendarView::rebuild);
    rebuild();
}

QString NotchCalendarView::dateText() const {
    return dateTitle(store_.today(), store_.locale());
}

QStringList NotchCalendarView::briefingLines() const {
    // The briefing names events by their titles: plain text, wrapped to two lines at most.
    QStringList lines = NotchStateView::messageLines(store_.briefing(), briefingFont(), width());
    while (lines.size() > kBriefingLines) lines.removeLast();
    return lines;
}

double NotchCalendarView::bodyTop() const {
    const double dateHeight = QFontMetricsF(dateFont()).height();
    const double briefing =
        std::max<qsizetype>(briefingLines().size(), 1) * QFontMetricsF(briefingFont()).lineSpacing();
    return dateHeight + kHeaderSpacing + briefing + kBodySpacing;
}

void NotchCalendarView::calendarAction() {
    if (calendarNeedsSettings(store_.authorizationStatus())) {
        workspace_.open(QUrl(kCalendarSettings));
        return;
    }
    store_.requestAccess();
}

void NotchCalendarView::retry() {
    store_.requestAccess();
}

void NotchCalendarView::rebuild() {
    const auto makeState = [this](const StateTexts& texts, std::function<void()> action, QWidget* parent) {
        return new NotchStateView(texts.symbol, texts.title, texts.message, accent_, texts.actionTitle,
                                  std::move(action), haptics_, parent);
    };
    const Body next = body(store_.errorMessage(), store_.authorizationStatus());
    if (next == Body::events && body_ == Body::events && list_) {
        // The same list follows the change: the focus and the keyboard's row stay with it.
        static_cast<EventRows*>(list_->widget())->eventsChanged();
        const bool empty = store_.events().empty();
        if (empty && !stateView_) {
            stateView_ = makeState(emptyTexts(), {}, bodyWidget_);
            placeBody();
            stateView_->show();
        } else if (!empty && stateView_) {
            stateView_->hide();
            stateView_->deleteLater();
            stateView_ = nullptr;
        }
        update();
        return;
    }
    // A body of another kind takes the place of the one that held the focus: its first control
    // takes it.
    const FocusHandOff::Held held = bodyWidget_ ? FocusHandOff::take(bodyWidget_) : FocusHandOff::Held{};
    if (held.widget) window()->setFocus(Qt::OtherFocusReason);
    // The old body may hold the button whose press led here: it goes once the press is over.
    if (bodyWidget_) {
        bodyWidget_->hide();
        bodyWidget_->deleteLater();
    }
    bodyWidget_ = nullptr;
    stateView_ = nullptr;
    list_ = nullptr;
    body_ = next;
    switch (body_) {
    case Body::error:
        stateView_ = makeState(
            errorTexts(*store_.errorMessage()), [this] { retry(); }, this);
        bodyWidget_ = stateView_;
        break;
    case Body::access:
        stateView_ = makeState(
            accessTexts(calendarNeedsSettings(store_.authorizationStatus())), [this] { calendarAction(); },
            this);
        bodyWidget_ = stateView_;
        break;
    case Body::events: {
        auto* container = new QWidget(this);
        list_ = clearScrollArea(container);
        list_->setWidget(new EventRows(store_, accent_, list_));
        // setWidget turns the background on; the notch surface shows through instead.
        list_->widget()->setAutoFillBackground(false);
        // Laid over the centre of the list while today has nothing left.
        stateView_ = store_.events().empty() ? makeState(emptyTexts(), {}, container) : nullptr;
        bodyWidget_ = container;
        break;
    }
    }
    placeBody();
    bodyWidget_->show();
    // Made anew, the body would come last in the notch's Tab order; it comes with the tab.
    RebuiltRows::order(this, {bodyWidget_});
    update();
    if (!held.widget) return;
    QWidget* target = nullptr;
    for (QWidget* stop : RebuiltRows::stopsOf(bodyWidget_))
        if (FocusHandOff::canTake(stop)) {
            target = stop;
            break;
        }
    if (!target) target = FocusHandOff::neighbour(bodyWidget_, window());
    FocusHandOff::give(held, target);
}

void NotchCalendarView::placeBody() {
    if (!bodyWidget_) return;
    const double top = bodyTop();
    bodyWidget_->setGeometry(QRectF(0, top, width(), std::max(height() - top, 0.0)).toAlignedRect());
    if (list_ && list_->parentWidget() == bodyWidget_) {
        list_->setGeometry(bodyWidget_->rect());
        if (stateView_) stateView_->setGeometry(bodyWidget_->rect());
    }
}

void NotchCalendarView::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    placeBody();
}

void NotchCalendarView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::TextAntialiasing);
    const ColorScheme scheme = VantrelTheme::colorScheme(this);
    const QFontMetricsF dateMetrics(dateFont());
    painter.setPen(VantrelTheme::primary(scheme));
    painter.setFont(dateFont());
    painter.drawText(QRectF(0, 0, width(), dateMetrics.height()), Qt::AlignLeft | Qt::AlignVCenter,
                     dateMetrics.elidedText(dateText(), Qt::ElideRight, width()));
    painter.setPen(VantrelTheme::secondaryText().resolve(scheme));
    painter.setFont(briefingFont());
    const double lineHeight = QFontMetricsF(briefingFont()).lineSpacing();
    double y = dateMetrics.height() + kHeaderSpacing;
    for (const QString& line : briefingLines()) {
        painter.drawText(QRectF(0, y, width(), lineHeight), Qt::AlignLeft | Qt::AlignTop, line);
        y += lineHeight;
    }
}

} // namespace vantrel
