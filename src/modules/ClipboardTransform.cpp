#include "modules/ClipboardTransform.h"

#include "core/PlainText.h"

namespace vantrel {

QString cleanedClipboardText(const QString& text) {
    QStringList kept;
    for (const QString& line : plaintext::splitLines(text)) {
        const QString trimmed = plaintext::trimBlanks(line);
        if (trimmed.isEmpty()) continue;
        kept.append(plaintext::collapseWhitespace(trimmed));
    }
    return kept.join(QLatin1Char('\n')).trimmed();
}

namespace {

QString concise(const QString& text) {
    // Applied one after another, each to the result of the one before.
    static const std::pair<const char*, const char*> replacements[] = {
        {"in order to", "to"},        {"due to the fact that", "because"}, {"at this point in time", "now"},
        {"for the purpose of", "to"}, {"a large number of", "many"},
    };
    QString out = cleanedClipboardText(text);
    for (const auto& [phrase, replacement] : replacements)
        out.replace(QLatin1String(phrase), QLatin1String(replacement), Qt::CaseInsensitive);
    return cleanedClipboardText(out);
}

QString summary(const QString& text) {
    const QString cleaned = cleanedClipboardText(text);
    QStringList sentences;
    qsizetype start = 0;
    const auto takePiece = [&](qsizetype end) {
        if (end > start && sentences.size() < 2) sentences.append(cleaned.mid(start, end - start).trimmed());
        start = end + 1;
    };
    const auto isStop = [](QChar c) {
        return c == QLatin1Char('.') || c == QLatin1Char('!') || c == QLatin1Char('?');
    };
    // A stop inside a word ("example.com", "3.5", "?id=") belongs to the word; only one followed by
    // a blank, a line break, another stop or the end closes a sentence. A run of stops ("...", "?!")
    // closes as a whole, so the word after an ellipsis does not start with its last dot.
    bool closes = false;
    for (qsizetype i = 0; i < cleaned.size() && sentences.size() < 2; ++i) {
        const bool last = i + 1 == cleaned.size();
        closes = isStop(cleaned[i]) && (closes || last || cleaned[i + 1].isSpace() || isStop(cleaned[i + 1]));
        if (closes) takePiece(i);
    }
    if (sentences.size() < 2) takePiece(cleaned.size());
    QString joined = sentences.join(QStringLiteral(". "));
    if (joined.isEmpty())
        joined = cleaned;
    else if (!joined.endsWith(QLatin1Char('.')))
        joined.append(QLatin1Char('.'));
    return plaintext::characterPrefix(joined, 420);
}

} // namespace

QString transformedClipboardText(ClipboardTransform transform, const QString& text) {
    switch (transform) {
    case ClipboardTransform::summary:
        return summary(text);
    case ClipboardTransform::cleanUp:
        return cleanedClipboardText(text);
    case ClipboardTransform::concise:
        return concise(text);
    }
    return text;
}

} // namespace vantrel
