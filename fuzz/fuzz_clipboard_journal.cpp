// The clipboard history's journal as the store reads it over the history at start-up: any bytes
// give a history of distinct entries, and what the journal's writer makes of that history reads
// back as the same entries (dates to the millisecond the journal keeps).

#include "modules/ClipboardJournal.h"
#include "support/FuzzSupport.h"

#include <QSet>
#include <algorithm>

using namespace vantrel;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const WallTime reference{std::chrono::seconds(978307200)};
    const QList<ClipboardEntry> start{{QUuid::fromString(u"1B4E28BA-2FA1-11D2-883F-0016D3CCA427"),
                                       QStringLiteral("first"), reference, true},
                                      {QUuid::fromString(u"6BA7B810-9DAD-11D1-80B4-00C04FD430C8"),
                                       QStringLiteral("second"), reference, false}};
    const ClipboardJournal::Replayed replayed = ClipboardJournal::replay(start, fuzz::bytesOf(data, size));
    QSet<QUuid> ids;
    for (const ClipboardEntry& entry : replayed.entries) {
        FUZZ_CHECK(!entry.id.isNull() && !ids.contains(entry.id));
        ids.insert(entry.id);
    }
    const QList<ClipboardEntry> again =
        ClipboardJournal::replay(start, ClipboardJournal::changes(start, replayed.entries)).entries;
    // The same entries; their order is the store's to set, by date.
    FUZZ_CHECK(again.size() == replayed.entries.size());
    for (const ClipboardEntry& a : again) {
        const auto b = std::find_if(replayed.entries.cbegin(), replayed.entries.cend(),
                                    [&](const ClipboardEntry& e) { return e.id == a.id; });
        FUZZ_CHECK(b != replayed.entries.cend() && a.text == b->text && a.isPinned == b->isPinned);
        FUZZ_CHECK(std::chrono::abs(a.createdAt - b->createdAt) <= std::chrono::milliseconds(1));
    }
    FUZZ_CHECK(ClipboardJournal::changes(replayed.entries, replayed.entries).isEmpty());
    return 0;
}
