#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QProcess>
#include <QTemporaryDir>
#include <csignal>
#include <gtest/gtest.h>

namespace {

// Runs the notes driver (a real notes store in a child process) in `home` and returns its first
// line; the limits are generous for slow, sanitized builds.
QString startDriver(QProcess& driver, const QString& home, const QStringList& edits = {},
                    const QString& pauseAt = {}) {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    if (!pauseAt.isEmpty()) environment.insert("VANTREL_DRIVER_PAUSE_AT", pauseAt);
    environment.insert("HOME", home);
    environment.insert("XDG_DATA_HOME", home + "/data");
    environment.insert("XDG_CONFIG_HOME", home + "/config");
    driver.setProcessEnvironment(environment);
    driver.start(VANTREL_BINARY_DIR "/tests/vantrel_notes_driver", edits);
    while (!driver.canReadLine() && driver.waitForReadyRead(20'000)) {
    }
    return QString::fromUtf8(driver.readLine()).trimmed();
}

TEST(NotesCrash, KillRightAfterAnEditLosesAtMostThatEditAndNeverTheFile) {
    QTemporaryDir home;
    QProcess driver;
    ASSERT_EQ(startDriver(driver, home.path(), {"first draft", "second draft"}), "ready");
    while (!driver.readAll().contains("edited") && driver.waitForReadyRead(20'000)) {
    }
    ::kill(static_cast<pid_t>(driver.processId()), SIGKILL);
    ASSERT_TRUE(driver.waitForFinished(20'000));
    EXPECT_EQ(driver.exitStatus(), QProcess::CrashExit);

    // The next run finds the saved document intact, or the later one if it made it to disk.
    QProcess next;
    const QString ready = startDriver(next, home.path());
    EXPECT_TRUE(ready == "ready first draft" || ready == "ready second draft") << ready.toStdString();
    next.waitForFinished(20'000);
}

QString nextLine(QProcess& driver) {
    while (!driver.canReadLine() && driver.waitForReadyRead(20'000)) {
    }
    return QString::fromUtf8(driver.readLine()).trimmed();
}

// Temporary files in the data folder, by the name every writer gives them.
QStringList strays(const QString& home) {
    return QDir(home + "/data/Vantrel").entryList({"*.vantrel-tmp-*"}, QDir::Files | QDir::Hidden);
}

TEST(NotesCrash, AKillWhileCopyingAsideOrWritingLeavesNoStrayFileAfterTheNextStart) {
    // The second save is killed once in its "previous" copy and once in its write of the notes.
    for (const QString pauseAt : {"1:.notes.previous-", "2:.notes.json.vantrel-tmp-"}) {
        SCOPED_TRACE(pauseAt.toStdString());
        QTemporaryDir home;
        QProcess driver;
        ASSERT_EQ(startDriver(driver, home.path(), {"first draft", "second draft"}, pauseAt), "ready");
        EXPECT_EQ(nextLine(driver), "saved");
        EXPECT_EQ(nextLine(driver), "edited");
        const QString paused = nextLine(driver);
        ASSERT_TRUE(paused.startsWith("paused ")) << paused.toStdString();
        const QString temporary = paused.mid(7);
        ::kill(static_cast<pid_t>(driver.processId()), SIGKILL);
        ASSERT_TRUE(driver.waitForFinished(20'000));
        ASSERT_EQ(strays(home.path()), QStringList{QFileInfo(temporary).fileName()});

        // Within the minute the file may be another instance's write in progress: it stays.
        QProcess soon;
        EXPECT_EQ(startDriver(soon, home.path()), "ready first draft");
        soon.waitForFinished(20'000);
        EXPECT_EQ(strays(home.path()).size(), 1);

        QFile stale(temporary);
        ASSERT_TRUE(stale.open(QIODevice::ReadWrite));
        ASSERT_TRUE(stale.setFileTime(QDateTime::currentDateTimeUtc().addSecs(-61),
                                      QFileDevice::FileModificationTime));
        stale.close();
        QProcess later;
        EXPECT_EQ(startDriver(later, home.path()), "ready first draft");
        later.waitForFinished(20'000);
        EXPECT_TRUE(strays(home.path()).isEmpty());
        // Every copy that made it into place is whole.
        const QDir folder(home.path() + "/data/Vantrel");
        for (const QString& copy : folder.entryList({"notes.previous-*.json"}, QDir::Files)) {
            QFile file(folder.filePath(copy));
            ASSERT_TRUE(file.open(QIODevice::ReadOnly));
            EXPECT_TRUE(QJsonDocument::fromJson(file.readAll()).isObject()) << copy.toStdString();
        }
    }
}

} // namespace
