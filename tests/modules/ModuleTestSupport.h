#pragma once

#include "core/FileNotices.h"
#include "core/LocalPersistence.h"
#include "support/FakeFileManager.h"
#include "support/ManualScheduler.h"
#include "support/RecordingSystemLog.h"
#include "support/TempHome.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <ctime>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <system_error>

namespace vantrel::test {

// A store's data folder in a temporary home, with real files behind a recording file manager,
// a manual clock and scheduler, the persistence log recorded and the window's file notices.
class DataFolderTest : public ::testing::Test {
protected:
    DataFolderTest() {
        persistence.setNotices(&notices);
        persistence.setScheduler(&scheduler);
    }

    static std::exception_ptr failure(std::errc code = std::errc::no_space_on_device) {
        return std::make_exception_ptr(std::system_error(std::make_error_code(code)));
    }
    QString dataFolder() const { return home.paths().dataFolder(); }
    // Writes `bytes` to `name` in the data folder, last written `secondsAgo` by the disk's clock.
    void writeAged(const QString& name, const QByteArray& bytes, int secondsAgo) const {
        const QString path =
            home.writeFile(QDir(home.root()).relativeFilePath(dataFolder() + '/' + name), bytes);
        const struct timespec at = {std::time(nullptr) - secondsAgo, 0}, times[2] = {at, at};
        ASSERT_EQ(::utimensat(AT_FDCWD, QFile::encodeName(path).constData(), times, 0), 0);
    }
    // The files in the data folder whose names match `pattern`, oldest first.
    QStringList filesMatching(const QString& pattern) const {
        return QDir(dataFolder()).entryList({pattern}, QDir::Files, QDir::Name);
    }

    TempHome home;
    ManualClock clock;
    ManualScheduler scheduler{clock};
    RecordingSystemLog log;
    FakeFileManager files;
    QStringList diagnostics; // the records the persistence leaves
    FileNotices notices;     // what the window would say
    LocalPersistence persistence{LocalPersistence::Store{dataFolder(), &files}, clock, log,
                                 QStringLiteral("com.vantrel.mac"),
                                 [this](const QString& message) { diagnostics.append(message); }};
};

} // namespace vantrel::test
