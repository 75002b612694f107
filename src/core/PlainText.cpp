#include "core/PlainText.h"

#include <QTextBoundaryFinder>

namespace vantrel::plaintext {

bool isNewline(QChar c) {
    const char16_t u = c.unicode();
    return (u >= 0x0A && u <= 0x0D) || u == 0x85 || u == 0x2028 || u == 0x2029;
}

bool isBlank(QChar c) {
    return c == QLatin1Char('\t') || c.category() == QChar::Separator_Space;
}

qsizetype characterCount(QStringView text, qsizetype stopAfter) {
    // Every character holds at least one UTF-16 unit, so a short enough text needs no scan.
    if (text.size() <= stopAfter) {
        bool simple = true;
        for (QChar c : text)
            if (c.unicode() >= 0x300 || c == QLatin1Char('\r')) {
                simple = false;
                break;
            }
        if (simple) return text.size();
    }
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, text.data(), text.size());
    qsizetype count = 0;
    while (finder.toNextBoundary() != -1) {
        if (++count > stopAfter) break;
    }
    return count;
}

QString characterPrefix(const QString& text, qsizetype count) {
    if (count <= 0) return {};
    if (text.size() <= count) return text;
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, text);
    qsizetype end = 0;
    for (qsizetype i = 0; i < count; ++i) {
        const qsizetype next = finder.toNextBoundary();
        if (next == -1) return text;
        end = next;
    }
    return text.left(end);
}

QStringList splitLines(QStringView text) {
    QStringList lines;
    qsizetype start = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (!isNewline(text[i])) continue;
        lines.append(text.mid(start, i - start).toString());
        start = i + 1;
    }
    lines.append(text.mid(start).toString());
    return lines;
}

QString trimBlanks(QStringView line) {
    qsizetype begin = 0;
    qsizetype end = line.size();
    while (begin < end && isBlank(line[begin])) ++begin;
    while (end > begin && isBlank(line[end - 1])) --end;
    return line.mid(begin, end - begin).toString();
}

QString collapseWhitespace(QStringView line) {
    QString out;
    out.reserve(line.size());
    bool pendingSpace = false;
    for (QChar c : line) {
        if (c.isSpace()) {
            pendingSpace = !out.isEmpty();
            continue;
        }
        if (pendingSpace) out.append(QLatin1Char(' '));
        pendingSpace = false;
        out.append(c);
    }
    return out;
}

bool canonicallyEqual(const QString& a, const QString& b) {
    if (a == b) return true;
    return a.normalized(QString::NormalizationForm_D) == b.normalized(QString::NormalizationForm_D);
}

} // namespace vantrel::plaintext
