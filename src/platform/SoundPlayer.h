#pragma once

#include <QString>
#include <memory>

namespace vantrel {

// One loaded sound. It plays once or loops until stopped; stopping a sound that has ended is
// harmless, and so is destroying one that still plays.
class Sound {
public:
    virtual ~Sound() = default;
    virtual void setVolume(float volume) = 0; // 0...1
    virtual void setLoops(bool loops) = 0;
    virtual void play() = 0;
    virtual void stop() = 0;
};

// The sound library. Looking up a name the library does not have gives no sound and no error.
class SoundPlayer {
public:
    virtual ~SoundPlayer() = default;
    virtual std::unique_ptr<Sound> soundNamed(const QString& name) = 0;
};

} // namespace vantrel
