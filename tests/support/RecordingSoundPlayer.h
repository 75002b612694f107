#pragma once

#include "platform/SoundPlayer.h"
#include "support/CallLog.h"

#include <memory>
#include <vector>

namespace vantrel::test {

// A sound library whose sounds only record what was done to them; their state stays readable after
// their owner has dropped them. With `silent` set it has no sound at all, like a machine without
// the tones.
class RecordingSoundPlayer final : public SoundPlayer {
public:
    struct State {
        QString name;
        float volume = 1.0f;
        bool loops = false;
        bool playing = false; // a dropped sound plays no more
    };

    explicit RecordingSoundPlayer(CallLog* log = nullptr) : log_(log) {}

    std::unique_ptr<Sound> soundNamed(const QString& name) override {
        if (silent) return nullptr;
        sounds.push_back(std::make_shared<State>(State{name}));
        return std::make_unique<RecordingSound>(sounds.back(), log_);
    }
    int playingCount() const {
        int n = 0;
        for (const auto& s : sounds)
            n += s->playing;
        return n;
    }

    bool silent = false;
    std::vector<std::shared_ptr<State>> sounds;

private:
    class RecordingSound final : public Sound {
    public:
        RecordingSound(std::shared_ptr<State> state, CallLog* log) : state_(std::move(state)), log_(log) {}
        ~RecordingSound() override { state_->playing = false; }
        void setVolume(float volume) override { state_->volume = volume; }
        void setLoops(bool loops) override { state_->loops = loops; }
        void play() override {
            state_->playing = true;
            if (log_) log_->add(QStringLiteral("sound ") + state_->name);
        }
        void stop() override {
            state_->playing = false;
            if (log_) log_->add(QStringLiteral("stop sound ") + state_->name);
        }

    private:
        std::shared_ptr<State> state_;
        CallLog* log_;
    };

    CallLog* log_;
};

} // namespace vantrel::test
