#include "platform/linux/ICalendar.h"

#include <QColor>
#include <QDateTime>
#include <QHash>
#include <QSet>
#include <algorithm>
#include <map>
#include <mutex>

#include <libical/ical.h>

namespace vantrel {

namespace {

// A rule that fires every second, or one with a huge COUNT that has to be walked from its
// start, could take billions of steps; past this many, the rest of a series is not looked at.
constexpr int kMaximumRecurrenceSteps = 100'000;
constexpr qint64 kSecondsPerDay = 24 * 3600;
// Real calendars nest four deep (VCALENDAR, VEVENT, VALARM, and VTIMEZONE's observances); a
// component deeper than this is damage, and left out whole.
constexpr std::size_t kMaximumNesting = 64;
// A zone's history is a few hundred observances at the very most. libical expands every one of
// them on the first conversion, unstoppably, so a zone beyond this, or one whose rule repeats more
// often than daily, is refused before libical sees it.
constexpr int kMaximumObservances = 1000;

struct ComponentDeleter {
    void operator()(icalcomponent* component) const { icalcomponent_free(component); }
};
using ComponentPointer = std::unique_ptr<icalcomponent, ComponentDeleter>;

void configureLibical() {
    static std::once_flag once;
    // By default libical may abort the process on a parse error; a damaged file is ours to skip.
    std::call_once(once, [] { icalerror_set_errors_are_fatal(0); });
}

std::vector<icalcomponent*> children(icalcomponent* parent, icalcomponent_kind kind) {
    std::vector<icalcomponent*> out;
    for (icalcomponent* c = icalcomponent_get_first_component(parent, kind); c;
         c = icalcomponent_get_next_component(parent, kind))
        out.push_back(c);
    return out;
}

std::vector<icalproperty*> properties(icalcomponent* component, icalproperty_kind kind) {
    std::vector<icalproperty*> out;
    for (icalproperty* p = icalcomponent_get_first_property(component, kind); p;
         p = icalcomponent_get_next_property(component, kind))
        out.push_back(p);
    return out;
}

QString lineProblem(int line, const QString& what) {
    return QStringLiteral("line %1: %2").arg(line).arg(what);
}

// ---- Structure: libical gives up on a whole file when one component is left open, so the
// component nesting is repaired first: an unclosed component is dropped, a stray END ignored.

struct Line {
    QByteArray text;
    int number = 0;
};

std::vector<Line> unfold(const QByteArray& bytes) {
    std::vector<Line> lines;
    int number = 0;
    for (QByteArray physical : bytes.split('\n')) {
        ++number;
        if (physical.endsWith('\r')) physical.chop(1);
        if (!lines.empty() && (physical.startsWith(' ') || physical.startsWith('\t'))) {
            lines.back().text += physical.mid(1);
            continue;
        }
        if (physical.trimmed().isEmpty()) continue;
        lines.push_back({physical, number});
    }
    return lines;
}

struct Boundary {
    bool begins = false;
    QByteArray component;
};

std::optional<Boundary> boundary(const QByteArray& line) {
    const qsizetype colon = line.indexOf(':');
    if (colon < 0) return std::nullopt;
    const QByteArray name = line.left(colon).trimmed().toUpper();
    if (name != "BEGIN" && name != "END") return std::nullopt;
    return Boundary{name == "BEGIN", line.mid(colon + 1).trimmed().toUpper()};
}

struct Structure {
    QByteArray text;
    bool sawCalendar = false;
    QStringList problems;
    // Zones left out (by their TZID as written); times given in them count as UTC.
    QSet<QByteArray> refusedZones;
};

// The property's name, upper-cased: up to its first parameter or its value.
QByteArray propertyName(const QByteArray& line) {
    qsizetype end = 0;
    while (end < line.size() && line[end] != ':' && line[end] != ';') ++end;
    return line.left(end).trimmed().toUpper();
}

QByteArray propertyValue(const QByteArray& line) {
    // A parameter value may be quoted and hold a colon; the value follows the first colon outside.
    bool quoted = false;
    for (qsizetype i = 0; i < line.size(); ++i) {
        if (line[i] == '"') quoted = !quoted;
        if (line[i] == ':' && !quoted) return line.mid(i + 1).trimmed();
    }
    return {};
}

bool repeatsMoreOftenThanDaily(const QByteArray& rule) {
    for (const QByteArray& part : rule.toUpper().split(';')) {
        if (!part.startsWith("FREQ=")) continue;
        const QByteArray frequency = part.mid(5).trimmed();
        return frequency == "SECONDLY" || frequency == "MINUTELY" || frequency == "HOURLY";
    }
    return false;
}

// Keeps what a VTIMEZONE needs for the bounds below: its TZID, and the rules of its observances.
template <typename OpenList> void noteZoneProperty(OpenList& open, const QByteArray& line) {
    if (open.back().component == "VTIMEZONE") {
        if (propertyName(line) == "TZID") open.back().tzid = propertyValue(line);
    } else if (open.size() >= 2 && open[open.size() - 2].component == "VTIMEZONE") {
        if (propertyName(line) == "RRULE" && repeatsMoreOftenThanDaily(propertyValue(line)))
            open[open.size() - 2].tooFrequent = true;
    }
}

// Drops a zone that just closed when libical could not expand it in bounded time and memory.
template <typename Closed>
void refuseUnboundedZone(const Closed& zone, std::vector<QByteArray>& kept, Structure& result) {
    QString why;
    if (zone.tooFrequent)
        why = QStringLiteral("a rule repeats more often than daily");
    else if (zone.observances > kMaximumObservances)
        why = QStringLiteral("more than %1 observances").arg(kMaximumObservances);
    else
        return;
    kept.resize(zone.firstLine);
    result.refusedZones.insert(zone.tzid);
    result.problems.append(
        lineProblem(zone.number, QStringLiteral("time zone \"%1\" refused, %2; its times count as UTC")
                                     .arg(QString::fromUtf8(zone.tzid), why)));
}

Structure repairStructure(const std::vector<Line>& lines) {
    struct Open {
        QByteArray component;
        std::size_t firstLine;
        int number;
        // For a VTIMEZONE: its TZID, its observances so far, and whether one repeats too often.
        QByteArray tzid = {};
        int observances = 0;
        bool tooFrequent = false;
    };
    Structure result;
    std::vector<QByteArray> kept;
    std::vector<Open> open;
    bool strayReported = false;
    const auto dropInnermost = [&] {
        result.problems.append(
            lineProblem(open.back().number,
                        QStringLiteral("%1 not closed").arg(QString::fromUtf8(open.back().component))));
        kept.resize(open.back().firstLine);
        open.pop_back();
    };
    // While a component nested too deep is being left out: how many of its levels are open.
    std::size_t skipping = 0;
    for (const Line& line : lines) {
        const auto mark = boundary(line.text);
        if (skipping > 0) {
            if (mark) skipping = mark->begins ? skipping + 1 : skipping - 1;
            continue;
        }
        if (!open.empty() && mark && mark->begins && open.size() >= kMaximumNesting) {
            result.problems.append(
                lineProblem(line.number, QStringLiteral("%1 nested deeper than %2 components")
                                             .arg(QString::fromUtf8(mark->component))
                                             .arg(kMaximumNesting)));
            skipping = 1;
            continue;
        }
        if (open.empty()) {
            if (mark && mark->begins && mark->component == "VCALENDAR") {
                open.push_back({mark->component, kept.size(), line.number});
                kept.push_back(line.text);
                result.sawCalendar = true;
            } else if (!std::exchange(strayReported, true)) {
                result.problems.append(lineProblem(line.number, QStringLiteral("text outside VCALENDAR")));
            }
            continue;
        }
        if (!mark) {
            noteZoneProperty(open, line.text);
            kept.push_back(line.text);
        } else if (mark->begins) {
            if (open.back().component == "VTIMEZONE") ++open.back().observances;
            open.push_back({mark->component, kept.size(), line.number});
            kept.push_back(line.text);
        } else {
            const auto match = std::find_if(open.rbegin(), open.rend(),
                                            [&](const Open& o) { return o.component == mark->component; });
            if (match == open.rend()) {
                result.problems.append(lineProblem(
                    line.number,
                    QStringLiteral("END:%1 without BEGIN").arg(QString::fromUtf8(mark->component))));
                continue;
            }
            while (open.back().component != mark->component) dropInnermost();
            const Open closing = open.back();
            open.pop_back();
            kept.push_back(line.text);
            if (closing.component == "VTIMEZONE") refuseUnboundedZone(closing, kept, result);
        }
    }
    while (open.size() > 1) dropInnermost();
    if (!open.empty()) {
        // A cut-off file keeps what its calendar holds so far.
        result.problems.append(lineProblem(open.back().number, QStringLiteral("VCALENDAR not closed")));
        kept.push_back("END:VCALENDAR");
    }
    for (QByteArray& line : kept) {
        result.text += line;
        result.text += "\r\n";
    }
    return result;
}

// ---- Values

// "#RRGGBB" or "#RRGGBBAA", or a CSS colour name.
std::vector<double> parseColor(const QString& raw) {
    const QString value = raw.trimmed();
    if (value.startsWith(QLatin1Char('#'))) {
        if (value.size() != 7 && value.size() != 9) return {};
        // Digits only: a number reader would also take "-1" or "+f" for a byte.
        const auto digit = [](QChar c) {
            const char16_t u = c.unicode();
            if (u >= u'0' && u <= u'9') return u - u'0';
            if (u >= u'a' && u <= u'f') return u - u'a' + 10;
            if (u >= u'A' && u <= u'F') return u - u'A' + 10;
            return -1;
        };
        std::vector<double> components;
        for (qsizetype i = 1; i < value.size(); i += 2) {
            const int high = digit(value[i]);
            const int low = digit(value[i + 1]);
            if (high < 0 || low < 0) return {};
            components.push_back((high * 16 + low) / 255.0);
        }
        if (components.size() == 3) components.push_back(1.0);
        return components;
    }
    if (value.isEmpty() || !QColor::isValidColorName(value)) return {};
    const QColor color = QColor::fromString(value).toRgb();
    // The 8-bit channels, so a named colour reads exactly like its #RRGGBB spelling.
    return {color.red() / 255.0, color.green() / 255.0, color.blue() / 255.0, color.alpha() / 255.0};
}

icaltimetype fieldsOf(const QDateTime& time, bool isDate) {
    icaltimetype t = icaltime_null_time();
    t.year = time.date().year();
    t.month = time.date().month();
    t.day = time.date().day();
    if (isDate) {
        t.is_date = 1;
    } else {
        t.hour = time.time().hour();
        t.minute = time.time().minute();
        t.second = time.time().second();
    }
    return t;
}

// How the wall-clock fields of a value become a point in time: a zone the file defines (with
// its daylight-saving rules) through libical, any other through Qt's zone database.
struct Zone {
    QTimeZone named;
    icaltimezone* defined = nullptr;

