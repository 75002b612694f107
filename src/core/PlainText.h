#pragma once

#include <QString>
#include <QStringList>
#include <QStringView>
#include <limits>

// Rules for text that users type or copy: lengths and cuts in characters as a reader sees them
// (grapheme clusters, so an emoji or an accented letter counts once), line and blank detection
// over the whole Unicode newline and space sets, and equality up to canonical equivalence.
namespace vantrel::plaintext {

// Line feed, vertical tab, form feed, carriage return, next line, line and paragraph separators.
bool isNewline(QChar c);
// Spaces of every width and the tab, without the newlines.
bool isBlank(QChar c);

// The number of user-perceived characters, counted no further than `stopAfter` + 1 so that a
// size check on a huge text costs no more than the limit.
qsizetype characterCount(QStringView text, qsizetype stopAfter = std::numeric_limits<qsizetype>::max() - 1);
// The first `count` user-perceived characters (the whole text when it is shorter).
QString characterPrefix(const QString& text, qsizetype count);

// Splits at every newline character; "\r\n" gives an empty line between the two.
QStringList splitLines(QStringView text);
// Removes spaces and tabs from both ends.
QString trimBlanks(QStringView line);
// Every run of white space inside the line becomes one space; the ends lose theirs.
QString collapseWhitespace(QStringView line);

// Equal as a reader would judge: the same characters, whatever their composed or decomposed form.
bool canonicallyEqual(const QString& a, const QString& b);

} // namespace vantrel::plaintext
