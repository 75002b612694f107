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

void StoreFile::loaded() {
    if (persistence_.isHeldBack(file_)) setState({SaveState::Kind::heldBack, persistence_.problem(file_)});
}

std::optional<SaveOutcome> StoreFile::changed() {
    ++generation_;
    setUnsaved(true);
    // A store that is not saved stays so until a write reaches the file.
    if (!state_.notSaved()) setState({SaveState::Kind::pending, {}});
    retry_.cancel();
    if (timing_.quietSpell <= 0 || !scheduler_) {
        const quint64 generation = generation_;
        std::optional<SaveOutcome> outcome;
        // This change's own write: a retry or another change's answer never stands in for it.
        const QMetaObject::Connection told =
            connect(this, &StoreFile::saveFinished, this, [&](SaveOutcome finished) {
                if (generation_ == generation) outcome = finished;
            });
        startWrite();
        disconnect(told);
        return outcome;
    }
    writeSoon();
    return std::nullopt;
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
        finish(persistence_.write(file_, snapshot_(), copies()), generation);
        return;
    }
    const Encode encode = snapshot_();
    SaveOutcome refused = SaveOutcome::lost;
    const std::optional<QString> target = persistence_.prepareSave(file_, encode, refused, copies());
    if (!target) {
        finish(refused, generation);
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
                finish(persistence_.finishEncodedWrite(file_, failure, encoded, encode, copies()),
                       generation);
            },
            Qt::QueuedConnection);
    });
}

void StoreFile::settle(SaveOutcome outcome, bool current) {
    switch (outcome) {
    case SaveOutcome::written:
        setState({current ? SaveState::Kind::saved : SaveState::Kind::pending, {}});
        break;
    case SaveOutcome::heldBack:
        setState({SaveState::Kind::heldBack, persistence_.problem(file_)});
        break;
    case SaveOutcome::rescued:
    case SaveOutcome::lost:
        setState({SaveState::Kind::failed, persistence_.problem(file_)});
        break;
    }
    setUnsaved(outcome != SaveOutcome::written || !current);
}

void StoreFile::setState(SaveState state) {
    if (state_ == state) return;
    state_ = std::move(state);
    Q_EMIT stateChanged();
}

void StoreFile::finish(SaveOutcome outcome, quint64 generation) {
    const bool again = std::exchange(writeAgain_, false);
    // Written, but not the newest value: that one is still on its way.
    settle(outcome, generation == generation_);
    if (outcome != SaveOutcome::written) {
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
    return *flushNow();
}

void StoreFile::flush() {
    flushNow();
}

std::optional<SaveOutcome> StoreFile::flushNow() {
    if (!unsaved_) return std::nullopt;
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
    const SaveOutcome outcome = persistence_.write(file_, snapshot_(), copies());
    settle(outcome, generation == generation_);
    Q_EMIT saveFinished(outcome);
    return outcome;
}

void StoreFile::setUnsaved(bool unsaved) {
    if (unsaved_ == unsaved) return;
    unsaved_ = unsaved;
    Q_EMIT unsavedChanged(unsaved);
}

} // namespace vantrel
