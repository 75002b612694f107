#include "core/StoreFile.h"

#include "platform/WorkQueue.h"

#include <QPointer>

namespace vantrel {

StoreFile::StoreFile(LocalPersistence& persistence, Scheduler* scheduler, QString file, Snapshot snapshot,
                     Timing timing, WorkQueue* queue, QObject* parent)
    : QObject(parent), persistence_(persistence), scheduler_(scheduler), file_(std::move(file)),
      snapshot_(std::move(snapshot)), timing_(timing), queue_(queue) {}

StoreFile::~StoreFile() {
    // The queue's work answers to this object: none may be left running when it goes.
    waitForQueue();
}

void StoreFile::waitForQueue() {
    if (queue_ && writing_) queue_->sync([] {});
}

void StoreFile::changed() {
    ++generation_;
    setUnsaved(true);
    retry_.cancel();
    if (timing_.quietSpell <= 0 || !scheduler_) {
        startWrite();
        return;
    }
    writeSoon();
}

void StoreFile::writeSoon() {
    QPointer<StoreFile> self(this);
    const auto write = [self] {
        if (self) self->startWrite();
    };
    quiet_ = ScheduledTask(*scheduler_, scheduler_->schedule(Seconds(timing_.quietSpell), write));
    if (!deadline_.isActive() && timing_.longestDeferral > 0)
        deadline_ = ScheduledTask(*scheduler_, scheduler_->schedule(Seconds(timing_.longestDeferral), write));
}

void StoreFile::startWrite() {
    quiet_.cancel();
    deadline_.cancel();
    retry_.cancel();
    if (writing_) {
        // One write at a time: the newest value follows once this one is done.
        writeAgain_ = true;
        return;
    }
    const quint64 generation = generation_;
    if (!queue_) {
        finish(persistence_.write(file_, snapshot_()), generation);
        return;
    }
    const Encode encode = snapshot_();
    const std::optional<QString> target = persistence_.prepareSave(file_, encode);
    if (!target) {
        finish(persistence_.recoveryFile(file_) ? SaveOutcome::rescued : SaveOutcome::lost, generation);
        return;
    }
    if (*target != file_) {
        // The file could not be read: the value goes beside it, here (a rare state).
        finish(persistence_.saveRecovery(file_, encode) ? SaveOutcome::heldBack : SaveOutcome::lost,
               generation);
        return;
    }
    writing_ = true;
    const quint64 ticket = ++ticket_;
    queue_->async([this, store = persistence_.store(), file = file_, encode, generation, ticket] {
        QByteArray encoded;
        std::optional<PersistenceFailure> failure =
            LocalPersistence::writeEncoded(store, file, encode, encoded);
        // Only a failure needs the bytes back (for the recovery file): encoding a long history
        // again where the store lives would hold up the desktop at every try.
        if (!failure) encoded.clear();
        // This object outlives the work: its destructor waits for the queue.
        QMetaObject::invokeMethod(
            this,
            [this, failure = std::move(failure), encoded = std::move(encoded), encode, generation, ticket] {
                if (ticket != ticket_) return; // a flush wrote the file since
                writing_ = false;
                finish(persistence_.finishEncodedWrite(file_, failure, encoded, encode), generation);
            },
            Qt::QueuedConnection);
    });
}

void StoreFile::finish(SaveOutcome outcome, quint64 generation) {
    lastOutcome_ = outcome;
    const bool again = std::exchange(writeAgain_, false);
    if (outcome == SaveOutcome::written && generation == generation_) {
        setUnsaved(false);
    } else if (outcome != SaveOutcome::written) {
        setUnsaved(true);
        // A save that failed is tried again while the store lives, so a folder made writable
        // again gets the value without waiting for the next change. One held back beside a file
        // that could not be read is safe where it went, and waits for the next change.
        QPointer<StoreFile> self(this);
        if (scheduler_ && outcome != SaveOutcome::heldBack)
            retry_ = ScheduledTask(*scheduler_, scheduler_->schedule(Seconds(timing_.retryInterval), [self] {
                if (self) self->startWrite();
            }));
    }
    Q_EMIT saveFinished(outcome);
    if (again && !quiet_.isActive()) startWrite();
}

SaveOutcome StoreFile::saveNow() {
    ++generation_;
    setUnsaved(true);
    flush();
    return lastOutcome_.value_or(SaveOutcome::lost);
}

void StoreFile::flush() {
    if (!unsaved_) return;
    quiet_.cancel();
    deadline_.cancel();
    retry_.cancel();
    if (writing_) {
        // The write in progress finishes first; its answer is then overtaken by this one.
        waitForQueue();
        writing_ = false;
        ++ticket_;
    }
    writeAgain_ = false;
    const quint64 generation = generation_;
    // At once, here: nothing may be left to a queue or a timer that will not run any more.
    const SaveOutcome outcome = persistence_.write(file_, snapshot_());
    lastOutcome_ = outcome;
    setUnsaved(outcome != SaveOutcome::written || generation != generation_);
    Q_EMIT saveFinished(outcome);
}

void StoreFile::setUnsaved(bool unsaved) {
    if (unsaved_ == unsaved) return;
    unsaved_ = unsaved;
    Q_EMIT unsavedChanged(unsaved);
}

} // namespace vantrel
