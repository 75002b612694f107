#pragma once

#include "platform/SoundPlayer.h"
#include "support/CallLog.h"

#include <QStringList>
#include <memory>
#include <vector>

namespace vantrel::test {

// A sound library of the given names whose sounds only record what was done to them. The state of
// every sound handed out stays readable after its owner has dropped it.
class RecordingSoundPlayer final : public SoundPlayer {
public:
    struct State {
        QString name;
        float volume = 1.0f;
        bool loops = false;
        bool playing = false;
        int playCount = 0;
        int stopCount = 0;
        bool destroyed = false;
    };

    // The names of the alarm tones the real library has.
    static QStringList alarmTones() { return {"Glass", "Ping", "Pop", "Hero", "Purr", "Submarine"}; }

    explicit RecordingSoundPlayer(QStringList names, CallLog* log = nullptr)
        : names_(std::move(names)), log_(log) {}

    std::unique_ptr<Sound> soundNamed(const QString& name) override {
        lookups_.append(name);
        if (!names_.contains(name)) return nullptr;
        auto state = std::make_shared<State>();
        state->name = name;
        sounds_.push_back(state);
        return std::make_unique<RecordingSound>(state, log_);
    }

    const QStringList& lookups() const { return lookups_; }
    const std::vector<std::shared_ptr<State>>& sounds() const { return sounds_; }
    // Sounds that are playing and not yet destroyed.
    int playingCount() const {
        int n = 0;
        for (const auto& s : sounds_)
            n += s->playing && !s->destroyed;
        return n;
    }

private:
    class RecordingSound final : public Sound {
    public:
        RecordingSound(std::shared_ptr<State> state, CallLog* log) : state_(std::move(state)), log_(log) {}
        // A sound that is dropped while playing keeps playing only for as long as it exists.
        ~RecordingSound() override { state_->destroyed = true; }
        void setVolume(float volume) override { state_->volume = volume; }
        void setLoops(bool loops) override { state_->loops = loops; }
        void play() override {
            state_->playing = true;
            ++state_->playCount;
            if (log_) log_->add(QStringLiteral("sound ") + state_->name);
        }
        void stop() override {
            state_->playing = false;
            ++state_->stopCount;
            if (log_) log_->add(QStringLiteral("stop sound ") + state_->name);
        }

    private:
        std::shared_ptr<State> state_;
        CallLog* log_;
    };

    QStringList names_;
    CallLog* log_;
    QStringList lookups_;
    std::vector<std::shared_ptr<State>> sounds_;
};

} // namespace vantrel::test