    std::optional<QDateTime> toUtc(const icaltimetype& t) const {
        const QDate date(t.year, t.month, t.day);
        if (!date.isValid()) return std::nullopt;
        if (t.is_date) {
            const QDateTime start = date.startOfDay(named);
            return start.isValid() ? std::optional(start.toUTC()) : std::nullopt;
        }
        // A leap second reads as the second before it.
        const QTime time(t.hour, t.minute, std::min(t.second, 59));
        if (!time.isValid()) return std::nullopt;
        if (!defined) {
            const QDateTime local(date, time, named);
            return local.isValid() ? std::optional(local.toUTC()) : std::nullopt;
        }
        icaltimetype converted = fieldsOf(QDateTime(date, time, QTimeZone::utc()), false);
        icaltimezone_convert_time(&converted, defined, icaltimezone_get_utc_timezone());
        const QDateTime utc(QDate(converted.year, converted.month, converted.day),
                            QTime(converted.hour, converted.minute, converted.second), QTimeZone::utc());
        return utc.isValid() ? std::optional(utc) : std::nullopt;
    }

    icaltimetype fromUtc(const QDateTime& utc, bool isDate) const {
        if (!defined) return fieldsOf(utc.toTimeZone(named), isDate);
        // Dates always count in the local zone, so a zone of the file only ever meets times.
        icaltimetype converted = fieldsOf(utc, false);
        icaltimezone_convert_time(&converted, icaltimezone_get_utc_timezone(), defined);
        return converted;
    }
};

// A date or time value: its fields as written, how they are read, and the point they give.
struct Moment {
    icaltimetype local;
    Zone zone;
    QDateTime utc;
};

// One event with every occurrence it defines.
struct Series {
    // How problems name the event.
    QString label;
    // Set once a window needed more steps than the cap: the series is left out from then on, so
    // it is neither walked again nor reported again.
    mutable bool refused = false;
    std::optional<QString> uid;
    std::optional<QString> title;
    Moment start;
    enum class End { instant, exact, nominal } end = End::instant;
    qint64 exactSeconds = 0;
    qint64 nominalDays = 0;
    qint64 nominalSeconds = 0;
    // How far before a window an occurrence may start and still reach into it.
    qint64 lookBackSeconds = 0;
    std::vector<icalrecurrencetype> rules;
    std::vector<std::pair<Moment, std::optional<QDateTime>>> extraDates;
    // Occurrence starts (milliseconds since the epoch) that are excluded or moved elsewhere.
    QSet<qint64> excluded;

