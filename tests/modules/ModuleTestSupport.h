#pragma once

#include "core/LocalPersistence.h"
#include "core/QAObserver.h"
#include "modules/NotesStore.h"
#include "support/FakeFileManager.h"
#include "support/ManualScheduler.h"
#include "support/RecordingSystemLog.h"
#include "support/TempHome.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <gtest/gtest.h>
#include <memory>
#include <system_error>

namespace vantrel::test {

// A store's data folder in a temporary home, with real files behind a recording file manager,
// a manual clock and scheduler, and the persistence log recorded.
class DataFolderTest : public ::testing::Test {
protected:
    static std::exception_ptr diskFull() {
        return std::make_exception_ptr(
            std::system_error(std::make_error_code(std::errc::no_space_on_device)));
    }

    TempHome home;
    ManualClock clock;
    ManualScheduler scheduler{clock};
    RecordingSystemLog log;
    FakeFileManager files;
    LocalPersistence persistence{LocalPersistence::Store{home.paths().dataFolder(), &files}, clock, log,
                                 QStringLiteral("com.vantrel.mac")};
};

// A notes store on a temporary data folder and a QA session open in memory, so the store's
// records can be read back.
class NotesStoreTest : public DataFolderTest {
protected:
    NotesStoreTest() { observer.setSession(QAObserver::Session{}); }

    NotesStore& makeStore() {
        store = std::make_unique<NotesStore>(QStringLiteral("notes.json"), persistence, observer, clock,
                                             scheduler);
        return *store;
    }
    QString dataFolder() const { return home.paths().dataFolder(); }
    QString filePath() const { return dataFolder() + QStringLiteral("/notes.json"); }
    void writeNotesFile(const QByteArray& bytes) const {
        home.writeFile(QStringLiteral("home/.local/share/Vantrel/notes.json"), bytes);
    }
    QByteArray fileBytes() const { return home.readFile(filePath()); }
    QJsonObject savedDocument() const { return QJsonDocument::fromJson(fileBytes()).object(); }
    // The body of the first note of a notes document.
    static QString bodyOf(const QByteArray& document) {
        return QJsonDocument::fromJson(document)["notes"].toArray()[0].toObject()["body"].toString();
    }
    QString savedBody() const { return bodyOf(fileBytes()); }
    QStringList copies(const QString& reason) const {
        return QDir(dataFolder())
            .entryList({QStringLiteral("notes.%1-*.json").arg(reason)}, QDir::Files, QDir::Name);
    }
    // The content of the newest copy made for `reason`; empty when there is none.
    QByteArray newestCopy(const QString& reason) const {
        const QStringList all = copies(reason);
        return all.isEmpty() ? QByteArray() : home.readFile(dataFolder() + QLatin1Char('/') + all.last());
    }
    int writes() const { return files.count(FakeFileManager::Operation::writeData); }
    QStringList qaMessages() const {
        QStringList out;
        for (const auto& event : observer.session()->events)
            if (event.category == QStringLiteral("persistence")) out.append(event.message);
        return out;
    }

    QAObserver observer{clock, home.paths()};
    std::unique_ptr<NotesStore> store;
};

} // namespace vantrel::test
