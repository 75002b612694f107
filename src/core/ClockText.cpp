#include "core/ClockText.h"

namespace vantrel {

namespace {

bool isSecondsField(QChar c) {
    return c == u's' || c == u'z';
}

bool isFieldSeparator(QChar c) {
    return c == u':' || c == u'.' || c == u',';
}

} // namespace

QString ClockText::hoursAndMinutesFormat(const QLocale& locale) {
    const QString format = locale.timeFormat(QLocale::ShortFormat);
    QString out;
    bool quoted = false;
    for (qsizetype i = 0; i < format.size(); ++i) {
        const QChar c = format[i];
        if (c == u'\'') quoted = !quoted;
        if (quoted || c == u'\'' || !isSecondsField(c)) {
            out.append(c);
            continue;
        }
        // A seconds field goes with the separator that leads to it ("mm:ss", "mm.ss,zzz").
        if (!out.isEmpty() && isFieldSeparator(out.back())) out.chop(1);
        while (i + 1 < format.size() && format[i + 1] == c) ++i;
    }
    return out.trimmed().isEmpty() ? QStringLiteral("HH:mm") : out;
}

QString ClockText::hoursAndMinutes(const QLocale& locale, QTime time) {
    return locale.toString(time, hoursAndMinutesFormat(locale));
}

} // namespace vantrel