    std::optional<QDateTime> endOf(const icaltimetype& local, const Zone& zone,
                                   const QDateTime& utcStart) const {
        switch (end) {
        case End::instant:
            return utcStart;
        case End::exact:
            return utcStart.addSecs(exactSeconds);
        case End::nominal: {
            // Days are calendar days of the event's own zone, so a day across a daylight-saving
            // change still ends at the same wall-clock time.
            const QDateTime naive =
                QDateTime(QDate(local.year, local.month, local.day),
                          local.is_date ? QTime(0, 0)
                                        : QTime(local.hour, local.minute, std::min(local.second, 59)),
                          QTimeZone::utc())
                    .addDays(nominalDays)
                    .addSecs(nominalSeconds);
            if (!naive.isValid()) return std::nullopt;
            return zone.toUtc(fieldsOf(naive, local.is_date != 0));
        }
        }
        return std::nullopt;
    }
};

qint64 msecs(const QDateTime& time) {
    return time.toMSecsSinceEpoch();
}

bool hasByParts(const icalrecurrencetype& rule) {
    const short* lists[] = {rule.by_second,  rule.by_minute,    rule.by_hour,
                            rule.by_day,     rule.by_month_day, rule.by_year_day,
                            rule.by_week_no, rule.by_month,     rule.by_set_pos};
    return std::any_of(std::begin(lists), std::end(lists),
                       [](const short* list) { return list[0] != ICAL_RECURRENCE_ARRAY_MAX; });
}

// A rule with a COUNT can only be walked from its first occurrence, at every look. Its last
// occurrence is worked out once instead and the rule turned into one that ends there (UNTIL),
// which the iterator can start anywhere: by arithmetic where every step is the same length of
// wall-clock time, else by one walk. False when that walk would pass the step cap.
bool countToUntil(icalrecurrencetype& rule, const icaltimetype& start) {
    const qint64 interval = std::max<qint64>(1, rule.interval);
    const qint64 steps = qint64(rule.count - 1) * interval;
    qint64 unit = 0;
    switch (rule.freq) {
    case ICAL_SECONDLY_RECURRENCE:
        unit = 1;
        break;
    case ICAL_MINUTELY_RECURRENCE:
        unit = 60;
        break;
    case ICAL_HOURLY_RECURRENCE:
        unit = 3600;
        break;
    case ICAL_DAILY_RECURRENCE:
        unit = kSecondsPerDay;
        break;
    case ICAL_WEEKLY_RECURRENCE:
        unit = 7 * kSecondsPerDay;
        break;
    default:
        // Months and years differ in length, and a day that a month lacks is skipped.
        break;
    }
    if (unit > 0 && !hasByParts(rule)) {
        const QDateTime first(QDate(start.year, start.month, start.day),
                              start.is_date ? QTime(0, 0)
                                            : QTime(start.hour, start.minute, std::min(start.second, 59)),
                              QTimeZone::utc());
        // Beyond ten thousand years nothing is shown anyway: the series simply does not end.
        constexpr qint64 kFarSeconds = qint64(10'000) * 366 * kSecondsPerDay;
        if (steps > kFarSeconds / unit) {
            rule.count = 0;
            return true;
        }
        const QDateTime last = first.addSecs(steps * unit);
        icaltimetype until = fieldsOf(last, start.is_date != 0);
        rule.until = until;
        rule.count = 0;
        return true;
    }
    if (rule.count > kMaximumRecurrenceSteps) return false;
    icalrecur_iterator* iterator = icalrecur_iterator_new(rule, start);
    if (!iterator) return true;
    icaltimetype last = icaltime_null_time();
    for (int step = 0; step < rule.count; ++step) {
        const icaltimetype next = icalrecur_iterator_next(iterator);
        if (icaltime_is_null_time(next)) break;
        last = next;
    }
    icalrecur_iterator_free(iterator);
    if (icaltime_is_null_time(last)) return true;
    last.zone = nullptr;
    rule.until = last;
    rule.count = 0;
    return true;
}

} // namespace

struct ICalendar::Data {
    ComponentPointer root;
    std::vector<double> color;
    std::vector<Series> series;
};

namespace {

class Reader {
public:
    Reader(const QTimeZone& localZone, const ICalendarBudget& spent) : localZone_(localZone), spent_(spent) {}

