#pragma once

#include "platform/SoundPlayer.h"

#include <QHash>
#include <QTemporaryDir>

namespace vantrel {

class SystemLog;

// Plays the generated tones through QtMultimedia. The tones are synthesised on first use and kept
// as WAV files in a private temporary folder for the life of the player. Without an audio device
// a sound stays silent; nothing fails.
class QtSoundPlayer final : public SoundPlayer {
public:
    explicit QtSoundPlayer(SystemLog& log);
    std::unique_ptr<Sound> soundNamed(const QString& name) override;

private:
    QString fileFor(const QString& name);

    SystemLog& log_;
    QTemporaryDir folder_;
    QHash<QString, QString> files_;
};

} // namespace vantrel
