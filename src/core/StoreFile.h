#pragma once

#include "core/LocalPersistence.h"
#include "platform/Scheduler.h"

#include <QJsonValue>
#include <QObject>
#include <functional>

namespace vantrel {

class WorkQueue;

// Whether what a store holds is in its file: the one answer views and notices read.
struct SaveState {
    enum class Kind {
        saved,    // all of it is in the file
        pending,  // changes wait for their write, or are being written
        failed,   // the last write did not reach the file (`reason` says why and where it went)
        heldBack, // the file could not be read: it is left as it is, and the saves go beside it
    };
    Kind kind = Kind::saved;
    // What the window says of it, for failed and heldBack.
    QString reason;

    // Not where the next start reads it without help, nor on its way there.
    bool notSaved() const { return kind == Kind::failed || kind == Kind::heldBack; }
    bool operator==(const SaveState&) const = default;
};

// A store's file, saved through one door. A change is written once a quiet spell has passed
// since the last one, so a burst of changes is one write (and no later than the longest deferral
// after its first change, so a steady stream is written too). A save that does not reach the
// file leaves the store unsaved (its value kept in the recovery file where it can be) and is
// tried again on a timer while the store lives, unless it was held back beside a file that could
// not be read (safe there until the next change); flush() writes at once, as the store goes.
// The store's save state (state()) follows every change and every write.
class StoreFile final : public QObject {
    Q_OBJECT
public:
    using Encode = std::function<QJsonValue()>;
    // Copies what the store holds into an encoder that may run on another thread.
    using Snapshot = std::function<Encode()>;

    struct Timing {
        double quietSpell = 0;      // seconds; zero: a change is written at once
        double longestDeferral = 0; // seconds after the first unwritten change
        double retryInterval = 30;  // seconds between tries while the file refuses
    };

    // With `queue`, the file is encoded and written there, away from the caller; the queue must
    // outlive this object (it waits for the queue as it goes). Without a scheduler every change is
    // written at once and nothing is tried again before the next change or the flush.
    StoreFile(LocalPersistence& persistence, Scheduler* scheduler, QString file, Snapshot snapshot,
              Timing timing, WorkQueue* queue = nullptr, QObject* parent = nullptr);
    ~StoreFile() override;

    const QString& file() const { return file_; }

    // Keeps earlier versions of the file beside it (see LocalPersistence::Copies); none by default.
    void keepCopies(LocalPersistence::Copies copies) { copies_ = std::move(copies); }
    // The store has loaded its file: one that could not be read holds every save back beside it.
    void loaded();

    // The store's value changed: written after the quiet spell (at once without one). Answers how
    // this change's write ended when it was made at once; none when it waits.
    std::optional<SaveOutcome> changed();
    // Marks the value unsaved and writes it at once, waiting for a write in progress; the outcome.
    SaveOutcome saveNow();
    // Writes at once only what is not yet in the file (when the store goes, at quit).
    void flush();

    // Whether what the store holds is not (yet) in its file: changes waiting for the quiet spell,
    // a write in progress, or a save that failed or went to the recovery file only.
    bool unsaved() const { return unsaved_; }
    const SaveState& state() const { return state_; }
    // Whether a change waits for its quiet spell.
    bool isWaiting() const { return quiet_.isActive() || deadline_.isActive(); }

Q_SIGNALS:
    void unsavedChanged(bool unsaved);
    void stateChanged();
    // After every save, with how it ended.
    void saveFinished(vantrel::SaveOutcome outcome);

private:
    void writeSoon();
    void startWrite();
    void finish(SaveOutcome outcome, quint64 generation);
    void setUnsaved(bool unsaved);
    // After a write that ended with `outcome`, `current` telling whether no change came since.
    void settle(SaveOutcome outcome, bool current);
    void setState(SaveState state);
    std::optional<SaveOutcome> flushNow();
    const LocalPersistence::Copies* copies() const { return copies_ ? &*copies_ : nullptr; }
    void waitForQueue();

    LocalPersistence& persistence_;
    Scheduler* scheduler_;
    QString file_;
    Snapshot snapshot_;
    Timing timing_;
    WorkQueue* queue_;

    ScheduledTask quiet_;
    ScheduledTask deadline_;
    ScheduledTask retry_;
    bool unsaved_ = false;
    SaveState state_;
    std::optional<LocalPersistence::Copies> copies_;
    // Counts the changes; a write that finishes saved only the generation it started with.
    quint64 generation_ = 0;
    // The write on the queue, when one runs: its ticket, so an answer that a flush overtook is ignored.
    quint64 ticket_ = 0;
    bool writing_ = false;
    bool writeAgain_ = false;
};

} // namespace vantrel
