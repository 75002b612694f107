#include <QProcess>
#include <QTemporaryDir>
#include <csignal>
#include <gtest/gtest.h>

namespace {

// Runs the notes driver (a real notes store in a child process) in `home` and returns its first
// line; the limits are generous for slow, sanitized builds.
QString startDriver(QProcess& driver, const QString& home, const QStringList& edits = {}) {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
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

} // namespace
