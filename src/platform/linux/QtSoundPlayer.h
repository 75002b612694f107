#pragma once

#include "platform/SoundPlayer.h"

#include <QHash>
#include <QTemporaryDir>
#include <memory>

namespace vantrel {

class Environment;
class SystemLog;

// Plays the generated tones through QtMultimedia, which lives in a module of its own loaded with
// the first sound: a session that never plays one never loads the media framework. The tones are
// synthesised on first use and kept as WAV files in a private folder for the life of the player,
// made with the first tone where logging out clears it. Without an audio device a sound stays silent; nothing
// fails. Without the module there is no sound, and the log says why once.
class QtSoundPlayer final : public SoundPlayer {
public:
    QtSoundPlayer(SystemLog& log, const Environment& environment, QString modulePath = defaultModulePath());
    std::unique_ptr<Sound> soundNamed(const QString& name) override;

    // The module beside the executable, else the one the build made.
    static QString defaultModulePath();
    // Where the tones' folder goes: the session's runtime folder, which logging out empties (so a
    // killed instance leaves nothing behind for good), else the temporary folder.
    static QString folderBase(const Environment& environment);

private:
    using MakeSound = Sound* (*)(const QString& file);

    QString fileFor(const QString& name);
    bool loadModule();

    SystemLog& log_;
    const QString modulePath_;
    bool moduleTried_ = false;
    MakeSound makeSound_ = nullptr;
    const QString folderBase_;
    std::unique_ptr<QTemporaryDir> folder_;
    QHash<QString, QString> files_;
};

} // namespace vantrel