    ICalendarParseResult run(const QByteArray& bytes) {
        QByteArray text = bytes;
        if (text.startsWith("\xEF\xBB\xBF")) text.remove(0, 3);
        // libical reads C strings; a stray NUL would silently end the file there.
        text.replace(QByteArray(1, '\0'), QByteArray());
        Structure structure = repairStructure(unfold(text));
        problems_ = std::move(structure.problems);
        refusedZones_ = std::move(structure.refusedZones);
        if (!structure.sawCalendar) return {std::nullopt, {QStringLiteral("no VCALENDAR in the file")}};
        if (isSpent()) return overBudget();

        auto data = std::make_shared<ICalendar::Data>();
        data->root.reset(icalparser_parse_string(structure.text.constData()));
        if (isSpent()) return overBudget();
        if (!data->root) return {std::nullopt, {QStringLiteral("no VCALENDAR in the file")}};
        std::vector<icalcomponent*> calendars;
        if (icalcomponent_isa(data->root.get()) == ICAL_VCALENDAR_COMPONENT)
            calendars.push_back(data->root.get());
        else
            calendars = children(data->root.get(), ICAL_VCALENDAR_COMPONENT);

        for (icalcomponent* calendar : calendars) {
            readColor(calendar, data->color);
            for (icalcomponent* event : children(calendar, ICAL_VEVENT_COMPONENT)) {
                eventIndex_.insert(event, events_.size());
                events_.push_back({calendar, event, static_cast<int>(events_.size()) + 1});
            }
        }
        for (icalcomponent* calendar : calendars) reportErrors(calendar);
        collectMovedOccurrences();
        for (const PendingEvent& pending : events_) {
            if (isSpent()) return overBudget();
            if (auto series = readSeries(pending)) data->series.push_back(std::move(*series));
        }
        return {ICalendar(std::move(data)), problems_};
    }

private:
    struct PendingEvent {
        icalcomponent* calendar;
        icalcomponent* event;
        int ordinal;
    };

