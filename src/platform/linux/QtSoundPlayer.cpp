#include "platform/linux/QtSoundPlayer.h"

#include "platform/linux/ModulePath.h"

#include "platform/AtomicFile.h"
#include "platform/Environment.h"
#include "platform/SystemLog.h"
#include "platform/linux/GeneratedTones.h"

#include <QFileInfo>
#include <QLibrary>

namespace vantrel {

QtSoundPlayer::QtSoundPlayer(SystemLog& log, const Environment& environment, QString modulePath)
    : log_(log), modulePath_(std::move(modulePath)), folderBase_(folderBase(environment)) {}

QString QtSoundPlayer::folderBase(const Environment& environment) {
    for (const char* name : {"XDG_RUNTIME_DIR", "TMPDIR"}) {
        const QString folder = environment.value(QString::fromLatin1(name)).value_or(QString());
        if (!folder.isEmpty() && QFileInfo(folder).isAbsolute() && QFileInfo(folder).isDir())
            return QDir::cleanPath(folder);
    }
    return QStringLiteral("/tmp");
}

QString QtSoundPlayer::defaultModulePath() {
    return modulePathBesideExecutable(QStringLiteral(VANTREL_SOUND_MODULE));
}

bool QtSoundPlayer::loadModule() {
    if (moduleTried_) return makeSound_ != nullptr;
    moduleTried_ = true;
    // Never unloaded: the sounds it makes may outlive the player.
    QLibrary module(modulePath_);
    makeSound_ = reinterpret_cast<MakeSound>(module.resolve("vantrel_make_sound"));
    if (!makeSound_)
        log_.log(LogLevel::error, QString::fromLatin1(kLogSubsystem), QStringLiteral("Sound"),
                 QStringLiteral("no sound module: ") + module.errorString());
    return makeSound_ != nullptr;
}

std::unique_ptr<Sound> QtSoundPlayer::soundNamed(const QString& name) {
    const QString file = fileFor(name);
    if (file.isEmpty() || !loadModule()) return nullptr;
    return std::unique_ptr<Sound>(makeSound_(file));
}

QString QtSoundPlayer::fileFor(const QString& name) {
    if (auto known = files_.constFind(name); known != files_.constEnd()) return *known;
    const std::optional<QByteArray> wav = GeneratedTones::wav(name);
    if (!wav) return {};
    // Made with the first tone: a session that plays none leaves no folder at all.
    if (!folder_)
        folder_ = std::make_unique<QTemporaryDir>(folderBase_ + QStringLiteral("/vantrel-sounds-XXXXXX"));
    if (!folder_->isValid()) {
        log_.log(LogLevel::error, QString::fromLatin1(kLogSubsystem), QStringLiteral("Sound"),
                 QStringLiteral("no folder for the alarm tones: ") + folder_->errorString());
        return {};
    }
    const QString path = folder_->filePath(name + QStringLiteral(".wav"));
    try {
        writeFileAtomically(path, *wav);
    } catch (const FileWriteError& error) {
        log_.log(LogLevel::error, QString::fromLatin1(kLogSubsystem), QStringLiteral("Sound"),
                 QStringLiteral("cannot write the alarm tone ") + error.path() + QStringLiteral(": ") +
                     error.reason());
        return {};
    }
    files_.insert(name, path);
    return path;
}

} // namespace vantrel
