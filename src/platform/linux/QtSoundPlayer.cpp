#include "platform/linux/QtSoundPlayer.h"

#include "platform/AtomicFile.h"
#include "platform/SystemLog.h"
#include "platform/linux/GeneratedTones.h"

#include <QSoundEffect>
#include <QUrl>

namespace vantrel {

namespace {

class QtSound final : public Sound {
public:
    explicit QtSound(const QString& file) { effect_.setSource(QUrl::fromLocalFile(file)); }
    void setVolume(float volume) override { effect_.setVolume(volume); }
    void setLoops(bool loops) override { effect_.setLoopCount(loops ? QSoundEffect::Infinite : 1); }
    void play() override { effect_.play(); }
    void stop() override { effect_.stop(); }

private:
    QSoundEffect effect_;
};

} // namespace

QtSoundPlayer::QtSoundPlayer(SystemLog& log)
    : log_(log), folder_(QDir::tempPath() + QStringLiteral("/vantrel-sounds-XXXXXX")) {}

std::unique_ptr<Sound> QtSoundPlayer::soundNamed(const QString& name) {
    const QString file = fileFor(name);
    if (file.isEmpty()) return nullptr;
    return std::make_unique<QtSound>(file);
}

QString QtSoundPlayer::fileFor(const QString& name) {
    if (auto known = files_.constFind(name); known != files_.constEnd()) return *known;
    const std::optional<QByteArray> wav = GeneratedTones::wav(name);
    if (!wav) return {};
    if (!folder_.isValid()) {
        log_.log(LogLevel::error, QString::fromLatin1(kLogSubsystem), QStringLiteral("Sound"),
                 QStringLiteral("no folder for the alarm tones: ") + folder_.errorString());
        return {};
    }
    const QString path = folder_.filePath(name + QStringLiteral(".wav"));
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