    static QString uidOf(icalcomponent* event) {
        const char* uid = icalcomponent_get_uid(event);
        return uid ? QString::fromUtf8(uid) : QString();
    }

    static QString label(const PendingEvent& pending) {
        const QString uid = uidOf(pending.event);
        return uid.isEmpty() ? QStringLiteral("event %1 of the file").arg(pending.ordinal)
                             : QStringLiteral("event \"%1\"").arg(uid);
    }

    static bool isNoValueError(const QString& message) {
        return message.startsWith(QLatin1String("No value for "));
    }

    void readColor(icalcomponent* calendar, std::vector<double>& color) {
        for (icalproperty* p = icalcomponent_get_first_property(calendar, ICAL_ANY_PROPERTY); p;
             p = icalcomponent_get_next_property(calendar, ICAL_ANY_PROPERTY)) {
            const QString name = QString::fromUtf8(icalproperty_get_property_name(p)).toUpper();
            const bool standard = name == u"COLOR";
            // The standard property wins over the vendor one, whichever comes first.
            if (!standard && (name != u"X-APPLE-CALENDAR-COLOR" || !color.empty())) continue;
            const char* value = icalproperty_get_value_as_string(p);
            auto parsed = parseColor(value ? QString::fromUtf8(value) : QString());
            if (parsed.empty()) continue;
            color = std::move(parsed);
        }
    }

    // libical keeps what it could not read as X-LIC-ERROR properties where the damage was. Walked
    // with a list of its own rather than by recursion, so no input can exhaust the stack.
    void reportErrors(icalcomponent* root) {
        std::vector<std::pair<icalcomponent*, QString>> pending{{root, QString()}};
        while (!pending.empty()) {
            auto [component, here] = std::move(pending.back());
            pending.pop_back();
            if (const auto it = eventIndex_.constFind(component); it != eventIndex_.cend())
                here = label(events_[*it]);
            for (icalproperty* error : properties(component, ICAL_XLICERROR_PROPERTY)) {
                const char* text = icalproperty_get_xlicerror(error);
                const QString message = text ? QString::fromUtf8(text).trimmed() : QString();
                // An empty text value is allowed; libical merely drops the property.
                if (isNoValueError(message)) continue;
                problems_.append(here.isEmpty() ? message : here + QStringLiteral(": ") + message);
            }
            // Children go on in reverse, so they are reported in the order of the file.
            const std::vector<icalcomponent*> inner = children(component, ICAL_ANY_COMPONENT);
            for (auto child = inner.rbegin(); child != inner.rend(); ++child)
                pending.emplace_back(*child, here);
        }
    }

