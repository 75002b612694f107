#include "platform/SoundPlayer.h"

#include <QSoundEffect>
#include <QUrl>

// The one piece of Vantrel that links QtMultimedia. It is built as a module of its own and
// loaded with the first sound, so that the media framework and the audio libraries it pulls in
// cost nothing to a session that never plays one.

namespace {

class QtMultimediaSound final : public vantrel::Sound {
public:
    explicit QtMultimediaSound(const QString& file) { effect_.setSource(QUrl::fromLocalFile(file)); }
    void setVolume(float volume) override { effect_.setVolume(volume); }
    void setLoops(bool loops) override { effect_.setLoopCount(loops ? QSoundEffect::Infinite : 1); }
    void play() override { effect_.play(); }
    void stop() override { effect_.stop(); }

private:
    QSoundEffect effect_;
};

} // namespace

extern "C" __attribute__((visibility("default"))) vantrel::Sound* vantrel_make_sound(const QString& file) {
    return new QtMultimediaSound(file);
}
