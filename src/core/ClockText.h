#pragma once

#include <QLocale>
#include <QString>
#include <QTime>

namespace vantrel {

// Times of day as the interface shows them: the locale's short time format, always to the minute.
// Some locales' short format carries seconds (the C locale's is "HH:mm:ss"); an event at ten reads
// "22:00" there, not "22:00:00".
namespace ClockText {

// The locale's short time format without its seconds or fractions of a second.
QString hoursAndMinutesFormat(const QLocale& locale);
// `time` in that format.
QString hoursAndMinutes(const QLocale& locale, QTime time);

} // namespace ClockText

} // namespace vantrel