    Zone zoneFor(icalproperty* property, const icaltimetype& value, icalcomponent* calendar) {
        if (value.is_date) return Zone{localZone_, nullptr};
        if (icaltime_is_utc(value)) return Zone{QTimeZone::utc(), nullptr};
        icalparameter* parameter = icalproperty_get_first_parameter(property, ICAL_TZID_PARAMETER);
        const char* raw = parameter ? icalparameter_get_tzid(parameter) : nullptr;
        if (!raw) return Zone{localZone_, nullptr};
        if (refusedZones_.contains(QByteArray(raw).trimmed())) return Zone{QTimeZone::utc(), nullptr};
        if (icaltimezone* defined = icalcomponent_get_timezone(calendar, raw))
            return Zone{QTimeZone(), defined};
        QString id = QString::fromUtf8(raw).trimmed();
        if (id.startsWith(QLatin1Char('/'))) id.remove(0, 1);
        if (const auto known = namedZones_.constFind(id); known != namedZones_.cend())
            return Zone{*known, nullptr};
        // A zone the system knows (UTC too) follows its daylight-saving rules; a Windows name
        // (as Outlook writes them) is its usual IANA zone; an unknown name is taken as local time.
        const QByteArray bytes = id.toUtf8();
        QTimeZone zone = localZone_;
        if (QTimeZone::isTimeZoneIdAvailable(bytes))
            zone = QTimeZone(bytes);
        else if (const QByteArray iana = QTimeZone::windowsIdToDefaultIanaId(bytes); !iana.isEmpty())
            zone = QTimeZone(iana);
        namedZones_.insert(id, zone);
        return Zone{zone, nullptr};
    }

    std::optional<Moment> moment(icalproperty* property, icaltimetype value, icalcomponent* calendar) {
        if (icaltime_is_null_time(value)) return std::nullopt;
        const Zone zone = zoneFor(property, value, calendar);
        const auto utc = zone.toUtc(value);
        if (!utc) return std::nullopt;
        value.zone = nullptr;
        return Moment{value, zone, *utc};
    }

    // Occurrences that another component of the same UID replaces (RECURRENCE-ID), by UID.
    void collectMovedOccurrences() {
        for (const PendingEvent& pending : events_) {
            icalproperty* id = icalcomponent_get_first_property(pending.event, ICAL_RECURRENCEID_PROPERTY);
            if (!id) continue;
            if (const auto at = moment(id, icalproperty_get_recurrenceid(id), pending.calendar))
                moved_[uidOf(pending.event)].insert(msecs(at->utc));
            else
                problems_.append(label(pending) + QStringLiteral(": unreadable RECURRENCE-ID"));
        }
    }

    std::optional<Series> readSeries(const PendingEvent& pending) {
        icalcomponent* event = pending.event;
        icalcomponent* calendar = pending.calendar;
        if (icalcomponent_get_status(event) == ICAL_STATUS_CANCELLED) return std::nullopt;
        const auto refuse = [&](const QString& why) {
            problems_.append(label(pending) + QStringLiteral(": ") + why);
            return std::nullopt;
        };

        Series series;
        series.label = label(pending);
        if (const char* uid = icalcomponent_get_uid(event)) series.uid = QString::fromUtf8(uid);
        if (icalproperty* summary = icalcomponent_get_first_property(event, ICAL_SUMMARY_PROPERTY)) {
            series.title = QString::fromUtf8(icalproperty_get_summary(summary));
        } else {
            for (icalproperty* error : properties(event, ICAL_XLICERROR_PROPERTY))
                if (QString::fromUtf8(icalproperty_get_xlicerror(error)).startsWith(u"No value for SUMMARY "))
                    series.title = QString();
        }

        icalproperty* startProperty = icalcomponent_get_first_property(event, ICAL_DTSTART_PROPERTY);
        if (!startProperty) return refuse(QStringLiteral("no DTSTART"));
        const auto start = moment(startProperty, icalproperty_get_dtstart(startProperty), calendar);
        if (!start) return refuse(QStringLiteral("unreadable DTSTART"));
        series.start = *start;
        const bool allDay = start->local.is_date != 0;

        if (icalproperty* endProperty = icalcomponent_get_first_property(event, ICAL_DTEND_PROPERTY)) {
            const auto end = moment(endProperty, icalproperty_get_dtend(endProperty), calendar);
            if (!end) return refuse(QStringLiteral("unreadable DTEND"));
            if (allDay && end->local.is_date) {
                series.end = Series::End::nominal;
                series.nominalDays = QDate(start->local.year, start->local.month, start->local.day)
                                         .daysTo(QDate(end->local.year, end->local.month, end->local.day));
            } else {
                series.end = Series::End::exact;
                series.exactSeconds = start->utc.secsTo(end->utc);
            }
        } else if (icalproperty* durationProperty =
                       icalcomponent_get_first_property(event, ICAL_DURATION_PROPERTY)) {
            const icaldurationtype duration = icalproperty_get_duration(durationProperty);
            if (icaldurationtype_is_bad_duration(duration))
                return refuse(QStringLiteral("unreadable DURATION"));
            const qint64 sign = duration.is_neg ? -1 : 1;
            series.end = Series::End::nominal;
            series.nominalDays = sign * (qint64(duration.weeks) * 7 + duration.days);
            series.nominalSeconds =
                sign * (qint64(duration.hours) * 3600 + qint64(duration.minutes) * 60 + duration.seconds);
        } else if (allDay) {
            // Without an end, a day event lasts the day and a timed one is an instant.
            series.end = Series::End::nominal;
            series.nominalDays = 1;
        }
        const auto firstEnd = series.endOf(start->local, start->zone, start->utc);
        if (!firstEnd) return refuse(QStringLiteral("unreadable end"));
        series.lookBackSeconds = std::max<qint64>(0, series.exactSeconds) +
                                 std::max<qint64>(0, series.nominalDays + 2) * kSecondsPerDay +
                                 std::max<qint64>(0, series.nominalSeconds);

        const bool replacesOccurrence = icalcomponent_get_first_property(event, ICAL_RECURRENCEID_PROPERTY);
        if (!replacesOccurrence) {
            if (!readRecurrences(pending, series))
                return refuse(
                    QStringLiteral("more than %1 occurrences to walk").arg(kMaximumRecurrenceSteps));
            if (const auto moved = moved_.find(uidOf(event)); moved != moved_.end())
                series.excluded += moved->second;
        }
        // A single event outside the clock's range is refused; a recurring one (a birthday
        // since 1604) shows the occurrences that lie inside it.
        if (series.rules.empty() && series.extraDates.empty()) {
            if (!fromQDateTime(start->utc)) return refuse(QStringLiteral("start out of range"));
            if (!fromQDateTime(*firstEnd)) return refuse(QStringLiteral("end out of range"));
        }
        return series;
    }

