#pragma once

#include "modules/ClipboardEntry.h"

#include <QByteArray>
#include <QList>
#include <QString>

namespace vantrel {

// The changes made to the clipboard history since it was last written whole, kept beside
// "clipboard.json" so that a copy costs about its own size on disk rather than the whole history.
// One JSON array a line: ["<id>", <createdAt>, "<text>"] (and `true` after it when pinned) adds an
// entry or replaces the one of its id, ["<id>"] takes one away. Short, for a stream of short
// copies: ids in 22 characters, dates in whole milliseconds since 2001.
// The {"put": <entry>} and {"remove": "<id>"} lines of earlier versions are read too. Each line
// says what an entry now is, not what was done to it, so the lines read again over a history that
// holds some of them already give the same history: a kill between writing the whole history and
// emptying the journal loses and brings back nothing.
struct ClipboardJournal {
    static QString fileName() { return QStringLiteral("clipboard-journal.jsonl"); }

    // The lines that turn `before` into `after`; empty when nothing changed.
    static QByteArray changes(const QList<ClipboardEntry>& before, const QList<ClipboardEntry>& after);

    struct Replayed {
        QList<ClipboardEntry> entries;
        int applied = 0;
        // Lines that could not be read (the torn last one of a process killed while appending).
        int ignored = 0;
    };
    // `entries` with every readable line of `journal` applied in order; a new entry comes first.
    static Replayed replay(QList<ClipboardEntry> entries, const QByteArray& journal);
};

} // namespace vantrel
