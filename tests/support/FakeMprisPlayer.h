#pragma once

#include <QDBusAbstractAdaptor>
#include <QDBusConnection>
#include <QMutex>
#include <QStringList>
#include <QThread>
#include <QVariantMap>
#include <memory>
#include <vector>

namespace vantrel::test {

// An MPRIS player on a bus: its own connection and bus name, served from a thread of its own so
// the test can call it synchronously from the main thread.
class FakeMprisPlayer : public QObject {
    Q_OBJECT

public:
    struct State {
        QString playbackStatus = QStringLiteral("Stopped");
        QVariantMap metadata;
        qlonglong position = 0;
    };

    FakeMprisPlayer(const QString& busAddress, const QString& busName, QThread& thread);
    ~FakeMprisPlayer() override;

    bool isRegistered() const { return registered_; }
    void setState(State state);
    State state() const;
    QStringList calls() const;
    void recordCall(const QString& method);

private:
    QDBusConnection connection_;
    QString connectionName_;
    bool registered_ = false;
    mutable QMutex mutex_;
    State state_;
    QStringList calls_;
};

class FakeMprisRootAdaptor : public QDBusAbstractAdaptor {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.mpris.MediaPlayer2")
    Q_PROPERTY(QString Identity READ identity)

public:
    explicit FakeMprisRootAdaptor(FakeMprisPlayer* player) : QDBusAbstractAdaptor(player), player_(player) {}
    QString identity() const { return QStringLiteral("Fake player"); }

public Q_SLOTS:
    void Raise() { player_->recordCall(QStringLiteral("Raise")); }

private:
    FakeMprisPlayer* player_;
};

class FakeMprisPlayerAdaptor : public QDBusAbstractAdaptor {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.mpris.MediaPlayer2.Player")
    Q_PROPERTY(QString PlaybackStatus READ playbackStatus)
    Q_PROPERTY(QVariantMap Metadata READ metadata)
    Q_PROPERTY(qlonglong Position READ position)

public:
    explicit FakeMprisPlayerAdaptor(FakeMprisPlayer* player)
        : QDBusAbstractAdaptor(player), player_(player) {}
    QString playbackStatus() const { return player_->state().playbackStatus; }
    QVariantMap metadata() const { return player_->state().metadata; }
    qlonglong position() const { return player_->state().position; }

public Q_SLOTS:
    void Next() { player_->recordCall(QStringLiteral("Next")); }
    void Previous() { player_->recordCall(QStringLiteral("Previous")); }
    void PlayPause() { player_->recordCall(QStringLiteral("PlayPause")); }

private:
    FakeMprisPlayer* player_;
};

} // namespace vantrel::test