    // False when a rule counts more occurrences than can be walked.
    bool readRecurrences(const PendingEvent& pending, Series& series) {
        for (icalproperty* property : properties(pending.event, ICAL_RRULE_PROPERTY)) {
            icalrecurrencetype rule = icalproperty_get_rrule(property);
            if (rule.freq == ICAL_NO_RECURRENCE) continue;
            // The iterator compares UNTIL with the event's own wall-clock fields.
            if (!icaltime_is_null_time(rule.until) && icaltime_is_utc(rule.until) &&
                !series.start.local.is_date) {
                const QDateTime until(
                    QDate(rule.until.year, rule.until.month, rule.until.day),
                    QTime(rule.until.hour, rule.until.minute, std::min(rule.until.second, 59)),
                    QTimeZone::utc());
                if (until.isValid()) rule.until = series.start.zone.fromUtc(until, false);
            }
            rule.until.zone = nullptr;
            if (rule.count > 0 && !countToUntil(rule, series.start.local)) return false;
            series.rules.push_back(rule);
        }
        for (icalproperty* property : properties(pending.event, ICAL_RDATE_PROPERTY)) {
            const icaldatetimeperiodtype value = icalproperty_get_rdate(property);
            const bool isPeriod = icaltime_is_null_time(value.time);
            const auto start = moment(property, isPeriod ? value.period.start : value.time, pending.calendar);
            std::optional<QDateTime> end;
            if (start && isPeriod) {
                if (const auto periodEnd = moment(property, value.period.end, pending.calendar))
                    end = periodEnd->utc;
                else
                    end = start->utc.addSecs(icaldurationtype_as_int(value.period.duration));
            }
            if (start)
                series.extraDates.emplace_back(*start, end);
            else
                problems_.append(label(pending) + QStringLiteral(": unreadable RDATE"));
        }
        for (icalproperty* property : properties(pending.event, ICAL_EXDATE_PROPERTY)) {
            if (const auto at = moment(property, icalproperty_get_exdate(property), pending.calendar))
                series.excluded.insert(msecs(at->utc));
            else
                problems_.append(label(pending) + QStringLiteral(": unreadable EXDATE"));
        }
        return true;
    }

    bool isSpent() const { return spent_ && spent_(); }
    static ICalendarParseResult overBudget() {
        return {std::nullopt, {QStringLiteral("over its budget")}, true};
    }

