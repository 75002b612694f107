#pragma once

#include "core/LocalPersistence.h"
#include "core/QAObserver.h"
#include "modules/NotesStore.h"
#include "support/FakeFileManager.h"
#include "support/ManualScheduler.h"
#include "support/RecordingSystemLog.h"
#include "support/TempHome.h"

#include <QDir>
#include <QJsonDocument>
#include <QJsonObject>
#include <gtest/gtest.h>
#include <memory>

namespace vantrel::test {

// A store's data folder in a temporary home, with real files behind a recording file manager,
// a manual clock and scheduler, and the persistence log recorded.
class DataFolderTest : public ::testing::Test {
protected:
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
    QStringList copies(const QString& reason) const {
        return QDir(dataFolder())
            .entryList({QStringLiteral("notes.%1-*.json").arg(reason)}, QDir::Files, QDir::Name);
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
