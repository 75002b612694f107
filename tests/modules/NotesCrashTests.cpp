#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <csignal>
#include <gtest/gtest.h>

namespace {

// The notes driver, a real notes store in a child process, killed without warning.
class NotesDriverProcess {
public:
    explicit NotesDriverProcess(const QString& home) {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("HOME"), home);
        environment.insert(QStringLiteral("XDG_DATA_HOME"), home + QStringLiteral("/data"));
        environment.insert(QStringLiteral("XDG_CONFIG_HOME"), home + QStringLiteral("/config"));
        process_.setProcessEnvironment(environment);
        process_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        process_.start(QStringLiteral(VANTREL_BINARY_DIR "/tests/vantrel_notes_driver"), {});
    }
    ~NotesDriverProcess() { kill(); }

    void send(const QString& line) { process_.write((line + QLatin1Char('\n')).toUtf8()); }
    // Waits for the driver to print `line` (up to a generous limit for slow, sanitized builds).
    bool expect(const QString& line) {
        for (;;) {
            while (process_.canReadLine()) {
                const QString got = QString::fromUtf8(process_.readLine()).trimmed();
                if (got == line) return true;
            }
            if (!process_.waitForReadyRead(20'000)) return false;
        }
    }
    // Waits for the next report of a save and gives the first line it saved.
    std::optional<QString> nextSave() {
        for (;;) {
            while (process_.canReadLine()) {
                const QString got = QString::fromUtf8(process_.readLine()).trimmed();
                if (got.startsWith(QStringLiteral("saved "))) return got.mid(6);
            }
            if (!process_.waitForReadyRead(20'000)) return std::nullopt;
        }
    }
    void kill() {
        if (process_.state() == QProcess::NotRunning) return;
        ::kill(static_cast<pid_t>(process_.processId()), SIGKILL);
        process_.waitForFinished(20'000);
    }
    QProcess::ExitStatus exitStatus() const { return process_.exitStatus(); }

private:
    QProcess process_;
};

QJsonObject readDocument(const QString& path, QString* error) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("cannot open ") + path;
        return {};
    }
    QJsonParseError parse{};
    const QJsonDocument document = QJsonDocument::fromJson(file.readAll(), &parse);
    if (parse.error != QJsonParseError::NoError || !document.isObject())
        *error = parse.errorString() + u' ' + path;
    return document.object();
}

QString firstLine(const QJsonObject& document) {
    return document[QStringLiteral("notes")]
        .toArray()[0]
        .toObject()[QStringLiteral("body")]
        .toString()
        .section(u'\n', 0, 0);
}

TEST(NotesCrash, KillRightAfterAnEditLosesOnlyThatEditAndNeverTheFile) {
    QTemporaryDir home;
    const QString file = home.path() + QStringLiteral("/data/Vantrel/notes.json");
    NotesDriverProcess driver(home.path());
    ASSERT_TRUE(driver.expect(QStringLiteral("ready")));
    driver.send(QStringLiteral("edit first draft"));
    ASSERT_TRUE(driver.expect(QStringLiteral("edited first draft")));
    ASSERT_EQ(driver.nextSave(), QStringLiteral("first draft")) << "saved by the debounce alone";

    driver.send(QStringLiteral("edit second draft"));
    ASSERT_TRUE(driver.expect(QStringLiteral("edited second draft")));
    driver.kill();
    EXPECT_EQ(driver.exitStatus(), QProcess::CrashExit);

    QString error;
    const QJsonObject document = readDocument(file, &error);
    ASSERT_TRUE(error.isEmpty()) << error.toStdString();
    EXPECT_EQ(document[QStringLiteral("schemaVersion")].toInt(), 2);
    EXPECT_TRUE(firstLine(document) == QStringLiteral("first draft") ||
                firstLine(document) == QStringLiteral("second draft"))
        << firstLine(document).toStdString();

    // The next run reads what the killed one left.
    NotesDriverProcess next(home.path());
    ASSERT_TRUE(next.expect(QStringLiteral("ready")));
    next.send(QStringLiteral("edit third"));
    ASSERT_EQ(next.nextSave(), QStringLiteral("third"));
}

TEST(NotesCrash, KillDuringContinuousTypingAlwaysLeavesReadableFiles) {
    QTemporaryDir home;
    const QString folder = home.path() + QStringLiteral("/data/Vantrel");
    for (int saves = 1; saves <= 3; ++saves) {
        SCOPED_TRACE(saves);
        NotesDriverProcess driver(home.path());
        ASSERT_TRUE(driver.expect(QStringLiteral("ready")));
        driver.send(QStringLiteral("churn 1000 20"));
        ASSERT_TRUE(driver.expect(QStringLiteral("churning")));
        std::optional<QString> lastSaved;
        for (int i = 0; i < saves; ++i) {
            lastSaved = driver.nextSave();
            ASSERT_TRUE(lastSaved) << "typing without a pause is still saved";
        }
        driver.kill(); // lands while the next save is encoded, copied or written, or between saves

        QString error;
        const QJsonObject document = readDocument(folder + QStringLiteral("/notes.json"), &error);
        ASSERT_TRUE(error.isEmpty()) << error.toStdString();
        EXPECT_EQ(document[QStringLiteral("notes")].toArray().size(), 1000);
        EXPECT_GE(firstLine(document).mid(5).toInt(), lastSaved->mid(5).toInt());
        for (const QString& copy :
             QDir(folder).entryList({QStringLiteral("notes.previous-*.json")}, QDir::Files)) {
            readDocument(folder + QLatin1Char('/') + copy, &error);
            EXPECT_TRUE(error.isEmpty()) << error.toStdString();
        }
    }
}

} // namespace