    QTimeZone localZone_;
    const ICalendarBudget& spent_;
    QStringList problems_;
    QSet<QByteArray> refusedZones_;
    std::vector<PendingEvent> events_;
    QHash<icalcomponent*, std::size_t> eventIndex_;
    QHash<QString, QTimeZone> namedZones_;
    std::map<QString, QSet<qint64>> moved_;
};

} // namespace

const std::vector<double>& ICalendar::color() const {
    return data_->color;
}

std::vector<CalendarEvent> ICalendar::events(WallTime start, WallTime end, ICalendarLook* look) const {
    const qint64 from = msecs(toQDateTime(start));
    const qint64 to = msecs(toQDateTime(end));
    std::vector<CalendarEvent> found;
    const auto spent = [look] { return look && look->spent && look->spent(); };
    for (const Series& series : data_->series) {
        if (series.refused) continue;
        if (spent()) {
            look->stopped = true;
            return {};
        }
        // Occurrence spans by start, so one start given twice (by the rule and an RDATE) counts once.
        std::map<qint64, qint64> spans;
        const auto consider = [&](const icaltimetype& local, const Zone& zone, const QDateTime& utcStart,
                                  const std::optional<QDateTime>& explicitEnd) {
            const qint64 startMs = msecs(utcStart);
            if (series.excluded.contains(startMs) || spans.count(startMs)) return;
            const auto endTime = explicitEnd ? explicitEnd : series.endOf(local, zone, utcStart);
            if (!endTime) return;
            // An end before the start would make an occurrence that never overlaps anything; it
            // is taken as an instant instead.
            const qint64 endMs = std::max(startMs, msecs(*endTime));
            const bool overlaps =
                startMs == endMs ? startMs >= from && startMs < to : startMs < to && endMs > from;
            if (overlaps) spans.emplace(startMs, endMs);
        };
        consider(series.start.local, series.start.zone, series.start.utc, std::nullopt);
        for (const auto& [extra, extraEnd] : series.extraDates)
            consider(extra.local, extra.zone, extra.utc, extraEnd);
        for (const icalrecurrencetype& rule : series.rules) {
            icalrecur_iterator* iterator = icalrecur_iterator_new(rule, series.start.local);
            if (!iterator) continue;
            // Every rule here has lost its COUNT (see countToUntil), so the walk begins just
            // before the window instead of at the first occurrence.
            const QDateTime jump =
                QDateTime::fromMSecsSinceEpoch(from, QTimeZone::utc()).addSecs(-series.lookBackSeconds);
            if (jump.isValid() && jump > series.start.utc)
                icalrecur_iterator_set_start(iterator,
                                             series.start.zone.fromUtc(jump, series.start.local.is_date));
            bool capped = true;
            for (int step = 0; step < kMaximumRecurrenceSteps; ++step) {
                if (step % 4096 == 4095 && spent()) {
                    icalrecur_iterator_free(iterator);
                    look->stopped = true;
                    return {};
                }
                icaltimetype next = icalrecur_iterator_next(iterator);
                if (icaltime_is_null_time(next)) {
                    capped = false;
                    break;
                }
                next.zone = nullptr;
                const auto utc = series.start.zone.toUtc(next);
                if (!utc) continue;
                if (msecs(*utc) >= to) {
                    capped = false;
                    break;
                }
                consider(next, series.start.zone, *utc, std::nullopt);
            }
            icalrecur_iterator_free(iterator);
            if (capped) {
                // Too many occurrences in or just before one window: the event is left out now
                // and at every later look, and said once.
                series.refused = true;
                if (look)
                    look->problems.append(
                        series.label +
                        QStringLiteral(": more than %1 occurrences to walk").arg(kMaximumRecurrenceSteps));
                break;
            }
        }
        if (series.refused) continue;
        for (const auto& [startMs, endMs] : spans) {
            const auto startDate = fromQDateTime(QDateTime::fromMSecsSinceEpoch(startMs, QTimeZone::utc()));
            const auto endDate = fromQDateTime(QDateTime::fromMSecsSinceEpoch(endMs, QTimeZone::utc()));
            // Occurrences of a series reaching beyond the clock's range are left out there.
            if (!startDate || !endDate) continue;
            CalendarEvent event;
            event.identifier = series.uid;
            event.title = series.title;
            event.startDate = *startDate;
            event.endDate = *endDate;
            event.isAllDay = series.start.local.is_date != 0;
            event.calendarColor = data_->color;
            found.push_back(std::move(event));
        }
    }
    return found;
}

ICalendarParseResult parseICalendar(const QByteArray& text, const QTimeZone& localZone,
                                    const ICalendarBudget& spent) {
    configureLibical();
    return Reader(localZone, spent).run(text);
}

} // namespace vantrel
