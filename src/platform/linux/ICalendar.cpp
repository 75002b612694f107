#include "platform/linux/ICalendar.h"

#include <QColor>
#include <QDateTime>
#include <QRegularExpression>
#include <QStringList>
#include <map>

namespace vantrel {

namespace {

struct Property {
    QString name;
    std::map<QString, QString> parameters;
    QString value;
    int line = 0;
};

struct PendingEvent {
    int line = 0;
    std::optional<Property> start;
    std::optional<Property> end;
    std::optional<Property> duration;
    std::optional<QString> uid;
    std::optional<QString> summary;
};

// One logical line after unfolding, with the physical line it started on.
struct LogicalLine {
    QString text;
    int line;
};

std::vector<LogicalLine> unfold(const QString& text) {
    std::vector<LogicalLine> lines;
    int number = 0;
    for (QString physical : text.split(QLatin1Char('\n'))) {
        ++number;
        if (physical.endsWith(QLatin1Char('\r'))) physical.chop(1);
        if (!lines.empty() &&
            (physical.startsWith(QLatin1Char(' ')) || physical.startsWith(QLatin1Char('\t')))) {
            lines.back().text += physical.mid(1);
            continue;
        }
        if (physical.isEmpty()) continue;
        lines.push_back({physical, number});
    }
    return lines;
}

// name *(";" param "=" value) ":" value, where parameter values may be quoted.
std::optional<Property> parseContentLine(const LogicalLine& line) {
    const QString& text = line.text;
    qsizetype i = 0;
    while (i < text.size() && text.at(i) != QLatin1Char(';') && text.at(i) != QLatin1Char(':'))
        ++i;
    if (i == 0 || i == text.size()) return std::nullopt;
    Property property;
    property.name = text.left(i).trimmed().toUpper();
    property.line = line.line;
    while (i < text.size() && text.at(i) == QLatin1Char(';')) {
        const qsizetype nameStart = ++i;
        while (i < text.size() && text.at(i) != QLatin1Char('='))
            ++i;
        if (i == text.size()) return std::nullopt;
        const QString name = text.mid(nameStart, i - nameStart).trimmed().toUpper();
        ++i;
        QString value;
        if (i < text.size() && text.at(i) == QLatin1Char('"')) {
            const qsizetype close = text.indexOf(QLatin1Char('"'), i + 1);
            if (close < 0) return std::nullopt;
            value = text.mid(i + 1, close - i - 1);
            i = close + 1;
        } else {
            const qsizetype valueStart = i;
            while (i < text.size() && text.at(i) != QLatin1Char(';') && text.at(i) != QLatin1Char(':'))
                ++i;
            value = text.mid(valueStart, i - valueStart);
        }
        property.parameters[name] = value;
    }
    if (i >= text.size() || text.at(i) != QLatin1Char(':')) return std::nullopt;
    property.value = text.mid(i + 1);
    return property;
}

QString unescapeText(const QString& value) {
    QString out;
    out.reserve(value.size());
    for (qsizetype i = 0; i < value.size(); ++i) {
        const QChar c = value.at(i);
        if (c != QLatin1Char('\\') || i + 1 == value.size()) {
            out.append(c);
            continue;
        }
        const QChar next = value.at(++i);
        if (next == QLatin1Char('n') || next == QLatin1Char('N'))
            out.append(QLatin1Char('\n'));
        else
            out.append(next); // \\ \; \, and anything else taken literally
    }
    return out;
}

std::optional<int> parseOffset(const QString& value) {
    static const QRegularExpression pattern(QStringLiteral(R"(^([+-])(\d{2})(\d{2})(\d{2})?$)"));
    const auto match = pattern.match(value.trimmed());
    if (!match.hasMatch()) return std::nullopt;
    const int seconds =
        match.captured(2).toInt() * 3600 + match.captured(3).toInt() * 60 + match.captured(4).toInt();
    if (seconds >= 24 * 3600) return std::nullopt;
    return match.captured(1) == u"-" ? -seconds : seconds;
}

// "#RRGGBB" or "#RRGGBBAA", or a CSS colour name.
std::vector<double> parseColor(const QString& raw) {
    const QString value = raw.trimmed();
    if (value.startsWith(QLatin1Char('#'))) {
        if (value.size() != 7 && value.size() != 9) return {};
        std::vector<double> components;
        for (qsizetype i = 1; i < value.size(); i += 2) {
            bool ok = false;
            const int byte = value.mid(i, 2).toInt(&ok, 16);
            if (!ok) return {};
            components.push_back(byte / 255.0);
        }
        if (components.size() == 3) components.push_back(1.0);
        return components;
    }
    if (value.isEmpty() || !QColor::isValidColorName(value)) return {};
    const QColor color = QColor::fromString(value).toRgb();
    // The 8-bit channels, so a named colour reads exactly like its #RRGGBB spelling.
    return {color.red() / 255.0, color.green() / 255.0, color.blue() / 255.0, color.alpha() / 255.0};
}

struct Duration {
    bool negative = false;
    int days = 0;
    qint64 seconds = 0;
};

std::optional<Duration> parseDuration(const QString& value) {
    static const QRegularExpression pattern(
        QStringLiteral(R"(^([+-])?P(?:(\d+)W)?(?:(\d+)D)?(?:T(?:(\d+)H)?(?:(\d+)M)?(?:(\d+)S)?)?$)"));
    const auto match = pattern.match(value.trimmed());
    if (!match.hasMatch() || value.trimmed().endsWith(QLatin1Char('P')) ||
        value.trimmed().endsWith(QLatin1Char('T')))
        return std::nullopt;
    Duration duration;
    duration.negative = match.captured(1) == u"-";
    // Bounded so that no sum below can overflow: about 27 years at most.
    const auto number = [&](int group) {
        return std::min<qint64>(match.captured(group).toLongLong(), 10'000);
    };
    duration.days = static_cast<int>(number(2) * 7 + number(3));
    duration.seconds = number(4) * 3600 + number(5) * 60 + number(6);
    return duration;
}

class Parser {
public:
    explicit Parser(const QTimeZone& localZone) : localZone_(localZone) {}

    ICalendarParseResult run(const QByteArray& bytes) {
        QString text = QString::fromUtf8(bytes);
        if (text.startsWith(QChar(0xFEFF))) text.remove(0, 1);
        for (const LogicalLine& line : unfold(text))
            if (!handle(line)) return {std::nullopt, error_};
        if (!stack_.empty())
            return {std::nullopt, QStringLiteral("the file ends inside %1").arg(stack_.back())};
        if (!sawCalendar_) return {std::nullopt, QStringLiteral("no VCALENDAR in the file")};
        ICalendarData data;
        data.color = color_;
        for (const PendingEvent& pending : events_) {
            auto event = resolve(pending);
            if (!event) return {std::nullopt, error_};
            data.events.push_back(std::move(*event));
        }
        return {std::move(data), QString()};
    }

private:
    // Records why the file is refused; callers return what this returns.
    bool fail(int line, const QString& message) const {
        error_ = QStringLiteral("line %1: %2").arg(line).arg(message);
        return false;
    }

    QString top() const { return stack_.empty() ? QString() : stack_.back(); }

    bool handle(const LogicalLine& line) {
        const auto property = parseContentLine(line);
        if (!property) return fail(line.line, QStringLiteral("not a content line"));
        const QString value = property->value.trimmed().toUpper();
        if (property->name == u"BEGIN") {
            if (stack_.empty() && value != u"VCALENDAR")
                return fail(line.line, QStringLiteral("%1 outside VCALENDAR").arg(value));
            if (value == u"VCALENDAR" && !stack_.empty())
                return fail(line.line, QStringLiteral("VCALENDAR inside %1").arg(top()));
            if (value == u"VCALENDAR") sawCalendar_ = true;
            if (value == u"VEVENT") {
                if (top() != u"VCALENDAR")
                    return fail(line.line, QStringLiteral("VEVENT inside %1").arg(top()));
                current_ = PendingEvent{line.line, {}, {}, {}, {}, {}};
            }
            if (value == u"VTIMEZONE") currentZone_ = ZoneDefinition{};
            stack_.push_back(value);
            return true;
        }
        if (property->name == u"END") {
            if (stack_.empty() || top() != value)
                return fail(line.line, QStringLiteral("END:%1 does not close %2")
                                           .arg(value, stack_.empty() ? QStringLiteral("anything") : top()));
            if (value == u"VEVENT" && !finishEvent()) return false;
            if (value == u"VTIMEZONE" && !currentZone_.id.isEmpty()) {
                const auto offset = currentZone_.standard ? currentZone_.standard : currentZone_.daylight;
                if (offset) zoneOffsets_[currentZone_.id] = *offset;
            }
            stack_.pop_back();
            return true;
        }
        if (stack_.empty())
            return fail(line.line, QStringLiteral("%1 outside VCALENDAR").arg(property->name));
        return take(*property);
    }

    bool take(const Property& property) {
        const QString where = top();
        if (where == u"VCALENDAR") {
            if (property.name == u"COLOR" || property.name == u"X-APPLE-CALENDAR-COLOR") {
                // The standard property wins over the vendor one, whichever comes first.
                if (property.name == u"COLOR" || color_.empty()) {
                    auto parsed = parseColor(property.value);
                    if (!parsed.empty()) color_ = std::move(parsed);
                }
            }
        } else if (where == u"VEVENT" && current_) {
            if (property.name == u"DTSTART")
                current_->start = property;
            else if (property.name == u"DTEND")
                current_->end = property;
            else if (property.name == u"DURATION")
                current_->duration = property;
            else if (property.name == u"UID")
                current_->uid = unescapeText(property.value);
            else if (property.name == u"SUMMARY")
                current_->summary = unescapeText(property.value);
        } else if (where == u"VTIMEZONE" && property.name == u"TZID") {
            currentZone_.id = property.value.trimmed();
        } else if ((where == u"STANDARD" || where == u"DAYLIGHT") && property.name == u"TZOFFSETTO") {
            const auto offset = parseOffset(property.value);
            if (!offset) return fail(property.line, QStringLiteral("unreadable TZOFFSETTO value"));
            if (where == u"STANDARD" && !currentZone_.standard) currentZone_.standard = offset;
            if (where == u"DAYLIGHT" && !currentZone_.daylight) currentZone_.daylight = offset;
        }
        return true;
    }

    bool finishEvent() {
        if (!current_->start) return fail(current_->line, QStringLiteral("event without DTSTART"));
        events_.push_back(std::move(*current_));
        current_.reset();
        return true;
    }

    struct Moment {
        QDateTime time;
        bool isDate = false;
    };

    QTimeZone zoneFor(const Property& property) const {
        auto it = property.parameters.find(QStringLiteral("TZID"));
        if (it == property.parameters.end()) return localZone_;
        QString id = it->second.trimmed();
        if (id.startsWith(QLatin1Char('/'))) id.remove(0, 1);
        // A zone the system knows follows its daylight-saving rules; one defined only in the file
        // is read as its standard offset; an unknown name is taken as local time.
        const QByteArray ianaId = id.toUtf8();
        if (QTimeZone::isTimeZoneIdAvailable(ianaId)) return QTimeZone(ianaId);
        if (auto offset = zoneOffsets_.find(id); offset != zoneOffsets_.end())
            return QTimeZone(offset->second);
        if (id.compare(QLatin1String("UTC"), Qt::CaseInsensitive) == 0) return QTimeZone::utc();
        return localZone_;
    }

    std::optional<Moment> readMoment(const Property& property) const {
        const auto unreadable = [&] {
            fail(property.line, QStringLiteral("unreadable %1 value").arg(property.name));
            return std::nullopt;
        };
        static const QRegularExpression datePattern(QStringLiteral(R"(^(\d{4})(\d{2})(\d{2})$)"));
        static const QRegularExpression timePattern(
            QStringLiteral(R"(^(\d{4})(\d{2})(\d{2})T(\d{2})(\d{2})(\d{2})(Z?)$)"));
        const QString value = property.value.trimmed();
        if (const auto match = datePattern.match(value); match.hasMatch()) {
            const QDate date(match.captured(1).toInt(), match.captured(2).toInt(), match.captured(3).toInt());
            if (!date.isValid()) return unreadable();
            return Moment{date.startOfDay(localZone_), true};
        }
        const auto match = timePattern.match(value);
        if (!match.hasMatch()) return unreadable();
        const QDate date(match.captured(1).toInt(), match.captured(2).toInt(), match.captured(3).toInt());
        // A leap second reads as the second before it.
        const QTime time(match.captured(4).toInt(), match.captured(5).toInt(),
                         std::min(match.captured(6).toInt(), 59));
        if (!date.isValid() || !time.isValid()) return unreadable();
        const QTimeZone zone = match.captured(7).isEmpty() ? zoneFor(property) : QTimeZone::utc();
        return Moment{QDateTime(date, time, zone), false};
    }

    std::optional<CalendarEvent> resolve(const PendingEvent& pending) const {
        const auto startMoment = readMoment(*pending.start);
        if (!startMoment) return std::nullopt;
        const Moment& start = *startMoment;
        QDateTime end;
        if (pending.end) {
            const auto endMoment = readMoment(*pending.end);
            if (!endMoment) return std::nullopt;
            end = endMoment->time;
        } else if (pending.duration) {
            const auto duration = parseDuration(pending.duration->value);
            if (!duration) {
                fail(pending.duration->line, QStringLiteral("unreadable DURATION value"));
                return std::nullopt;
            }
            const int sign = duration->negative ? -1 : 1;
            end = start.time.addDays(sign * duration->days).addSecs(sign * duration->seconds);
        } else {
            // Without an end, a day event lasts the day and a timed one is an instant.
            end = start.isDate ? start.time.date().addDays(1).startOfDay(localZone_) : start.time;
        }
        CalendarEvent event;
        event.identifier = pending.uid;
        event.title = pending.summary;
        event.startDate = fromQDateTime(start.time);
        // An end before the start would make an event that never overlaps anything; it is
        // taken as an instant instead.
        event.endDate = std::max(event.startDate, fromQDateTime(end));
        event.isAllDay = start.isDate;
        event.calendarColor = color_;
        return event;
    }

    struct ZoneDefinition {
        QString id;
        std::optional<int> standard;
        std::optional<int> daylight;
    };

    QTimeZone localZone_;
    mutable QString error_;
    QStringList stack_;
    bool sawCalendar_ = false;
    std::optional<PendingEvent> current_;
    ZoneDefinition currentZone_;
    std::map<QString, int> zoneOffsets_;
    std::vector<double> color_;
    std::vector<PendingEvent> events_;
};

} // namespace

ICalendarParseResult parseICalendar(const QByteArray& text, const QTimeZone& localZone) {
    return Parser(localZone).run(text);
}

} // namespace vantrel
