#pragma once

#include "platform/SoundPlayer.h"
#include "support/CallLog.h"

#include <memory>
#include <vector>

namespace vantrel::test {

// A sound library whose sounds only record what was done to them, on the call log when given one;
// their state stays readable after their owner has dropped them. With `silent` set it has no sound
// at all, like a machine without the tones.
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
        return int(std::ranges::count_if(sounds, [](auto& s) { return s->playing; }));
    }

    bool silent = false;
    std::vector<std::shared_ptr<State>> sounds;

private:
    struct RecordingSound final : Sound {
        RecordingSound(std::shared_ptr<State> state, CallLog* log) : state(std::move(state)), log(log) {}
        ~RecordingSound() override { state->playing = false; }
        void setVolume(float volume) override { state->volume = volume; }
        void setLoops(bool loops) override { state->loops = loops; }
        void play() override { record(true, "sound "); }
        void stop() override { record(false, "stop sound "); }
        void record(bool playing, const QString& what) {
            state->playing = playing;
            if (log) log->add(what + state->name);
        }
        std::shared_ptr<State> state;
        CallLog* log;
    };
    CallLog* log_;
};

} // namespace vantrel::test
